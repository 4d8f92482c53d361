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
    QTest::addColumn<QString>("opened");      // the adapter lost
    QTest::addColumn<QString>("behindName");  // what its name leads to now

    QTest::newRow("backAtOnce")  << true  << 0 << QList<int>{0}
                                 << QStringList{"port lost", "port reopened: Port 1 open (Works again after 1 fault)"} << "" << "";
    QTest::newRow("everyTwoS")   << true  << 3 << QList<int>{0, 2000, 4000, 6000}
                                 << QStringList{"port lost", "still failing: Port Not open (10 times in a row)",
                                                "port reopened: Port 1 open (Works again after 25 faults)"} << "" << "";
    QTest::newRow("neverBack")   << true  << 99 << QList<int>{0, 2000, 4000, 6000}
                                 << QStringList{"port lost", "still failing: Port Not open (10 times in a row)"} << "" << "";
    QTest::newRow("closedByHand") << false << 0 << QList<int>{}
                                 << QStringList{"port lost", "still failing: Port Not open (10 times in a row)"} << "" << "";

    // The same adapter, or none: a USB adapter says which one it is.
    const QString ftdi = "usb 0403:6001 A1B2C3";
    const QStringList reopened{"port lost", "port reopened: Port 1 open (Works again after 1 fault)"};
    QTest::newRow("sameAdapterBack")  << true << 0 << QList<int>{0} << reopened << ftdi << ftdi;
    QTest::newRow("usbNotYetBack")    << true << 0 << QList<int>{0} << reopened << ftdi << "";
    QTest::newRow("ptyReplaced")      << true << 0 << QList<int>{0} << reopened << "device /dev/pts/3" << "device /dev/pts/9";
    const QStringList leftAlone{"port lost",
        "other adapter: /dev/ttyUSB0 is now usb 0403:6001 Z9, not the lost usb 0403:6001 A1B2C3: left alone until that one is back, or the operator chooses a port",
        "still failing: Port Not open (10 times in a row)"};
    QTest::newRow("otherAdapterTookName") << true << 0 << QList<int>{} << leftAlone << ftdi << "usb 0403:6001 Z9";
    QTest::newRow("otherKindTookName")    << true << 0 << QList<int>{}
        << QStringList{"port lost",
                       "other adapter: /dev/ttyUSB0 is now device /dev/ttyS0, not the lost usb 0403:6001 A1B2C3: left alone until that one is back, or the operator chooses a port",
                       "still failing: Port Not open (10 times in a row)"} << ftdi << "device /dev/ttyS0";
}
// clang-format on

void TestPortWatch::reopensALostPort()
{
    QFETCH(bool, lost);
    QFETCH(int, failedOpens);
    QFETCH(QList<int>, openedAt);
    QFETCH(QStringList, journal);
    QFETCH(QString, opened);
    QFETCH(QString, behindName);

    FakeSerialPort port;
    port.device = "/dev/ttyUSB0";
    port.opened = opened;
    port.behindName = behindName;
    FakeMessageBox messages;
    FakeClock clock;
    FaultsOver faults(messages, clock);
    faults.reporter.setUnattended(true);
    PortWatch watch(port, faults.reporter, faults.journal, clock);
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
    QCOMPARE(journaled, journal); // another adapter told once, not at each attempt
}

QTEST_GUILESS_MAIN(TestPortWatch)
#include "test_port_watch.moc"
