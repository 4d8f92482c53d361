#include "platform/qt/ErrorOutput.h"

#include <QtTest>

Q_DECLARE_METATYPE(ErrorOutput::Priority)

// Standard error as the journal reads it: a priority on every line, and only
// when the stream really is the journal's.
class TestErrorOutput : public QObject
{
    Q_OBJECT

private slots:
    void lines_data();
    void lines();
    void namesStream_data();
    void namesStream();
};

// clang-format off
void TestErrorOutput::lines_data()
{
    QTest::addColumn<ErrorOutput::Priority>("priority");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("journal");
    QTest::addColumn<QByteArray>("bytes");

    using P = ErrorOutput::Priority;
    QTest::newRow("plainKeptAsItIs")  << P::Error   << QByteArray("kestrom-dgh: no port\n")          << false << QByteArray("kestrom-dgh: no port\n");
    QTest::newRow("lineEndAdded")     << P::Error   << QByteArray("kestrom-dgh: no port")            << false << QByteArray("kestrom-dgh: no port\n");
    QTest::newRow("error")            << P::Error   << QByteArray("kestrom-dgh: no port\n")          << true  << QByteArray("<3>kestrom-dgh: no port\n");
    QTest::newRow("warning")          << P::Warning << QByteArray("kestrom-dgh: 7,fault,\"x\"")      << true  << QByteArray("<4>kestrom-dgh: 7,fault,\"x\"\n");
    QTest::newRow("info")             << P::Info    << QByteArray("kestrom-dgh: stopped\n")          << true  << QByteArray("<6>kestrom-dgh: stopped\n");
    // Each line is a journal entry of its own: every one needs the prefix.
    QTest::newRow("everyLine")        << P::Error   << QByteArray("kestrom-dgh: bad\nTry --help.\n") << true  << QByteArray("<3>kestrom-dgh: bad\n<3>Try --help.\n");
    QTest::newRow("emptyLineInside")  << P::Warning << QByteArray("a\n\nb")                          << true  << QByteArray("<4>a\n<4>\n<4>b\n");
}
// clang-format on

void TestErrorOutput::lines()
{
    QFETCH(ErrorOutput::Priority, priority);
    QFETCH(QByteArray, text);
    QFETCH(bool, journal);
    QFETCH(QByteArray, bytes);

    QCOMPARE(ErrorOutput::lines(priority, text, journal), bytes);
}

// clang-format off
void TestErrorOutput::namesStream_data()
{
    QTest::addColumn<QByteArray>("variable");
    QTest::addColumn<bool>("names");

    // The stream here: device 2049, inode 393220.
    QTest::newRow("same")          << QByteArray("2049:393220")  << true;
    QTest::newRow("otherInode")    << QByteArray("2049:393221")  << false;
    QTest::newRow("otherDevice")   << QByteArray("2050:393220")  << false;
    // Inherited from a parent whose standard error went elsewhere, or set by hand.
    QTest::newRow("unset")         << QByteArray()               << false;
    QTest::newRow("deviceOnly")    << QByteArray("2049")         << false;
    QTest::newRow("threeParts")    << QByteArray("2049:393220:1") << false;
    QTest::newRow("notNumbers")    << QByteArray("sda:393220")   << false;
    QTest::newRow("negative")      << QByteArray("-2049:393220") << false;
    QTest::newRow("emptyInode")    << QByteArray("2049:")        << false;
}
// clang-format on

void TestErrorOutput::namesStream()
{
    QFETCH(QByteArray, variable);
    QFETCH(bool, names);

    QCOMPARE(ErrorOutput::namesStream(variable, 2049, 393220), names);
}

QTEST_GUILESS_MAIN(TestErrorOutput)
#include "test_error_output.moc"
