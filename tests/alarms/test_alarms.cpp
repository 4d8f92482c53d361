#include "alarms/AlarmCommand.h"
#include "alarms/AlarmReporter.h"
#include "alarms/AlarmRig.h"
#include "config/StationConfig.h"
#include "events/EventJournal.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

QStringList repeated(int times, const QString &text)
{
    QStringList list;
    for (int i = 0; i < times; ++i)
        list << text;
    return list;
}

} // namespace

// The alarms as the station arms them from its settings file and runs them
// after each read cycle, on a fake clock: limits with their deadband and
// delay, the probes' deviation, stale modules and a lost port, the
// operator's shelf, and a value flapping for a day.
class TestAlarms : public QObject
{
    Q_OBJECT

private slots:
    void settingsFile_data();
    void settingsFile();
    void valuesAgainstLimits_data();
    void valuesAgainstLimits();
    void staleModulesAndLostPort_data();
    void staleModulesAndLostPort();
    void shelfComesBackByItself();
    void flappingForADayStaysBounded();
};

// clang-format off
void TestAlarms::settingsFile_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("armed");
    QTest::addColumn<QStringList>("problems"); // a part of each, in order

    const QStringList stale{"flow.stale", "ph1.stale", "ph2.stale", "therm1.stale", "therm2.stale", "therm3.stale", "port"};
    QTest::newRow("example")
        << QByteArray("[alarms]\nph1.low = 6.5\nph1.high = 8.5\nph1.deadband = 0.05\nph1.delay = 10\n"
                      "flow.low_low = 0.2\nliters.high = 1900\ndeviation.ph = 0.3\nstale.seconds = 10\n"
                      "command = /usr/local/bin/page-operator\n")
        << QStringList{"ph1.high", "ph1.low", "flow.low_low", "liters.high", "deviation.ph"} + stale
        << QStringList{};
    QTest::newRow("textForNumber")
        << QByteArray("[alarms]\nph1.low = 6.5\nph1.high = high\ntherm1.high = 30\n")
        << QStringList{"ph1.low", "therm1.high"}
        << QStringList{"line 3: [alarms] ph1.high = \"high\" is not a number; ph1.high is not armed"};
    QTest::newRow("lowAboveHigh")
        << QByteArray("[alarms]\nph1.low_low = 5\nph1.low = 8.6\nph1.high = 8.5\nph2.high = 9\n")
        << QStringList{"ph1.low_low", "ph2.high"}
        << QStringList{"line 4: [alarms] ph1.high = \"8.5\" is not above ph1.low = 8.6 (STATION line 3); ph1.low, ph1.high are not armed"};
    QTest::newRow("negativeDelay")
        << QByteArray("[alarms]\nph1.high = 8.5\nph1.low = 6\nph1.delay = -2\nph2.high = 9\n")
        << QStringList{"ph2.high"}
        << QStringList{"line 4: [alarms] ph1.delay = \"-2\" must not be negative; ph1.low, ph1.high are not armed"};
    QTest::newRow("delayBeyondADay")
        << QByteArray("[alarms]\nflow.low = 1\nflow.delay = 90000\n")
        << QStringList{}
        << QStringList{"line 3: [alarms] flow.delay = \"90000\" must be at most 86400; flow.low is not armed"};
    QTest::newRow("deadbandWithoutLimits")
        << QByteArray("[alarms]\ntherm2.deadband = x\n")
        << QStringList{}
        << QStringList{"line 2: [alarms] therm2.deadband = \"x\" is not a number; it arms nothing"};
    QTest::newRow("staleZero")
        << QByteArray("[alarms]\nstale.seconds = 0\nliters.high = 10\n")
        << QStringList{"liters.high"}
        << QStringList{"line 2: [alarms] stale.seconds = \"0\" must be above 0; no stale or port alarm is armed"};
    QTest::newRow("deviationNegative")
        << QByteArray("[alarms]\ndeviation.ph = -0.3\n")
        << QStringList{}
        << QStringList{"deviation.ph = \"-0.3\" must be above 0; deviation.ph is not armed"};
    QTest::newRow("unknownKeyLeftAlone")
        << QByteArray("[alarms]\nph3.high = 9\nph1.hihg = 9\nph1.high = 9\n")
        << QStringList{"ph1.high"}
        << QStringList{"line 2: [alarms] ph3.high is not a setting", "line 3: [alarms] ph1.hihg is not a setting"};
    // An emptied field of Alarm Limits is no alarm.
    QTest::newRow("emptyIsUnset")
        << QByteArray("[alarms]\nph1.high =\nph1.deadband = \n")
        << QStringList{}
        << QStringList{};
    QTest::newRow("brokenFileKeepsItsGoodLines")
        << QByteArray("[alarms]\nph1.high = 9\n[alarms\n")
        << QStringList{"ph1.high"}
        << QStringList{"line 3: this line is no setting"};
    QTest::newRow("folder")   << QByteArray("folder") << QStringList{} << QStringList{"cannot be read: it is a folder"};
    QTest::newRow("fifo")     << QByteArray("fifo")   << QStringList{} << QStringList{"cannot be read"};
}
// clang-format on

// Each bad line costs its own alarms only, and says so naming its line;
// what stands at the path in place of a file costs the alarms, at once.
void TestAlarms::settingsFile()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, armed);
    QFETCH(QStringList, problems);

    QTemporaryDir dir;
    const QString path = dir.filePath("station.conf");
    if (file == "folder")
        QDir().mkpath(path);
    else if (file == "fifo")
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    else {
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(file);
    }
    StationConfig config;
    QString problem;
    QStringList told;
    if (!config.load(path, &problem))
        told << problem;
    const AlarmSettings settings = AlarmSettings::read(config);
    told << settings.problems;

    QStringList names;
    for (const AlarmDefinition &alarm : settings.alarms)
        names << alarm.name;
    QCOMPARE(names, armed);
    QCOMPARE(told.size(), problems.size());
    for (int i = 0; i < problems.size(); ++i) {
        const QString expected = QString(problems[i]).replace("STATION", path);
        QVERIFY2(told[i].contains(expected), qPrintable(told[i]));
        QVERIFY2(told[i].startsWith(path), qPrintable(told[i]));
    }
    if (QTest::currentDataTag() == QLatin1String("example"))
        QCOMPARE(settings.command, QStringLiteral("/usr/local/bin/page-operator"));
}

// clang-format off
void TestAlarms::valuesAgainstLimits_data()
{
    QTest::addColumn<QStringList>("settings");
    QTest::addColumn<QStringList>("cycles"); // one a second; "ph1=8.51" read, "-" nothing read
    QTest::addColumn<QStringList>("told");   // "name kind @second"

    QStringList chatter;
    for (int i = 0; i < 30; ++i)
        chatter << (i % 2 ? "ph1=8.49" : "ph1=8.52");
    QTest::newRow("chatterWithinDeadband")
        << QStringList{"ph1.high = 8.5", "ph1.deadband = 0.05"}
        << chatter + QStringList{"ph1=8.45"}
        << QStringList{"ph1.high active @1", "ph1.high returned @31"};
    QTest::newRow("backJustShortOfDeadband")
        << QStringList{"ph1.high = 8.5", "ph1.deadband = 0.05"}
        << QStringList{"ph1=8.6", "ph1=8.46", "ph1=8.46"}
        << QStringList{"ph1.high active @1"};
    QTest::newRow("delayHeldWhole")
        << QStringList{"ph1.high = 8.5", "ph1.delay = 10"}
        << repeated(11, "ph1=9")
        << QStringList{"ph1.high active @11"};
    QTest::newRow("delayStartsAgainAfterADip")
        << QStringList{"ph1.high = 8.5", "ph1.delay = 10"}
        << repeated(5, "ph1=9") + QStringList{"ph1=8"} + repeated(11, "ph1=9")
        << QStringList{"ph1.high active @17"};
    // A value that stood still is not a new one: nothing to check.
    QTest::newRow("staleValueNotChecked")
        << QStringList{"ph1.high = 8.5", "ph1.delay = 3"}
        << QStringList{"ph1=9"} + repeated(5, "-")
        << QStringList{};
    QTest::newRow("outerAndInnerBoth")
        << QStringList{"flow.low_low = 0.2", "flow.low = 1", "flow.high = 5"}
        << QStringList{"flow=0.5", "flow=0.1", "flow=2"}
        << QStringList{"flow.low active @1", "flow.low_low active @2", "flow.low returned @3", "flow.low_low returned @3"};
    QTest::newRow("litresFromTheFlowModule")
        << QStringList{"liters.high = 1900"}
        << QStringList{"liters=1899.9", "liters=1900.1"}
        << QStringList{"liters.high active @2"};
    QTest::newRow("thermistorsApart")
        << QStringList{"therm2.low = 10", "therm3.high = 30"}
        << QStringList{"therm1=5,therm2=12,therm3=31", "therm2=9"}
        << QStringList{"therm3.high active @1", "therm2.low active @2"};
    QTest::newRow("probesApart")
        << QStringList{"deviation.ph = 0.3", "deviation.deadband = 0.1"}
        << QStringList{"ph1=7,ph2=7.2", "ph1=7,ph2=7.4", "ph1=7.15,ph2=7.4", "ph1=7.25,ph2=7.4"}
        << QStringList{"deviation.ph active @2", "deviation.ph returned @4"};
    // Probe 2 silent: its old value says nothing of how far apart they are.
    QTest::newRow("apartOnlyWhenBothFresh")
        << QStringList{"deviation.ph = 0.3"}
        << QStringList{"ph1=7,ph2=7"} + repeated(3, "ph1=8")
        << QStringList{};
}
// clang-format on

void TestAlarms::valuesAgainstLimits()
{
    QFETCH(QStringList, settings);
    QFETCH(QStringList, cycles);
    QFETCH(QStringList, told);

    AlarmRig rig;
    QCOMPARE(rig.arm(settings), QStringList());
    for (const QString &cycle : cycles)
        rig.cycle(cycle);
    QCOMPARE(rig.told, told);
}

// clang-format off
void TestAlarms::staleModulesAndLostPort_data()
{
    QTest::addColumn<QStringList>("seconds"); // "read", "ph2only", "idle", "closed", "open", "phOff"
    QTest::addColumn<QStringList>("told");

    const QString all = "read";
    QTest::newRow("oneModuleSilent")
        << repeated(3, all) + repeated(12, "ph2only") + repeated(2, all)
        << QStringList{"ph1.stale active @14", "ph1.stale returned @16"};
    // No cycle at all (a message box open, the window held): every module.
    QTest::newRow("noCycles")
        << repeated(2, all) + repeated(11, "idle")
        << QStringList{"flow.stale active @13", "ph1.stale active @13", "ph2.stale active @13",
                       "therm1.stale active @13", "therm2.stale active @13", "therm3.stale active @13"};
    QTest::newRow("lostPortIsOneAlarm")
        << repeated(2, all) + repeated(20, "closed") + QStringList{"open", all}
        << QStringList{"port active @14", "port returned @23"};
    QTest::newRow("portBackInTime")
        << repeated(2, all) + repeated(5, "closed") + QStringList{"open"} + repeated(15, all)
        << QStringList{};
    QTest::newRow("groupSwitchedOff")
        << repeated(2, all) + QStringList{"phOff"} + repeated(15, "idle")
        << QStringList{"flow.stale active @14", "therm1.stale active @14", "therm2.stale active @14",
                       "therm3.stale active @14"};
}
// clang-format on

// stale.seconds = 10: a module whose group is on and that gave no valid
// reading for longer; while the port is closed, that one alarm alone.
void TestAlarms::staleModulesAndLostPort()
{
    QFETCH(QStringList, seconds);
    QFETCH(QStringList, told);

    AlarmRig rig;
    QCOMPARE(rig.arm({"stale.seconds = 10"}), QStringList());
    const QString everything = "flow=1,ph1=7,ph2=7,therm1=20,therm2=20,therm3=20";
    for (const QString &second : seconds) {
        if (second == "read") {
            rig.cycle(everything);
        } else if (second == "ph2only") {
            rig.cycle("flow=1,ph2=7,therm1=20,therm2=20,therm3=20");
        } else if (second == "closed") {
            rig.port.open_ = false;
            rig.idle();
        } else if (second == "open") {
            rig.port.open_ = true;
            rig.cycle(everything);
        } else if (second == "phOff") {
            rig.state.phEnabled = FlagOff;
            rig.cycle("flow=1,therm1=20,therm2=20,therm3=20");
        } else {
            rig.idle();
        }
    }
    QCOMPARE(rig.told, told);
}

// Shelved for longer than the longest shelf, an alarm comes back after
// eight hours, active if its condition holds, without anyone unshelving it;
// what happened meanwhile reached nobody.
void TestAlarms::shelfComesBackByItself()
{
    AlarmRig rig;
    rig.arm({"ph1.high = 8.5"});
    rig.cycle("ph1=9");
    rig.alarms.shelve({"ph1.high"}, std::chrono::hours(10));
    rig.cycle("ph1=8");
    rig.cycle("ph1=9");
    rig.clock.now += std::chrono::hours(8) - std::chrono::seconds(4);
    rig.idle();
    QCOMPARE(rig.alarms.alarms()[0].state, AlarmState::Shelved);
    rig.idle();
    QCOMPARE(
        rig.told,
        (QStringList{"ph1.high active @1", "ph1.high shelved @1", "ph1.high unshelved @28801"}));
    QCOMPARE(rig.alarms.alarms()[0].state, AlarmState::Active);
    QCOMPARE(rig.alarms.activeCount(), 1);
    QCOMPARE(rig.alarms.unacknowledgedCount(), 1);
}

// A value crossing its limit every second for a day, with a command that
// fails: the journal keeps a few lines an hour and the command runs at most
// ten times in ten minutes; every transition is still counted somewhere.
void TestAlarms::flappingForADayStaysBounded()
{
    QTemporaryDir dir;
    qputenv("XDG_STATE_HOME", QFile::encodeName(dir.filePath("state")));
    AlarmRig rig;
    rig.arm({"ph1.high = 8.5"});
    EventJournal journal(rig.clock);
    AlarmCommand command(journal, rig.clock);
    command.setCommand(dir.filePath("missing-command"));
    AlarmReporter reporter(journal, command, rig.clock);
    rig.alarms.transitioned.listen(
        [&reporter](const AlarmTransition &t) { reporter.transitioned(t); });
    int told = 0;
    reporter.told.listen([&told](const AlarmTransition &) { ++told; });

    long long lines = 0;
    journal.recorded.listen([&lines](const StationEvent &) { ++lines; });
    for (int second = 0; second < 24 * 3600; ++second) {
        rig.cycle(second % 2 ? "ph1=8" : "ph1=9");
        reporter.tick();
    }
    // The first ten, then one line each ten minutes.
    QCOMPARE(told, AlarmReporter::TOLD_PER_WINDOW);
    QVERIFY2(lines <= AlarmReporter::TOLD_PER_WINDOW + 2 + 24 * 6 + 1,
             qPrintable(QString::number(lines)));
    QCOMPARE(command.finishedRuns(), AlarmReporter::TOLD_PER_WINDOW);
    int chattering = 0;
    for (const StationEvent &event : journal.recent())
        chattering += event.kind == "chattering" ? 1 : 0;
    QCOMPARE(chattering, 24 * 6);
    QCOMPARE(
        journal.recent().back().text,
        QStringLiteral("ph1.high (pH 1 high): 600 changes in the last 10 minutes; now active"));

    // Steady again: told so once, and its next change in full.
    for (int second = 0; second < 11 * 60; ++second) {
        rig.cycle("ph1=8");
        reporter.tick();
    }
    QCOMPARE(journal.recent().back().kind, QStringLiteral("settled"));
    rig.cycle("ph1=9");
    QCOMPARE(journal.recent().back().kind, QStringLiteral("active"));
}

QTEST_GUILESS_MAIN(TestAlarms)
#include "test_alarms.moc"
