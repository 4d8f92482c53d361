#include "sim/ModuleSimulator.h"
#include "sim/StationLink.h"

#include <QRegularExpression>
#include <QtTest>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace {

// Everything the line delivers until it has been quiet for quietMs.
QByteArray collect(int fd, int quietMs)
{
    QByteArray bytes;
    pollfd ready{fd, POLLIN, 0};
    while (::poll(&ready, 1, quietMs) > 0 && (ready.revents & POLLIN)) {
        char buffer[256];
        const ssize_t count = ::read(fd, buffer, sizeof buffer);
        if (count <= 0)
            break;
        bytes.append(buffer, int(count));
    }
    return bytes;
}

SimulatorOptions optionsFrom(const QStringList &arguments)
{
    std::vector<std::string> words;
    for (const QString &word : arguments)
        words.push_back(word.toStdString());
    SimulatorOptions options;
    std::string error;
    if (!SimulatorOptions::parse(words, &options, &error))
        qFatal("bad simulator options: %s", error.c_str());
    options.seed = 9;
    options.seedGiven = true;
    return options;
}

} // namespace

class TestModuleSimulator : public QObject
{
    Q_OBJECT

private slots:
    void lineBytes_data();
    void lineBytes();
    void answersKeepComingAcrossReopen();
    void lateAnswerShowsInTheNextRead();
    void framesAreNotEchoed();
};

// clang-format off
void TestModuleSimulator::lineBytes_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<QString>("expected"); // a pattern for the whole of what arrives

    const QStringList fixed{"--answer", "1=*+0021.37"};
    QTest::newRow("fixedAnswer")    << fixed << QByteArray("$1RD\r") << "\\*\\+0021\\.37\\r";
    QTest::newRow("refusal")        << (fixed + QStringList{"--fault", "refusal"}) << QByteArray("$1RD\r") << "\\?1 SYNTAX ERROR\\r";
    QTest::newRow("noAnswer")       << (fixed + QStringList{"--fault", "none"}) << QByteArray("$1RD\r") << "";
    QTest::newRow("crLf")           << (fixed + QStringList{"--fault", "crlf"}) << QByteArray("$1RD\r") << "\\*\\+0021\\.37\\r\\n";
    QTest::newRow("truncated")      << (fixed + QStringList{"--fault", "truncated"}) << QByteArray("$1RD\r") << "\\*\\+002";
    QTest::newRow("noise")          << (fixed + QStringList{"--fault", "noise"}) << QByteArray("$1RD\r") << "[^*?\\r]{1,6}\\*\\+0021\\.37\\r";
    QTest::newRow("highBit")        << (fixed + QStringList{"--fault", "highbit"}) << QByteArray("$1RD\r") << QString::fromLatin1("\xaa\xab\xb0\xb0\xb2\xb1\xae\xb3\xb7\x8d");
    QTest::newRow("silent")         << QStringList{"--silent", "3"} << QByteArray("$3RD\r") << "";
    QTest::newRow("noSuchModule")   << QStringList{} << QByteArray("$4RD\r") << "";
    QTest::newRow("otherCommand")   << QStringList{} << QByteArray("$2RS\r") << "\\?2 SYNTAX ERROR\\r";
    QTest::newRow("fixedAnyAddress") << QStringList{"--answer", "9=hello"} << QByteArray("$9RD\r") << "hello\\r";
    QTest::newRow("thermistor")     << QStringList{} << QByteArray("$2RD\r") << "\\*\\+00(1[89]|2[0-5])\\.\\d\\d\\r";
    QTest::newRow("flowGauge")      << QStringList{} << QByteArray("$5RD\r") << "\\*\\+0[0-3]\\d\\d\\.\\d\\d\\r";
    QTest::newRow("probe")          << QStringList{} << QByteArray("$7RD\r") << "\\*\\+0[23]\\d\\d\\d\\.\\d\\d\\r";
    QTest::newRow("frameInNoise")   << QStringList{"--answer", "6=*+02577.70"} << QByteArray("\x01xx$6RD\r") << "\\*\\+02577\\.70\\r";
}
// clang-format on

void TestModuleSimulator::lineBytes()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, frame);
    QFETCH(QString, expected);

    ModuleSimulator simulator(optionsFrom(arguments));
    std::string error;
    QVERIFY2(simulator.open(&error), error.c_str());
    simulator.start();
    const int fd = ::open(simulator.slavePath().c_str(), O_RDWR | O_NOCTTY);
    QVERIFY(fd >= 0);
    QCOMPARE(::write(fd, frame.constData(), size_t(frame.size())), ssize_t(frame.size()));
    const QByteArray received = collect(fd, 120);
    ::close(fd);

    const QRegularExpression pattern(QRegularExpression::anchoredPattern(expected));
    QVERIFY2(pattern.match(QString::fromLatin1(received)).hasMatch(),
             received.toHex(' ').constData());
}

void TestModuleSimulator::answersKeepComingAcrossReopen()
{
    ModuleSimulator simulator(optionsFrom({"--answer", "5=*+0115.00"}));
    std::string error;
    QVERIFY2(simulator.open(&error), error.c_str());
    simulator.start();

    StationLink line(QString::fromStdString(simulator.slavePath()));
    auto &[port, messages, clock, faults, link] = line;
    for (int round = 0; round < 4; ++round) {
        QCOMPARE(port.open(), SerialPort::NoError);
        link.SendCommand(ModuleLink::commandFrame("5"));
        QCOMPARE(link.ReadAnswer(), QString("*+0115.00"));
        port.close();
    }
    QCOMPARE(simulator.framesReceived(), 4);
    QVERIFY(messages.texts.isEmpty());
}

void TestModuleSimulator::lateAnswerShowsInTheNextRead()
{
    ModuleSimulator simulator(optionsFrom({"--answer", "1=*+0021.37", "--fault", "late"}));
    std::string error;
    QVERIFY2(simulator.open(&error), error.c_str());
    simulator.start();

    StationLink line(QString::fromStdString(simulator.slavePath()));
    QCOMPARE(line.port.open(), SerialPort::NoError);
    ModuleLink &link = line.link;

    link.SendCommand(ModuleLink::commandFrame("1"));
    QCOMPARE(link.ReadAnswer(), QString("TIMEOUT"));
    // The late answer alone is taken for the current one by the next read.
    QCOMPARE(link.ReadAnswer(), QString("*+0021.37"));
}

void TestModuleSimulator::framesAreNotEchoed()
{
    ModuleSimulator simulator(optionsFrom({"--silent", "1"}));
    std::string error;
    QVERIFY2(simulator.open(&error), error.c_str());
    simulator.start();
    const int fd = ::open(simulator.slavePath().c_str(), O_RDWR | O_NOCTTY);
    QVERIFY(fd >= 0);
    QCOMPARE(::write(fd, "$1RD\r$1RD\r", 10), ssize_t(10));
    QCOMPARE(collect(fd, 100), QByteArray());
    ::close(fd);
    QTRY_COMPARE(simulator.framesReceived(), 2);
}

QTEST_GUILESS_MAIN(TestModuleSimulator)
#include "test_module_simulator.moc"
