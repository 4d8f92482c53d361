#include "channels/ReadingAge.h"
#include "fakes/FakeClock.h"
#include "station/StationState.h"

#include <QtTest>

// How old each reading is, after cycles that read some modules and not
// others, at various times on a fake clock: what the lamps, the dimmed
// values and the stale alarms go by.
class TestReadingAge : public QObject
{
    Q_OBJECT

private slots:
    void freshStaleFailingOff_data();
    void freshStaleFailingOff();
};

// clang-format off
void TestReadingAge::freshStaleFailingOff_data()
{
    QTest::addColumn<QStringList>("steps");    // "cycle:5,6mV,7,1", "wait:MS", "off:ph", "on:ph"
    QTest::addColumn<QString>("lamps");        // Flow pH1 pH2 T1 T2 T3: F fresh, S stale, X failing, O off
    QTest::addColumn<QString>("pHFresh");      // probe 1's and 2's pH: y/n
    QTest::addColumn<QList<int>>("unreadMs");  // per module

    QTest::newRow("allRead")          << QStringList{"cycle:5,6,7,1,2,3"}
                                      << "FFFFFF" << "yy" << QList<int>{0, 0, 0, 0, 0, 0};
    QTest::newRow("twoPeriodsStillFresh") << QStringList{"cycle:5,6,7,1,2,3", "wait:2000"}
                                      << "FFFFFF" << "yy" << QList<int>{2000, 2000, 2000, 2000, 2000, 2000};
    QTest::newRow("olderIsStale")     << QStringList{"cycle:5,6,7,1,2,3", "wait:2001"}
                                      << "SSSSSS" << "nn" << QList<int>{2001, 2001, 2001, 2001, 2001, 2001};
    // Polled and no valid answer: failing at once, its value still young.
    QTest::newRow("moduleFails")      << QStringList{"cycle:5,6,7,1,2,3", "wait:1000", "cycle:5,6,7,1,3"}
                                      << "FFFFXF" << "yy" << QList<int>{0, 0, 0, 0, 1000, 0};
    // Its millivolts without a pH (a zero slope): the module answers, the pH is old.
    QTest::newRow("pHStaysBehind")    << QStringList{"cycle:5,6,7,1,2,3", "wait:3000", "cycle:5,6mV,7,1,2,3"}
                                      << "FFFFFF" << "ny" << QList<int>{0, 0, 0, 0, 0, 0};
    QTest::newRow("groupOff")         << QStringList{"cycle:5,6,7,1,2,3", "off:therm", "wait:5000", "cycle:5,6,7"}
                                      << "FFFOOO" << "yy" << QList<int>{0, 0, 0, 0, 0, 0};
    // Switched on again, the old reading does not count: unread from then on.
    QTest::newRow("onAgainCountsFromThen") << QStringList{"cycle:5,6,7,1,2,3", "off:therm", "wait:60000", "cycle:5,6,7",
                                                          "on:therm", "cycle:5,6,7", "wait:4000"}
                                      << "SSSXXX" << "nn" << QList<int>{4000, 4000, 4000, 4000, 4000, 4000};
    QTest::newRow("nothingAnswers"  ) << QStringList{"cycle:", "wait:3000"}
                                      << "XXXXXX" << "nn" << QList<int>{3000, 3000, 3000, 3000, 3000, 3000};
}
// clang-format on

void TestReadingAge::freshStaleFailingOff()
{
    QFETCH(QStringList, steps);
    QFETCH(QString, lamps);
    QFETCH(QString, pHFresh);
    QFETCH(QList<int>, unreadMs);

    StationState state;
    state.flowEnabled = state.phEnabled = state.thermEnabled = FlagOn;
    FakeClock clock;
    ReadingAge ages(state, clock);
    for (const QString &step : steps) {
        const QString what = step.section(':', 0, 0);
        const QString arg = step.section(':', 1);
        Flag *group = arg == "ph" ? &state.phEnabled
            : arg == "therm"      ? &state.thermEnabled
                                  : &state.flowEnabled;
        if (what == "wait") {
            clock.now += std::chrono::milliseconds(arg.toInt());
        } else if (what == "off" || what == "on") {
            *group = what == "on" ? FlagOn : FlagOff;
        } else {
            const ReadCounts before = ReadCounts::of(state);
            const QStringList read = arg.split(',', Qt::SkipEmptyParts);
            state.flowReads += read.contains("5");
            state.probe1Reads += read.contains("6") || read.contains("6mV");
            state.probe1pHReads += read.contains("6");
            state.probe2Reads += read.contains("7");
            state.probe2pHReads += read.contains("7");
            state.therm1Reads += read.contains("1");
            state.therm2Reads += read.contains("2");
            state.therm3Reads += read.contains("3");
            ages.cycleRead({before, ReadCounts::of(state)});
        }
    }

    QString shown;
    QList<int> unread;
    for (int m = 0; m < ReadingAge::MODULES; ++m) {
        const auto module = static_cast<ReadingAge::Module>(m);
        shown += "FSXO"[static_cast<int>(ages.freshness(module))];
        unread << int(
            std::chrono::duration_cast<std::chrono::milliseconds>(ages.unreadFor(module)).count());
    }
    QCOMPARE(shown, lamps);
    QCOMPARE(QString(ages.isFresh(ReadingAge::Reading::Ph1) ? "y" : "n") +
                 (ages.isFresh(ReadingAge::Reading::Ph2) ? "y" : "n"),
             pHFresh);
    QCOMPARE(unread, unreadMs);
}

QTEST_GUILESS_MAIN(TestReadingAge)
#include "test_reading_age.moc"
