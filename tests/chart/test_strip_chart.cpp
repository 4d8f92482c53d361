#include "fakes/FakeClock.h"
#include "fakes/FakeGraph.h"
#include "fakes/FakeWidgets.h"
#include "ui/chart/CursorReadout.h"
#include "ui/chart/StripChart.h"

#include <QtTest>

#include <cmath>
#include <limits>
#include <memory>

namespace {

constexpr double Nan = std::numeric_limits<double>::quiet_NaN();
constexpr double Inf = std::numeric_limits<double>::infinity();

double dayFraction(int h, int m, int s, int ms = 0)
{
    return ((h * 60 + m) * 60 + s + ms / 1000.0) / 86400.0;
}

// A wall clock that moves on by a fixed step after every reading.
class SteppingClock : public FakeClock
{
public:
    qint64 stepMs = 0;
    QDateTime currentDateTime() const override
    {
        const QDateTime reading = m_now;
        m_now = m_now.addMSecs(stepMs);
        return reading;
    }
    void set(const QDateTime &dateTime) { m_now = dateTime; }
    void advance(qint64 ms) { m_now = m_now.addMSecs(ms); }

private:
    mutable QDateTime m_now{QDate(2026, 12, 7), QTime(14, 5, 30)};
};

// Records the cursor placements too, so their order shows in calls.
class RecordingGraph : public FakeGraph
{
public:
    void setCursorX(int cursor, double x) override
    {
        FakeGraph::setCursorX(cursor, x);
        calls << QStringLiteral("x cursor %1").arg(cursor);
    }
    void setCursorY(int cursor, double y) override
    {
        FakeGraph::setCursorY(cursor, y);
        calls << QStringLiteral("y cursor %1").arg(cursor);
    }
};

struct Rig
{
    StationState state;
    SteppingClock clock;
    RecordingGraph graph;
    FakeSwitch cwPlot;
    FakeTimer tmrPlot;
    FakeKnob phMin;
    FakeKnob phMax;
    FakeKnob mode;
    FakeStatusBar status;
    FakeButton resetScale;
    StripChart chart{
        state, clock, {graph, cwPlot, tmrPlot, phMin, phMax, mode, status, resetScale}};
};

} // namespace

using Steps = QVector<double>;

class TestStripChart : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    void plotSwitch_data();
    void plotSwitch();
    void appendOrder_data();
    void appendOrder();
    void pointsCarryLastValues_data();
    void pointsCarryLastValues();
    void repeatedReadings_data();
    void repeatedReadings();
    void pauseLeavesGap();

    void resetPhScale_data();
    void resetPhScale();
    void phKnobs_data();
    void phKnobs();

    void modeSwitch_data();
    void modeSwitch();
    void cursorPlacement_data();
    void cursorPlacement();
    void modeSequence_data();
    void modeSequence();

    void readout_data();
    void readout();
    void valueText_data();
    void valueText();
};

// clang-format off
void TestStripChart::plotSwitch_data()
{
    QTest::addColumn<Steps>("switchValues"); // 1 on, 0 off, in order
    QTest::addColumn<bool>("timerEnabled");
    QTest::addColumn<int>("pointsAfterTwoTicks");

    QTest::newRow("offAtStart")        << Steps{}        << false << 0;
    QTest::newRow("unattendedStartOn") << Steps{1}       << true  << 2;
    QTest::newRow("pausedAgain")       << Steps{1, 0}    << false << 0;
    QTest::newRow("resumed")           << Steps{1, 0, 1} << true  << 2;
}
// clang-format on

void TestStripChart::plotSwitch()
{
    QFETCH(Steps, switchValues);
    QFETCH(bool, timerEnabled);
    QFETCH(int, pointsAfterTwoTicks);

    Rig rig;
    QCOMPARE(rig.tmrPlot.interval(), 1000);
    for (double on : switchValues)
        rig.cwPlot.setValue(on != 0);
    QCOMPARE(rig.tmrPlot.isEnabled(), timerEnabled);
    QVERIFY(rig.graph.points.value(1).isEmpty()); // switching on appends nothing by itself
    rig.tmrPlot.fire();
    rig.tmrPlot.fire();
    QCOMPARE(rig.graph.points.value(1).size(), pointsAfterTwoTicks);
    QCOMPARE(rig.graph.points.value(2).size(), pointsAfterTwoTicks);
}

// clang-format off
void TestStripChart::appendOrder_data()
{
    QTest::addColumn<QTime>("start");
    QTest::addColumn<int>("stepMs");
    QTest::addColumn<double>("plot2X");
    QTest::addColumn<double>("plot1X");

    QTest::newRow("sameSecond")   << QTime(14, 5, 9)          << 0    << dayFraction(14, 5, 9)
                                  << dayFraction(14, 5, 9);
    QTest::newRow("secondPasses") << QTime(14, 5, 9, 999)     << 1    << dayFraction(14, 5, 9, 999)
                                  << dayFraction(14, 5, 10);
    QTest::newRow("midnightPasses") << QTime(23, 59, 59, 999) << 1    << dayFraction(23, 59, 59, 999)
                                    << 0.0;
}
// clang-format on

void TestStripChart::appendOrder()
{
    QFETCH(QTime, start);
    QFETCH(int, stepMs);
    QFETCH(double, plot2X);
    QFETCH(double, plot1X);

    Rig rig;
    rig.state.probe1pH = 7.1234;
    rig.state.probe2pH = 6.5;
    rig.clock.set(QDateTime(QDate(2026, 12, 7), start));
    rig.clock.stepMs = stepMs;
    rig.cwPlot.setValue(true);
    rig.graph.calls.clear();
    rig.tmrPlot.fire();

    QCOMPARE(rig.graph.calls, QStringList({"append 2", "append 1"}));
    QCOMPARE(rig.graph.points[2], QVector<QPointF>{QPointF(plot2X, 6.5)});
    QCOMPARE(rig.graph.points[1], QVector<QPointF>{QPointF(plot1X, 7.1234)});
}

// clang-format off
void TestStripChart::pointsCarryLastValues_data()
{
    QTest::addColumn<double>("probe1");
    QTest::addColumn<double>("probe2");
    QTest::addColumn<int>("plot1Points");
    QTest::addColumn<int>("plot2Points");

    QTest::newRow("beforeAnyRead")  << 0.0    << 0.0    << 3 << 3;
    QTest::newRow("lastReadings")   << 7.0312 << 4.01   << 3 << 3;
    QTest::newRow("probe1NaN")      << Nan    << 4.01   << 0 << 3;
    QTest::newRow("probe2Infinite") << 7.0312 << -Inf   << 3 << 0;
    QTest::newRow("bothNaN")        << Nan    << Nan    << 0 << 0;
}
// clang-format on

void TestStripChart::pointsCarryLastValues()
{
    QFETCH(double, probe1);
    QFETCH(double, probe2);
    QFETCH(int, plot1Points);
    QFETCH(int, plot2Points);

    // The pH switch is off: no read changes the values between ticks.
    Rig rig;
    rig.state.phEnabled = FlagOff;
    rig.state.probe1pH = probe1;
    rig.state.probe2pH = probe2;
    rig.cwPlot.setValue(true);
    for (int tick = 0; tick < 3; ++tick) {
        rig.tmrPlot.fire();
        rig.clock.advance(1000);
    }
    QCOMPARE(rig.graph.points.value(1).size(), plot1Points);
    QCOMPARE(rig.graph.points.value(2).size(), plot2Points);
    for (const QPointF &p : rig.graph.points.value(1))
        QCOMPARE(p.y(), probe1);
    for (const QPointF &p : rig.graph.points.value(2))
        QCOMPARE(p.y(), probe2);
}

// clang-format off
void TestStripChart::repeatedReadings_data()
{
    QTest::addColumn<QStringList>("steps"); // "READS1,READS2" then a tick; "pause", "resume"
    QTest::addColumn<QString>("probe1");    // per point: F a new reading, R the last again
    QTest::addColumn<QString>("probe2");

    QTest::newRow("readEachTick")      << QStringList{"1,1", "2,2", "3,3"}           << "FFF" << "FFF";
    QTest::newRow("neverRead")         << QStringList{"0,0", "0,0"}                  << "RR"  << "RR";
    QTest::newRow("probe2Stops")       << QStringList{"1,1", "2,1", "3,1"}           << "FFF" << "FRR";
    QTest::newRow("twoReadsOneTick")   << QStringList{"2,2", "4,2"}                  << "FF"  << "FR";
    QTest::newRow("readDuringPause")   << QStringList{"1,1", "pause", "5,5", "resume", "5,5", "6,5"} << "FRF" << "FRR";
}
// clang-format on

void TestStripChart::repeatedReadings()
{
    QFETCH(QStringList, steps);
    QFETCH(QString, probe1);
    QFETCH(QString, probe2);

    Rig rig;
    rig.state.probe1pH = 7.1;
    rig.state.probe2pH = 6.9;
    rig.cwPlot.setValue(true);
    for (const QString &step : steps) {
        if (step == "pause" || step == "resume") {
            rig.cwPlot.setValue(step == "resume");
            continue;
        }
        rig.state.probe1pHReads = step.section(',', 0, 0).toUInt();
        rig.state.probe2pHReads = step.section(',', 1, 1).toUInt();
        if (rig.cwPlot.value())
            rig.tmrPlot.fire();
        rig.clock.advance(1000);
    }
    QCOMPARE(rig.graph.kinds.value(1), probe1);
    QCOMPARE(rig.graph.kinds.value(2), probe2);
}

void TestStripChart::pauseLeavesGap()
{
    Rig rig;
    rig.state.probe1pH = 7;
    rig.clock.set(QDateTime(QDate(2026, 12, 7), QTime(10, 0, 0)));
    rig.cwPlot.setValue(true);
    rig.tmrPlot.fire();
    rig.clock.advance(1000);
    rig.tmrPlot.fire();
    rig.cwPlot.setValue(false);
    for (int second = 0; second < 60; ++second) {
        rig.clock.advance(1000);
        rig.tmrPlot.fire(); // a paused timer delivers nothing
    }
    rig.cwPlot.setValue(true);
    rig.tmrPlot.fire();

    const QVector<QPointF> expected{
        {dayFraction(10, 0, 0), 7}, {dayFraction(10, 0, 1), 7}, {dayFraction(10, 1, 1), 7}};
    QCOMPARE(rig.graph.points.value(1), expected);
}

// clang-format off
void TestStripChart::resetPhScale_data()
{
    QTest::addColumn<double>("knobMin");
    QTest::addColumn<double>("knobMax");
    QTest::addColumn<double>("expectedMin");
    QTest::addColumn<double>("expectedMax");
    QTest::addColumn<bool>("applied");

    // Before each row the operator has zoomed to pH 6.1..6.3 and 0.50..0.51 of the day.
    QTest::newRow("undoesZoom")     << 0.0  << 15.0 << 0.0 << 15.0 << true;
    QTest::newRow("minimumFour")    << 4.0  << 15.0 << 4.0 << 15.0 << true;
    QTest::newRow("minAtMaxKeeps")  << 8.0  << 8.0  << 6.1 << 6.3  << false;
    QTest::newRow("minAboveKeeps")  << 12.0 << 3.0  << 6.1 << 6.3  << false;
    QTest::newRow("nonFiniteKeeps") << Nan  << 15.0 << 6.1 << 6.3  << false;
}
// clang-format on

void TestStripChart::resetPhScale()
{
    QFETCH(double, knobMin);
    QFETCH(double, knobMax);
    QFETCH(double, expectedMin);
    QFETCH(double, expectedMax);
    QFETCH(bool, applied);

    Rig rig;
    rig.graph.ranges = {{1, {0.50, 0.51}}, {2, {6.1, 6.3}}, {3, {6.1, 6.3}}};
    rig.phMin.m_value = knobMin;
    rig.phMax.m_value = knobMax;
    rig.resetScale.press(); // "Reset Scale"

    QCOMPARE(rig.graph.calls, applied ? QStringList({"range 2", "range 3"}) : QStringList());
    for (int axis : {2, 3}) {
        QCOMPARE(rig.graph.axisMinimum(axis), expectedMin);
        QCOMPARE(rig.graph.axisMaximum(axis), expectedMax);
    }
    QCOMPARE(rig.graph.axisMinimum(1), 0.50);
    QCOMPARE(rig.graph.axisMaximum(1), 0.51);
}

// clang-format off
void TestStripChart::phKnobs_data()
{
    QTest::addColumn<bool>("turnMinimum");
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("expectedMin");
    QTest::addColumn<double>("expectedMax");

    // Knobs start at 0 and 15; the chart is zoomed to pH 6.1..6.3 beforehand.
    QTest::newRow("minimumToFour")    << true  << 4.0  << 4.0 << 15.0;
    QTest::newRow("maximumToTwelve")  << false << 12.0 << 0.0 << 12.0;
    QTest::newRow("minimumToMaxKeeps") << true << 15.0 << 6.1 << 6.3;
    QTest::newRow("maximumBelowKeeps") << false << 0.0 << 6.1 << 6.3;
}
// clang-format on

void TestStripChart::phKnobs()
{
    QFETCH(bool, turnMinimum);
    QFETCH(double, value);
    QFETCH(double, expectedMin);
    QFETCH(double, expectedMax);

    Rig rig;
    rig.phMin.m_value = 0;
    rig.phMax.m_value = 15;
    rig.graph.ranges = {{1, {0.50, 0.51}}, {2, {6.1, 6.3}}, {3, {6.1, 6.3}}};
    (turnMinimum ? rig.phMin : rig.phMax).setValue(value);

    for (int axis : {2, 3}) {
        QCOMPARE(rig.graph.axisMinimum(axis), expectedMin);
        QCOMPARE(rig.graph.axisMaximum(axis), expectedMax);
    }
    QCOMPARE(rig.graph.axisMaximum(1), 0.51);
}

// clang-format off
void TestStripChart::modeSwitch_data()
{
    QTest::addColumn<double>("from");
    QTest::addColumn<double>("value");
    QTest::addColumn<QStringList>("calls");

    QTest::newRow("zoom") << 1.0 << 0.0
        << QStringList{"mode 6", "hide cursor 1", "hide cursor 2"};
    QTest::newRow("pan") << 0.0 << 1.0
        << QStringList{"hide cursor 1", "hide cursor 2", "mode 3"};
    QTest::newRow("cursor") << 0.0 << 2.0
        << QStringList{"mode 2", "show cursor 1", "hide cursor 2", "x cursor 1", "y cursor 1"};
    QTest::newRow("twoCursors") << 2.0 << 3.0
        << QStringList{"mode 2", "show cursor 1", "show cursor 2", "x cursor 2", "y cursor 2"};
    QTest::newRow("between")  << 0.0 << 2.5 << QStringList{};
    QTest::newRow("negative") << 0.0 << -1.0 << QStringList{};
    QTest::newRow("four")     << 0.0 << 4.0 << QStringList{};
    QTest::newRow("notANumber") << 0.0 << Nan << QStringList{};
}
// clang-format on

void TestStripChart::modeSwitch()
{
    QFETCH(double, from);
    QFETCH(double, value);
    QFETCH(QStringList, calls);

    Rig rig;
    rig.mode.m_value = from;
    rig.graph.mode = 99; // an untouched mode stays visible as 99
    rig.mode.setValue(value);
    QCOMPARE(rig.graph.calls, calls);
    if (calls.isEmpty())
        QCOMPARE(rig.graph.mode, 99);
}

// clang-format off
void TestStripChart::cursorPlacement_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QPointF>("timeRange");
    QTest::addColumn<QPointF>("ph1Range");
    QTest::addColumn<QPointF>("ph2Range");
    QTest::addColumn<int>("cursor");
    QTest::addColumn<QPointF>("position");

    QTest::newRow("designRanges")  << 2.0 << QPointF(0, 20) << QPointF(0, 15) << QPointF(0, 15)
                                   << 1 << QPointF(10, 7.5);
    QTest::newRow("zoomedPh6to8")  << 2.0 << QPointF(0, 20) << QPointF(6, 8) << QPointF(0, 15)
                                   << 1 << QPointF(10, 7);
    QTest::newRow("timeWindow")    << 2.0 << QPointF(0.5, 0.6) << QPointF(6, 8) << QPointF(6, 8)
                                   << 1 << QPointF(0.55, 7);
    QTest::newRow("cursor2YFromAxis2") << 3.0 << QPointF(1.25, 1.75) << QPointF(4, 5)
                                       << QPointF(0, 100) << 2 << QPointF(1.5, 4.5);
}
// clang-format on

void TestStripChart::cursorPlacement()
{
    QFETCH(double, value);
    QFETCH(QPointF, timeRange);
    QFETCH(QPointF, ph1Range);
    QFETCH(QPointF, ph2Range);
    QFETCH(int, cursor);
    QFETCH(QPointF, position);

    Rig rig;
    rig.graph.ranges = {{1, {timeRange.x(), timeRange.y()}},
                        {2, {ph1Range.x(), ph1Range.y()}},
                        {3, {ph2Range.x(), ph2Range.y()}}};
    const auto before = rig.graph.ranges;
    rig.mode.setValue(value);
    QCOMPARE(rig.graph.cursors.value(cursor), position);
    QVERIFY(rig.graph.cursorVisible.value(cursor));
    QCOMPARE(rig.graph.ranges, before); // the mode switch never moves an axis
}

// clang-format off
void TestStripChart::modeSequence_data()
{
    QTest::addColumn<Steps>("values");
    QTest::addColumn<QPointF>("cursor1");
    QTest::addColumn<bool>("cursor1Shown");
    QTest::addColumn<bool>("cursor2Shown");

    // After the first step the operator drags cursor 1 to (0.3, 9) and the
    // chart is zoomed to 0.4..0.6 of the day and pH 6..8: the centre is (0.5, 7).
    QTest::newRow("threeKeepsCursor1")  << Steps{2, 3}    << QPointF(0.3, 9) << true  << true;
    QTest::newRow("panThenCursorAnew")  << Steps{2, 1, 2} << QPointF(0.5, 7) << true  << false;
    QTest::newRow("zoomHidesKeepsPlace") << Steps{2, 0}   << QPointF(0.3, 9) << false << false;
    QTest::newRow("ignoredValueKeeps")  << Steps{3, 7}    << QPointF(0.3, 9) << true  << true;
}
// clang-format on

void TestStripChart::modeSequence()
{
    QFETCH(Steps, values);
    QFETCH(QPointF, cursor1);
    QFETCH(bool, cursor1Shown);
    QFETCH(bool, cursor2Shown);

    Rig rig;
    rig.mode.setValue(values.first());
    rig.graph.cursors[1] = QPointF(0.3, 9);
    rig.graph.ranges = {{1, {0.4, 0.6}}, {2, {6, 8}}, {3, {0, 15}}};
    for (int i = 1; i < values.size(); ++i)
        rig.mode.setValue(values[i]);

    QCOMPARE(rig.graph.cursors.value(1), cursor1);
    QCOMPARE(rig.graph.cursorVisible.value(1), cursor1Shown);
    QCOMPARE(rig.graph.cursorVisible.value(2), cursor2Shown);
    if (values.contains(3))
        QCOMPARE(rig.graph.cursors.value(2),
                 values.first() == 3 ? QPointF(10, 7.5) : QPointF(0.5, 7));
}

// clang-format off
void TestStripChart::readout_data()
{
    QTest::addColumn<int>("cursor");
    QTest::addColumn<double>("cursorX");
    QTest::addColumn<double>("y");
    QTest::addColumn<QString>("panel2");
    QTest::addColumn<QString>("panel3");

    QTest::newRow("afternoon")    << 1 << dayFraction(14, 5, 9) << 7.03124 << "X:  14:05:09"
                                  << "Y:  7.0312";
    QTest::newRow("halfShown")    << 1 << 0.25 << 6.5 << "X:  06:00:00" << "Y:  6.5";
    QTest::newRow("wholeNumber")  << 1 << 0.0 << 7.0 << "X:  00:00:00" << "Y:  7.";
    QTest::newRow("beyondOneDay") << 1 << 2.5 << 7.0 << "X:  12:00:00" << "Y:  7.";
    QTest::newRow("lastSecond")   << 1 << dayFraction(23, 59, 59) << 14.0 << "X:  23:59:59"
                                  << "Y:  14.";
    QTest::newRow("cursor2Ignored") << 2 << 0.25 << 6.5 << "before 2" << "before 3";
}
// clang-format on

void TestStripChart::readout()
{
    QFETCH(int, cursor);
    QFETCH(double, cursorX);
    QFETCH(double, y);
    QFETCH(QString, panel2);
    QFETCH(QString, panel3);

    Rig rig;
    rig.status.texts = {{1, "before 1"}, {2, "before 2"}, {3, "before 3"}, {4, "before 4"}};
    rig.graph.cursors[cursor] = QPointF(cursorX, y);
    // The X written comes from cursor 1 itself, not from the notification.
    rig.graph.cursorMoved.notify(cursor, cursorX + 0.125, y, true);

    QCOMPARE(rig.status.panelText(2), panel2);
    QCOMPARE(rig.status.panelText(3), panel3);
    QCOMPARE(rig.status.panelText(1), QString("before 1"));
    QCOMPARE(rig.status.panelText(4), QString("before 4"));
}

// clang-format off
void TestStripChart::valueText_data()
{
    QTest::addColumn<double>("y");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("text");

    QTest::newRow("fourDecimals")     << 7.03124  << "C"     << "7.0312";
    QTest::newRow("roundsUp")         << 7.03126  << "C"     << "7.0313";
    QTest::newRow("belowOne")         << 0.25     << "C"     << "0.25";
    QTest::newRow("zero")             << 0.0      << "C"     << "0.";
    QTest::newRow("tinyNegative")     << -0.00001 << "C"     << "0.";
    QTest::newRow("negative")         << -1.5     << "C"     << "-1.5";
    QTest::newRow("decimalComma")     << 7.0312   << "de_DE" << "7,0312";
    QTest::newRow("wholeDecimalComma") << 7.0     << "de_DE" << "7,";
}
// clang-format on

void TestStripChart::valueText()
{
    QFETCH(double, y);
    QFETCH(QString, locale);
    QFETCH(QString, text);
    QCOMPARE(CursorReadout::valueText(y, QLocale(locale)), text);
}

QTEST_GUILESS_MAIN(TestStripChart)
#include "test_strip_chart.moc"
