#include "fakes/FakeClock.h"
#include "fakes/FakeMessageBox.h"
#include "fakes/FaultsOver.h"

#include <QtTest>

// What the unattended station journals of a run of faults and recoveries,
// and that the attended one shows each fault instead.
class TestFaultReporter : public QObject
{
    Q_OBJECT

private slots:
    void journalsWithoutFlooding_data();
    void journalsWithoutFlooding();
};

// clang-format off
void TestFaultReporter::journalsWithoutFlooding_data()
{
    // Steps: "f SOURCE [N]" N faults (1 if left out), "r SOURCE" recovered,
    // "m MINUTES" the clock moves on, "u on|off" the mode is chosen, "x" the
    // station stops.
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("events"); // "source,kind,text"
    QTest::addColumn<int>("boxes");

    const QString ph = "NO VALID RETURN FROM pH MODULE";
    QTest::newRow("firstFault")     << QStringList{"f 6"} << QStringList{"6,fault," + ph} << 0;
    QTest::newRow("nineMoreQuiet")  << QStringList{"f 6 9"} << QStringList{"6,fault," + ph} << 0;
    QTest::newRow("tenthTold")      << QStringList{"f 6 12"}
                                    << QStringList{"6,fault," + ph, "6,still failing," + ph + " (10 times in a row)"} << 0;
    QTest::newRow("thenHourly")     << QStringList{"f 6 10", "m 59", "f 6 100", "m 1", "f 6", "f 6"}
                                    << QStringList{"6,fault," + ph, "6,still failing," + ph + " (10 times in a row)",
                                                   "6,still failing," + ph + " (111 times in a row)"} << 0;
    QTest::newRow("answersAgain")   << QStringList{"f 6 3", "r 6", "r 6"}
                                    << QStringList{"6,fault," + ph, "6,answering again,Works again after 3 faults"} << 0;
    QTest::newRow("neverFailed")    << QStringList{"r 6", "r port"} << QStringList{} << 0;
    QTest::newRow("portSparesModules") << QStringList{"f port", "f 6", "f 7 20", "r port", "f 7"}
                                    << QStringList{"port,port lost,Port Not open",
                                                   "port,port reopened,Works again after 1 fault",
                                                   "7,fault," + ph} << 0;
    QTest::newRow("logWritesAgain") << QStringList{"f log", "r log"}
                                    << QStringList{"log,fault,Disk full", "log,writing again,Works again after 1 fault"} << 0;
    QTest::newRow("attendedShows")  << QStringList{"u off", "f 6 3", "r 6"} << QStringList{} << 3;
    QTest::newRow("modeStartsAfresh") << QStringList{"f 6 5", "u off", "u on", "f 6"}
                                    << QStringList{"6,fault," + ph, "6,fault," + ph} << 0;

    // A source that fails now and then: counted, not told line by line.
    const QStringList thrice{"f 6", "r 6", "f 6", "r 6", "f 6", "r 6"};
    const QStringList toldTwice{"6,fault," + ph, "6,answering again,Works again after 1 fault",
                                "6,fault," + ph, "6,answering again,Works again after 1 fault"};
    const QString intermittent = "6,intermittent," + ph + ": 3 times in 10 minutes; from now on counted, and told at most once an hour";
    QStringList fiftyBlips;
    for (int i = 0; i < 50; ++i)
        fiftyBlips << "f 6" << "r 6";
    QTest::newRow("intermittentOnce") << thrice + QStringList{"f 6 2", "r 6", "f 6", "r 6"}
                                    << toldTwice + QStringList{intermittent} << 0;
    QTest::newRow("intermittentHourly") << thrice + fiftyBlips + QStringList{"m 61", "f 6", "r 6", "f 6"}
                                    << toldTwice + QStringList{intermittent,
                                                   "6,still intermittent," + ph + ": 52 faults in 52 episodes since 14:05:30"} << 0;
    QTest::newRow("steadyAgain")    << thrice + QStringList{"f 6 4", "r 6", "m 9", "r 6", "m 1", "r 6", "r 6", "f 6"}
                                    << toldTwice + QStringList{intermittent,
                                                   "6,steady,No fault for 10 minutes: 5 faults in 2 episodes since 14:05:30",
                                                   "6,fault," + ph} << 0;
    QTest::newRow("spreadOutEpisodes") << QStringList{"f 6", "r 6", "m 6", "f 6", "r 6", "m 6", "f 6", "r 6"}
                                    << toldTwice + QStringList{"6,fault," + ph, "6,answering again,Works again after 1 fault"} << 0;
    QTest::newRow("outageWhileIntermittent") << thrice + QStringList{"f 6", "r 6", "f 6 12", "r 6"}
                                    << toldTwice + QStringList{intermittent,
                                                   "6,still failing," + ph + " since 14:05:30 (10 times in a row)",
                                                   "6,answering again,Works again after 12 faults"} << 0;
    QTest::newRow("countedAtStop")  << thrice + QStringList{"f 6 2", "r 6", "f 6", "x"}
                                    << toldTwice + QStringList{intermittent,
                                                   "6,still intermittent," + ph + ": 4 faults in 3 episodes since 14:05:30"} << 0;
    QTest::newRow("nothingLeftAtStop") << thrice + QStringList{"m 11", "r 6", "x"}
                                    << toldTwice + QStringList{intermittent,
                                                   "6,steady,No fault for 10 minutes: 1 fault in 1 episode since 14:05:30"} << 0;
    QTest::newRow("portFlapping")   << QStringList{"f port", "r port", "f port 2", "r port", "f port", "r port", "f port", "f 6", "r port"}
                                    << QStringList{"port,port lost,Port Not open", "port,port reopened,Works again after 1 fault",
                                                   "port,port lost,Port Not open", "port,port reopened,Works again after 2 faults",
                                                   "port,flapping,Port Not open: 3 times in 10 minutes; from now on counted, and told at most once an hour"} << 0;
}
// clang-format on

void TestFaultReporter::journalsWithoutFlooding()
{
    QFETCH(QStringList, steps);
    QFETCH(QStringList, events);
    QFETCH(int, boxes);

    FakeMessageBox messages;
    FakeClock clock;
    FaultsOver faults(messages, clock);
    faults.reporter.setUnattended(true);
    const QHash<QString, QString> texts{{"6", "NO VALID RETURN FROM pH MODULE"},
                                        {"7", "NO VALID RETURN FROM pH MODULE"},
                                        {"port", "Port Not open"},
                                        {"log", "Disk full"}};
    for (const QString &step : steps) {
        const QStringList word = step.split(' ');
        if (word[0] == "f") {
            for (int i = 0; i < (word.size() > 2 ? word[2].toInt() : 1); ++i) {
                const bool told = faults.reporter.failed(word[1], texts[word[1]]);
                QCOMPARE(told, !faults.reporter.isUnattended());
            }
        } else if (word[0] == "r") {
            faults.reporter.recovered(word[1]);
        } else if (word[0] == "m") {
            clock.now += std::chrono::minutes(word[1].toInt());
        } else if (word[0] == "x") {
            faults.reporter.closeAccounts();
        } else if (word[0] == "u") {
            faults.reporter.setUnattended(word[1] == "on");
        }
    }

    QStringList journaled;
    for (const StationEvent &event : faults.journal.recent())
        journaled << event.source + ',' + event.kind + ',' + event.text;
    QCOMPARE(journaled, events);
    QCOMPARE(messages.texts.size(), boxes);
}

QTEST_MAIN(TestFaultReporter)
#include "test_fault_reporter.moc"
