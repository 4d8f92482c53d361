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
    void aPortLostWhileAnsweringIsThePorts();
    void settlingFitsTheSecond_data();
    void settlingFitsTheSecond();
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

void TestModuleLink::aPortLostWhileAnsweringIsThePorts()
{
    FakeSerialPort port;
    FakeMessageBox messages;
    FakeClock clock;
    FaultsOver faults(messages, clock);
    faults.reporter.setUnattended(true);
    ModuleLink link(port, faults.reporter, clock);

    link.SendCommand(ModuleLink::commandFrame("6"));
    port.received = "*+00"; // the adapter is pulled half way through the answer
    port.closeOnRead = true;
    QCOMPARE(link.ReadAnswer(), QStringLiteral("TIMEOUT"));
    faults.reporter.failed("6", "NO VALID RETURN FROM pH MODULE"); // what the reader then says

    QCOMPARE(faults.journal.recent().size(), size_t(1));
    QCOMPARE(faults.journal.recent().front().source, QStringLiteral("port"));
    QCOMPARE(faults.journal.recent().front().kind, QStringLiteral("port lost"));
}

// clang-format off
void TestModuleLink::settlingFitsTheSecond_data()
{
    QTest::addColumn<int>("babbleTimes");   // looks at the line that find more bytes; -1 for ever
    QTest::addColumn<int>("longestCycleMs"); // six transactions, one cycle a second

    QTest::newRow("silentModules") << 0  << 6 * (35 + 50);
    QTest::newRow("lateRestOnce")  << 3  << 6 * (35 + 50) + 50;
    // The credit refills during the cycle too: a wait or two more, well inside the second.
    QTest::newRow("babblingLine")  << -1 << 6 * 35 + ModuleLink::SETTLE_MAX_MS + 2 * 50;
}
// clang-format on

void TestModuleLink::settlingFitsTheSecond()
{
    QFETCH(int, babbleTimes);
    QFETCH(int, longestCycleMs);
    FakeSerialPort port;
    FakeMessageBox messages;
    FakeClock clock;
    FaultsOver faults(messages, clock);
    faults.reporter.setUnattended(true);
    ModuleLink link(port, faults.reporter, clock);
    link.setSettling(true);
    port.babble = "\x13k";
    port.babbleTimes = babbleTimes;

    std::chrono::nanoseconds longest{};
    for (int second = 0; second < 10; ++second) {
        const auto start = clock.now;
        for (const char *address : {"5", "6", "7", "1", "2", "3"}) {
            link.SendCommand(ModuleLink::commandFrame(address));
            link.ReadAnswer();
        }
        longest = std::max(longest, clock.now - start);
        clock.now = std::max(clock.now, start + std::chrono::seconds(1));
    }
    QVERIFY2(longest <= std::chrono::milliseconds(longestCycleMs),
             qPrintable(QString::number(longest.count() / 1e6) + " ms"));
    if (babbleTimes >= 0)
        QCOMPARE(port.received, QByteArray()); // a late rest is still waited out
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
