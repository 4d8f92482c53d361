#include "fakes/FakeServiceManager.h"
#include "fakes/FakeWidgets.h"
#include "service/ServiceNotifier.h"
#include "station/StationState.h"

#include <QtTest>

// What systemd hears of the station: ready only once polling has begun, a
// ping only for a read cycle completed since the last one, the status when
// it changes, and nothing after the station said it stops.
class TestServiceNotifier : public QObject
{
    Q_OBJECT

private slots:
    void toldToTheManager_data();
    void toldToTheManager();
    void statusText_data();
    void statusText();
};

// clang-format off
void TestServiceNotifier::toldToTheManager_data()
{
    // Steps: "up" start-up is done, "cycle TEXT" a read cycle completed with
    // that status, "tick" the ping timer, "stop TEXT" the station ends.
    QTest::addColumn<quint64>("watchdogUsec");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("told");      // the messages, " | " between them
    QTest::addColumn<int>("pingInterval");  // ms, 0 when the timer never runs

    const quint64 half_minute = 30000000;
    QTest::newRow("noPingWithoutACycle")   << half_minute << QStringList{"up", "cycle polling 6 modules", "tick", "tick", "tick"}
                                           << "READY=1\nSTATUS=polling 6 modules | WATCHDOG=1" << 15000;
    QTest::newRow("pingPerCycleNotPerTick") << half_minute << QStringList{"up", "cycle a", "tick", "cycle a", "cycle a", "tick", "tick"}
                                           << "READY=1\nSTATUS=a | WATCHDOG=1 | WATCHDOG=1" << 15000;
    QTest::newRow("readyOnlyAfterStartUp") << half_minute << QStringList{"cycle a", "tick", "cycle a", "up", "tick", "cycle a"}
                                           << "READY=1\nSTATUS=a" << 15000;
    QTest::newRow("statusWhenItChanges")   << half_minute << QStringList{"up", "cycle a", "cycle a", "cycle b", "cycle b", "cycle a"}
                                           << "READY=1\nSTATUS=a | STATUS=b | STATUS=a" << 15000;
    QTest::newRow("statusOnOneLine")       << half_minute << QStringList{"up", "cycle logging /data/x\ny.csv"}
                                           << "READY=1\nSTATUS=logging /data/x y.csv" << 15000;
    QTest::newRow("noWatchdogNoTimer")     << quint64(0)  << QStringList{"up", "cycle a", "tick", "cycle a", "tick"}
                                           << "READY=1\nSTATUS=a" << 0;
    QTest::newRow("millisecondWatchdog")   << quint64(1000) << QStringList{"up", "cycle a", "tick"}
                                           << "READY=1\nSTATUS=a | WATCHDOG=1" << 1;
    QTest::newRow("silentOnceStopping")    << half_minute << QStringList{"up", "cycle a", "stop Stopped by SIGTERM", "cycle b", "tick", "stop again"}
                                           << "READY=1\nSTATUS=a | STOPPING=1\nSTATUS=Stopped by SIGTERM" << 0;
    QTest::newRow("stopBeforeReady")       << half_minute << QStringList{"up", "stop Stopped by SIGINT", "cycle a"}
                                           << "STOPPING=1\nSTATUS=Stopped by SIGINT" << 0;
}
// clang-format on

void TestServiceNotifier::toldToTheManager()
{
    QFETCH(quint64, watchdogUsec);
    QFETCH(QStringList, steps);
    QFETCH(QString, told);
    QFETCH(int, pingInterval);

    FakeServiceManager manager;
    manager.usec = watchdogUsec;
    FakeTimer timer;
    ServiceNotifier notifier(&manager, timer);
    for (const QString &step : steps) {
        const QString word = step.section(' ', 0, 0);
        const QString rest = step.section(' ', 1);
        if (word == "up")
            notifier.startUpDone();
        else if (word == "cycle")
            notifier.cycleCompleted(rest);
        else if (word == "tick")
            timer.fire();
        else
            notifier.stopping(rest);
    }
    QCOMPARE(QString::fromUtf8(manager.told.join(" | ")), told);
    QCOMPARE(timer.isEnabled() ? timer.interval() : 0, pingInterval);
}

// clang-format off
void TestServiceNotifier::statusText_data()
{
    QTest::addColumn<QString>("groups");  // switched on
    QTest::addColumn<int>("alarms");
    QTest::addColumn<QString>("logFile");
    QTest::addColumn<QString>("text");

    QTest::newRow("everything")  << "flow ph therm" << 2 << "/var/lib/kestrom-dgh/tank.csv" << "polling 6 modules, 2 alarms, logging /var/lib/kestrom-dgh/tank.csv";
    QTest::newRow("flowOnly")    << "flow"          << 0 << ""                              << "polling 1 module, not logging";
    QTest::newRow("phAndTherm")  << "ph therm"      << 1 << ""                              << "polling 5 modules, 1 alarm, not logging";
    QTest::newRow("nothing")     << ""              << 0 << "/data/t.csv"                   << "polling nothing, logging /data/t.csv";
}
// clang-format on

void TestServiceNotifier::statusText()
{
    QFETCH(QString, groups);
    QFETCH(int, alarms);
    QFETCH(QString, logFile);
    QFETCH(QString, text);

    StationState state;
    state.flowEnabled = groups.contains("flow") ? FlagOn : FlagOff;
    state.phEnabled = groups.contains("ph") ? FlagOn : FlagOff;
    state.thermEnabled = groups.contains("therm") ? FlagOn : FlagOff;
    QCOMPARE(ServiceNotifier::statusText(state, alarms, logFile), text);
}

QTEST_GUILESS_MAIN(TestServiceNotifier)
#include "test_service_notifier.moc"
