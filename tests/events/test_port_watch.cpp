#include "events/PortWatch.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeMessageBox.h"
#include "fakes/FakeSerialPort.h"
#include "fakes/FaultsOver.h"

#include <QtTest>

// The unattended station's port: a port that closed itself after an error
// is opened again every RETRY_INTERVAL, never more often, whatever the read
// ticks; one the operator closed is left alone; each comes back in the journal.
class TestPortWatch : public QObject
{
    Q_OBJECT

private slots:
    void reopensALostPort_data();
    void reopensALostPort();
};

// clang-format off
void TestPortWatch::reopensALostPort_data()
{
    QTest::addColumn<bool>("lost");          // closed by an error, else by the operator
    QTest::addColumn<int>("failedOpens");    // opens that fail before one succeeds
    QTest::addColumn<QList<int>>("openedAt"); // ms after the loss, at ticks every 250 ms for 7 s
    QTest::addColumn<QStringList>("journal");

    QTest::newRow("backAtOnce")  << true  << 0 << QList<int>{0}
                                 << QStringList{"port lost", "port reopened: Port 1 open (Works again after 1 fault)"};
    QTest::newRow("everyTwoS")   << true  << 3 << QList<int>{0, 2000, 4000, 6000}
                                 << QStringList{"port lost", "still failing: Port Not open (10 times in a row)",
                                                "port reopened: Port 1 open (Works again after 25 faults)"};
    QTest::newRow("neverBack")   << true  << 99 << QList<int>{0, 2000, 4000, 6000}
                                 << QStringList{"port lost", "still failing: Port Not open (10 times in a row)"};
    QTest::newRow("closedByHand") << false << 0 << QList<int>{}
                                 << QStringList{"port lost", "still failing: Port Not open (10 times in a row)"};
}
// clang-format on

void TestPortWatch::reopensALostPort()
{
    QFETCH(bool, lost);
    QFETCH(int, failedOpens);
    QFETCH(QList<int>, openedAt);
    QFETCH(QStringList, journal);

    FakeSerialPort port;
    FakeMessageBox messages;
    FakeClock clock;
    FaultsOver faults(messages, clock);
    faults.reporter.setUnattended(true);
    PortWatch watch(port, faults.reporter, clock);
    QVERIFY(watch.lineReady());

    port.open_ = false;
    port.lost = lost ? QStringLiteral("Input/output error") : QString();
    const auto start = clock.now;
    QList<int> attempts;
    for (int tick = 0; tick <= 28; ++tick) {
        clock.now = start + std::chrono::milliseconds(250 * tick);
        const int opensBefore = port.openCalls;
        port.openResult =
            port.openCalls < failedOpens ? SerialPort::OtherOpenError : SerialPort::NoError;
        const bool ready = watch.lineReady();
        if (port.openCalls != opensBefore)
            attempts << 250 * tick;
        QCOMPARE(ready, port.open_);
    }
    QCOMPARE(attempts, openedAt);
    QStringList journaled;
    for (const StationEvent &event : faults.journal.recent())
        journaled << event.kind + (event.kind == "port lost" ? QString() : ": " + event.text);
    QCOMPARE(journaled, journal);
}

QTEST_GUILESS_MAIN(TestPortWatch)
#include "test_port_watch.moc"
