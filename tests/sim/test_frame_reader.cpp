#include "sim/FrameReader.h"

#include <QtTest>

class TestFrameReader : public QObject
{
    Q_OBJECT

private slots:
    void frames_data();
    void frames();
    void frameSplitAcrossReads();
};

// clang-format off
void TestFrameReader::frames_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("frames");

    QTest::newRow("one")           << QByteArray("$1RD\r")           << QStringList{"1RD"};
    QTest::newRow("two")           << QByteArray("$5RD\r$6RD\r")     << QStringList{"5RD", "6RD"};
    QTest::newRow("noiseBefore")   << QByteArray("zz\r\n$7RD\r")     << QStringList{"7RD"};
    QTest::newRow("restart")       << QByteArray("$1R$2RD\r")        << QStringList{"2RD"};
    QTest::newRow("unfinished")    << QByteArray("$3RD")             << QStringList{};
    QTest::newRow("emptyFrame")    << QByteArray("$\r")              << QStringList{""};
    QTest::newRow("tooLong")       << QByteArray("$") + QByteArray(80, 'x') + "\r$1RD\r" << QStringList{"1RD"};
    QTest::newRow("crOutside")     << QByteArray("\r\r")             << QStringList{};
}
// clang-format on

void TestFrameReader::frames()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, frames);

    FrameReader reader;
    QStringList got;
    for (const std::string &frame : reader.feed(bytes.constData(), std::size_t(bytes.size())))
        got << QString::fromStdString(frame);
    QCOMPARE(got, frames);
}

void TestFrameReader::frameSplitAcrossReads()
{
    FrameReader reader;
    QVERIFY(reader.feed("$6", 2).empty());
    QVERIFY(reader.feed("R", 1).empty());
    const auto frames = reader.feed("D\r", 2);
    QCOMPARE(frames.size(), std::size_t(1));
    QCOMPARE(frames.front(), std::string("6RD"));
}

QTEST_GUILESS_MAIN(TestFrameReader)
#include "test_frame_reader.moc"
