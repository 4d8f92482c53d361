#include "fakes/FakeClock.h"
#include "fakes/FakeMessageBox.h"
#include "fakes/FakeSerialPort.h"
#include "fakes/FaultsOver.h"
#include "station/ModuleLink.h"

#include <QtTest>

using namespace std::chrono;

class TestModuleLink : public QObject
{
    Q_OBJECT

private slots:
    void readAnswer_data();
    void readAnswer();
    void closedPortGivesEmptyAnswerAndOneMessage();
    void sendWritesTheFrameWhole();
    void bytesBeforeTheCommandAreNoAnswer_data();
    void bytesBeforeTheCommandAreNoAnswer();
    void readConsumesAtMostTheReceiveBuffer();
    void aPortLostWhileDiscardingIsReportedClosed();
    void waitCoversTheWholeMilliseconds_data();
    void waitCoversTheWholeMilliseconds();
    void valueField_data();
    void valueField();
};

// clang-format off
void TestModuleLink::readAnswer_data()
{
    QTest::addColumn<QByteArray>("received");
    QTest::addColumn<QString>("answer");

    QTest::newRow("plainAnswer")          << QByteArray("*+0021.37\r")             << "*+0021.37";
    QTest::newRow("noiseBeforeAnswer")    << QByteArray("\x01zz#*+0021.37\r")      << "*+0021.37";
    QTest::newRow("refusal")              << QByteArray("?6 SYNTAX ERROR\r")       << "?6 SYNTAX ERROR";
    QTest::newRow("lateThenCurrent")      << QByteArray("*+0001.00\r*+0002.00\r") << "*+0002.00";
    QTest::newRow("lateAloneLooksCurrent") << QByteArray("*+0001.00\r")            << "*+0001.00";
    QTest::newRow("answerThenPartial")    << QByteArray("*+0001.00\r*+00")         << "TIMEOUT";
    QTest::newRow("crLfEnding")           << QByteArray("*+0001.00\r\n")           << "TIMEOUT";
    QTest::newRow("innerCrKept")          << QByteArray("*+00\r01.00\r")           << "*+00\r01.00";
    QTest::newRow("highBitStar")          << QByteArray("\xaa+0021.37\r")          << "*+0021.37";
    QTest::newRow("highBitEverywhere")    << QByteArray("\xaa\xab\xb0\x8d")         << "*+0";
    QTest::newRow("nothingReceived")      << QByteArray()                          << "TIMEOUT";
    QTest::newRow("noiseOnly")            << QByteArray("abc\r")                   << "TIMEOUT";
    QTest::newRow("truncated")            << QByteArray("*+0021")                  << "TIMEOUT";
    QTest::newRow("starOnly")             << QByteArray("*\r")                     << "*";
    QTest::newRow("nulBytesInside")       << QByteArray("*+0\0\x00" "1\r", 7)      << QString::fromLatin1("*+0\0\0" "1", 6);
}
// clang-format on

void TestModuleLink::readAnswer()
{
    QFETCH(QByteArray, received);
    QFETCH(QString, answer);
    FakeSerialPort port;
    FakeMessageBox messages;
    FakeClock clock;
    port.received = received;
    FaultsOver faults(messages, clock);
    ModuleLink link(port, faults.reporter, clock);

    QCOMPARE(link.ReadAnswer(), answer);
    QCOMPARE(port.bytesWaiting(), 0); // every waiting byte is consumed
    QVERIFY(messages.texts.isEmpty());
}

void TestModuleLink::closedPortGivesEmptyAnswerAndOneMessage()
{
    FakeSerialPort port;
    FakeMessageBox messages;
    FakeClock clock;
    port.open_ = false;
    port.received = "*+0021.37\r";
    FaultsOver faults(messages, clock);
    ModuleLink link(port, faults.reporter, clock);

    link.SendCommand(ModuleLink::commandFrame("1"));
    const QString answer = link.ReadAnswer();

    QVERIFY(answer.isEmpty());
    QVERIFY(port.writes.isEmpty());
    QCOMPARE(messages.texts, QStringList{"Port Not open"});
    QCOMPARE(messages.titles, QStringList{"Port Failure"});
    QCOMPARE(clock.sleeps, 0); // no wait for a port that cannot answer
}

void TestModuleLink::sendWritesTheFrameWhole()
{
    FakeSerialPort port;
    FakeMessageBox messages;
    FakeClock clock;
    FaultsOver faults(messages, clock);
    ModuleLink link(port, faults.reporter, clock);

    link.SendCommand(ModuleLink::commandFrame("6"));
    QCOMPARE(port.writes, QByteArrayList{QByteArray("$6RD\r")});
}

// clang-format off
void TestModuleLink::bytesBeforeTheCommandAreNoAnswer_data()
{
    QTest::addColumn<QByteArray>("waiting"); // before the command
    QTest::addColumn<QByteArray>("reply");   // after it
    QTest::addColumn<QString>("answer");

    QTest::newRow("lateThenSilence") << QByteArray("*+0001.00\r")   << QByteArray()                    << "TIMEOUT";
    QTest::newRow("lateThenAnswer")  << QByteArray("*+0001.00\r")   << QByteArray("*+0002.00\r")       << "*+0002.00";
    QTest::newRow("partialThenEnd")  << QByteArray("*+00")          << QByteArray("21.37\r")           << "TIMEOUT";
    QTest::newRow("lateThenRefusal") << QByteArray("zz*+0001.00\r") << QByteArray("?6 SYNTAX ERROR\r") << "?6 SYNTAX ERROR";
}
// clang-format on

void TestModuleLink::bytesBeforeTheCommandAreNoAnswer()
{
    QFETCH(QByteArray, waiting);
    QFETCH(QByteArray, reply);
    QFETCH(QString, answer);
    FakeSerialPort port;
    FakeMessageBox messages;
    FakeClock clock;
    port.received = waiting;
    port.scriptAddress("6", reply);
    FaultsOver faults(messages, clock);
    ModuleLink link(port, faults.reporter, clock);

    link.SendCommand(ModuleLink::commandFrame("6"));
    QCOMPARE(link.ReadAnswer(), answer);
    QCOMPARE(port.writes, QByteArrayList{QByteArray("$6RD\r")});
    QVERIFY(messages.texts.isEmpty());
}

void TestModuleLink::readConsumesAtMostTheReceiveBuffer()
{
    FakeSerialPort port;
    FakeMessageBox messages;
    FakeClock clock;
    port.received = QByteArray(5000, 'x') + "*+0001.00\r";
    FaultsOver faults(messages, clock);
    ModuleLink link(port, faults.reporter, clock);

    QCOMPARE(link.ReadAnswer(), QStringLiteral("TIMEOUT"));
    QCOMPARE(port.bytesWaiting(), 5010 - SerialPort::RECEIVE_BUFFER_BYTES);
}

void TestModuleLink::aPortLostWhileDiscardingIsReportedClosed()
{
    FakeSerialPort port;
    FakeMessageBox messages;
    FakeClock clock;
    port.received = "*+0001.00\r";
    port.closeOnRead = true;
    FaultsOver faults(messages, clock);
    ModuleLink link(port, faults.reporter, clock);

    link.SendCommand(ModuleLink::commandFrame("5"));

    QVERIFY(port.writes.isEmpty());
    QCOMPARE(messages.texts, QStringList{"Port Not open"});
    QCOMPARE(link.ReadAnswer(), QString());
}

// clang-format off
void TestModuleLink::waitCoversTheWholeMilliseconds_data()
{
    QTest::addColumn<float>("ms");
    QTest::addColumn<qint64>("waitedNs");

    QTest::newRow("answerWait") << 35.0f << qint64(35'000'000);
    QTest::newRow("fractionDropped") << 35.9f << qint64(35'000'000);
    QTest::newRow("belowOne") << 0.7f << qint64(0);
    QTest::newRow("negative") << -5.0f << qint64(0);
}
// clang-format on

void TestModuleLink::waitCoversTheWholeMilliseconds()
{
    QFETCH(float, ms);
    QFETCH(qint64, waitedNs);
    FakeSerialPort port;
    FakeMessageBox messages;
    FakeClock clock;
    FaultsOver faults(messages, clock);
    ModuleLink link(port, faults.reporter, clock);

    const auto start = clock.now;
    link.WaitMs(ms);
    QCOMPARE(qint64((clock.now - start).count()), waitedNs);
}

// clang-format off
void TestModuleLink::valueField_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("field");

    QTest::newRow("full")      << "*+0021.37"    << "0021.37";
    QTest::newRow("long")      << "*+12345678901" << "12345678";
    QTest::newRow("oneChar")   << "*"            << "";
    QTest::newRow("twoChars")  << "*+"           << "";
    QTest::newRow("threeChars") << "*+5"         << "5";
}
// clang-format on

void TestModuleLink::valueField()
{
    QFETCH(QString, answer);
    QFETCH(QString, field);
    QCOMPARE(ModuleLink::valueField(answer), field);
}

QTEST_GUILESS_MAIN(TestModuleLink)
#include "test_module_link.moc"
