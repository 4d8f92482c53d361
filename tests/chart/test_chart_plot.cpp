#include "fakes/FakeClock.h"
#include "fakes/FakeWidgets.h"
#include "platform/qt/widgets/QtKnob.h"
#include "ui/chart/ChartExporter.h"
#include "ui/chart/ChartGraph.h"
#include "ui/chart/ChartPlot.h"
#include "ui/chart/ChartStore.h"
#include "ui/chart/ChartTime.h"
#include "ui/chart/EnvelopeCurve.h"
#include "ui/chart/GraphModeSelector.h"
#include "ui/chart/MeasurementBox.h"
#include "ui/chart/StripChart.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>
#include <qwt_date_scale_draw.h>
#include <qwt_plot_canvas.h>
#include <qwt_plot_curve.h>
#include <qwt_scale_div.h>
#include <qwt_scale_map.h>

#include <cmath>
#include <sys/stat.h>

namespace {

constexpr double Second = 1.0 / 86400;
const QSize ChartSize(883, 687);

double dayFraction(int h, int m, int s)
{
    return ((h * 60 + m) * 60 + s) / 86400.0;
}

QImage render(QwtPlot &plot)
{
    plot.replot();
    QImage image(plot.size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    plot.render(&image);
    return image;
}

// Rows touched by the colour in each pixel column of the canvas: {top, bottom}.
QMap<int, QPair<int, int>> columnsOf(const QImage &image, const QRect &area, QRgb colour)
{
    QMap<int, QPair<int, int>> columns;
    for (int x = area.left(); x <= area.right(); ++x) {
        for (int y = area.top(); y <= area.bottom(); ++y) {
            if (image.pixel(x, y) != colour)
                continue;
            auto it = columns.find(x);
            if (it == columns.end())
                columns.insert(x, {y, y});
            else
                it->second = y;
        }
    }
    return columns;
}

QRect canvasArea(const QwtPlot &plot)
{
    const QWidget *canvas = plot.canvas();
    return canvas->contentsRect().translated(canvas->pos());
}

void drag(QWidget *canvas, QPoint from, QPoint to, Qt::MouseButton button = Qt::LeftButton)
{
    QMouseEvent press(QEvent::MouseButtonPress, from, button, button, Qt::NoModifier);
    QApplication::sendEvent(canvas, &press);
    for (int step = 1; step <= 4; ++step) {
        const QPoint at = from + (to - from) * step / 4;
        QMouseEvent move(QEvent::MouseMove, at, Qt::NoButton, button, Qt::NoModifier);
        QApplication::sendEvent(canvas, &move);
    }
    QMouseEvent release(QEvent::MouseButtonRelease, to, button, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(canvas, &release);
}

void fillMinutes(Graph &graph, double start, int seconds)
{
    QRandomGenerator random(3);
    for (int i = 0; i < seconds; ++i) {
        graph.appendPoint(2, start + i * Second, 5 + random.bounded(1.0));
        graph.appendPoint(1, start + i * Second, 7 + random.bounded(1.0));
    }
}

// The chart widget, its store and the Graph over both, as the station puts them.
struct Chart
{
    FakeClock clock;
    ChartPlot plot;
    ChartStore store;
    ChartGraph graph{plot, store, clock};
};

// Shown at the station's size, so mouse events land on a laid-out canvas.
bool showAtChartSize(ChartPlot &plot)
{
    plot.resize(ChartSize);
    plot.show();
    return QTest::qWaitForWindowExposed(&plot);
}

// The real plot and mode selector behind the chart's handlers.
struct ChartRig
{
    StationState state;
    FakeClock clock;
    Chart chart;
    ChartPlot &plot = chart.plot;
    ChartGraph &graph = chart.graph;
    GraphModeSelector selector;
    QtKnob mode{&selector};
    FakeSwitch cwPlot;
    FakeTimer tmrPlot;
    FakeKnob phMin;
    FakeKnob phMax;
    FakeStatusBar status;
    FakeButton resetScale;
    StripChart stripChart{
        state, clock, {graph, cwPlot, tmrPlot, phMin, phMax, mode, status, resetScale}};
};

struct MovedRecord
{
    int cursor = 0;
    double x = 0;
    double y = 0;
    bool dragging = true;
    int count = 0;
};

} // namespace

class TestChartPlot : public QObject
{
    Q_OBJECT

private slots:
    void axisRanges_data();
    void axisRanges();
    void timeLabels_data();
    void timeLabels();
    void midnightNeverDrawsBack();
    void envelopeMatchesPlainCurve();
    void mouseDrags_data();
    void mouseDrags();
    void rightClickFollowsAgain_data();
    void rightClickFollowsAgain();
    void legendHidesTrace_data();
    void legendHidesTrace();
    void doubleClick_data();
    void doubleClick();
    void dragShowsReadout_data();
    void dragShowsReadout();
    void modeSelector_data();
    void modeSelector();
    void exportFiles_data();
    void exportFiles();
};

// clang-format off
void TestChartPlot::axisRanges_data()
{
    QTest::addColumn<int>("axis");
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("maximum");
    QTest::addColumn<double>("expectedMin");
    QTest::addColumn<double>("expectedMax");
    QTest::addColumn<bool>("stillFollowing");

    QTest::newRow("ph1")            << 2 << 4.0  << 15.0 << 4.0  << 15.0 << true;
    QTest::newRow("ph2")            << 3 << 6.0  << 8.0  << 6.0  << 8.0  << true;
    QTest::newRow("timeOfDay")      << 1 << 0.5  << 0.51 << 0.5  << 0.51 << false;
    QTest::newRow("minAtMaxKeeps")  << 2 << 8.0  << 8.0  << 0.0  << 15.0 << true;
    QTest::newRow("minAboveKeeps")  << 3 << 9.0  << 2.0  << 0.0  << 15.0 << true;
    QTest::newRow("infiniteKeeps")  << 2 << 0.0  << qInf() << 0.0 << 15.0 << true;
    QTest::newRow("unknownAxis")    << 4 << 1.0  << 2.0  << 0.0  << 0.0  << true;
}
// clang-format on

void TestChartPlot::axisRanges()
{
    QFETCH(int, axis);
    QFETCH(double, minimum);
    QFETCH(double, maximum);
    QFETCH(double, expectedMin);
    QFETCH(double, expectedMax);
    QFETCH(bool, stillFollowing);

    Chart chart;
    ChartGraph &graph = chart.graph;
    graph.setAxisRange(axis, minimum, maximum);
    QCOMPARE(graph.axisMinimum(axis), expectedMin);
    QCOMPARE(graph.axisMaximum(axis), expectedMax);
    QCOMPARE(graph.isFollowing(), stillFollowing);
}

// clang-format off
void TestChartPlot::timeLabels_data()
{
    QTest::addColumn<double>("x");
    QTest::addColumn<QString>("label");

    QTest::newRow("afternoon")      << dayFraction(14, 5, 9)      << "14:05:09";
    QTest::newRow("afterMidnight")  << 1 + dayFraction(0, 0, 1)   << "00:00:01";
    QTest::newRow("thirtyDaysOn")   << 30.5                       << "12:00:00";
    QTest::newRow("lastSecond")     << dayFraction(23, 59, 59)    << "23:59:59";
}
// clang-format on

void TestChartPlot::timeLabels()
{
    QFETCH(double, x);
    QFETCH(QString, label);

    Chart chart;
    ChartPlot &plot = chart.plot;
    ChartGraph &graph = chart.graph;
    graph.setAxisRange(1, x - 60 * Second, x + 60 * Second);
    const double ms = x * ChartTime::MsPerDay;
    QCOMPARE(plot.axisScaleDraw(QwtPlot::xBottom)->label(ms).text(), label);
    // The cursor placed there reads back the same time of day.
    graph.setCursorX(1, x);
    QVERIFY(std::fabs(graph.cursorX(1) - x) < 1e-9);
}

void TestChartPlot::midnightNeverDrawsBack()
{
    Chart chart;
    ChartPlot &plot = chart.plot;
    ChartGraph &graph = chart.graph;
    plot.resize(ChartSize);
    // The last two minutes before midnight and the first two after it.
    const int start = (23 * 60 + 58) * 60;
    for (int i = 0; i < 240; ++i)
        graph.appendPoint(1, ((start + i) % 86400) * Second, i % 2 ? 6 : 8);
    const PlotSeries &series = chart.store.series(1).tier(0);
    QCOMPARE(series.size(), qint64(240));
    QCOMPARE(series.segmentCount(), 1);
    QVERIFY(series.x(239) > series.x(0));
    QVERIFY(series.x(120) >= 1.0); // 00:00:00 of the next day

    // Following the newest points, the window spans midnight, and no green
    // pixel lies left of where the first point is drawn.
    QVERIFY(graph.isFollowing());
    QVERIFY(graph.axisMinimum(1) < 1.0 && graph.axisMaximum(1) > 1.0);
    const QImage image = render(plot);
    const QRect area = canvasArea(plot);
    const auto green = columnsOf(image, area, QColor(0, 160, 0).rgb());
    QVERIFY(!green.isEmpty());
    const double firstPixel = plot.transform(QwtPlot::xBottom, series.x(0) * ChartTime::MsPerDay) +
        plot.canvas()->pos().x();
    QVERIFY2(green.firstKey() >= firstPixel - 2,
             qPrintable(QString("%1 < %2").arg(green.firstKey()).arg(firstPixel)));
}

void TestChartPlot::envelopeMatchesPlainCurve()
{
    // A day of points on plot 1, drawn by the chart and by a plain curve
    // holding every point on an identical plot.
    Chart drawnChart;
    Chart reference;
    QVector<QPointF> raw;
    QRandomGenerator random(11);
    double value = 7;
    const double start = dayFraction(8, 0, 0);
    for (int i = 0; i < 86400; ++i) {
        value = qBound(1.0, value + random.bounded(0.2) - 0.1, 14.0);
        drawnChart.graph.appendPoint(1, start + i * Second, value);
        raw << QPointF((start + i * Second) * ChartTime::MsPerDay, float(value));
    }
    auto *plain = new QwtPlotCurve(QStringLiteral("plain"));
    plain->setPen(QColor(0, 160, 0), 1);
    plain->setSamples(raw);
    plain->setItemAttribute(QwtPlotItem::Legend, false); // both legends alike
    plain->attach(&reference.plot);

    for (Chart *chart : {&drawnChart, &reference}) {
        chart->plot.resize(ChartSize);
        chart->graph.setAxisRange(1, start, start + 86400 * Second);
        chart->graph.setAxisRange(2, 0, 15);
    }
    ChartPlot &chart = drawnChart.plot;
    // The same pen on both: the envelope's points are what is compared.
    for (QwtPlotItem *item : chart.itemList())
        if (item->title().text() == "Probe 1 pH")
            static_cast<EnvelopeCurve *>(item)->setPen(QPen(QColor(0, 160, 0), 1));
    const QImage drawn = render(chart);
    const QImage expected = render(reference.plot);
    QCOMPARE(canvasArea(chart), canvasArea(reference.plot));

    const QRgb green = QColor(0, 160, 0).rgb();
    const auto drawnColumns = columnsOf(drawn, canvasArea(chart), green);
    const auto expectedColumns = columnsOf(expected, canvasArea(reference.plot), green);
    QVERIFY(expectedColumns.size() > canvasArea(chart).width() * 9 / 10);
    QCOMPARE(drawnColumns.keys(), expectedColumns.keys());
    for (auto it = expectedColumns.cbegin(); it != expectedColumns.cend(); ++it) {
        const auto got = drawnColumns.value(it.key());
        QVERIFY2(std::abs(got.first - it->first) <= 1 && std::abs(got.second - it->second) <= 1,
                 qPrintable(QString("column %1: %2..%3 drawn, %4..%5 expected")
                                .arg(it.key())
                                .arg(got.first)
                                .arg(got.second)
                                .arg(it->first)
                                .arg(it->second)));
    }
}

// clang-format off
void TestChartPlot::mouseDrags_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QPointF>("from"); // fractions of the canvas, may lie outside it
    QTest::addColumn<QPointF>("to");
    QTest::addColumn<QString>("expect");

    QTest::newRow("zoomIn")       << int(Graph::ZoomMode)   << QPointF(0.25, 0.25) << QPointF(0.75, 0.5)
                                  << "zoomed";
    QTest::newRow("tinyZoom")     << int(Graph::ZoomMode)   << QPointF(0.5, 0.5) << QPointF(0.503, 0.503)
                                  << "valid";
    QTest::newRow("zoomOutside")  << int(Graph::ZoomMode)   << QPointF(0.5, 0.5) << QPointF(3.0, -2.0)
                                  << "valid";
    QTest::newRow("pan")          << int(Graph::PanMode)    << QPointF(0.5, 0.5) << QPointF(0.25, 0.5)
                                  << "panned";
    QTest::newRow("cursor")       << int(Graph::CursorMode) << QPointF(0.5, 0.5) << QPointF(0.8, 0.2)
                                  << "cursor";
    QTest::newRow("cursorOutside") << int(Graph::CursorMode) << QPointF(0.5, 0.5) << QPointF(-4.0, 9.0)
                                   << "cursorClamped";
}
// clang-format on

void TestChartPlot::mouseDrags()
{
    QFETCH(int, mode);
    QFETCH(QPointF, from);
    QFETCH(QPointF, to);
    QFETCH(QString, expect);

    Chart chart;
    ChartPlot &plot = chart.plot;
    ChartGraph &graph = chart.graph;
    QVERIFY(showAtChartSize(plot));
    fillMinutes(graph, dayFraction(10, 0, 0), 900);
    plot.replot();
    MovedRecord moved;
    graph.cursorMoved.setHandler([&](int cursor, double x, double y, bool dragging) {
        moved = {cursor, x, y, dragging, moved.count + 1};
    });
    graph.setInteractionMode(mode);
    graph.setCursorVisible(1, mode == Graph::CursorMode);
    graph.setCursorX(1, (graph.axisMinimum(1) + graph.axisMaximum(1)) / 2);
    graph.setCursorY(1, 7.5);

    const double timeMin = graph.axisMinimum(1);
    const double timeMax = graph.axisMaximum(1);
    const double phMin = graph.axisMinimum(2);
    const double phMax = graph.axisMaximum(2);
    QWidget *canvas = plot.canvas();
    const QRect area = canvas->contentsRect();
    const auto at = [&](QPointF f) {
        return QPoint(area.left() + int(f.x() * area.width()),
                      area.top() + int(f.y() * area.height()));
    };
    drag(canvas, at(from), at(to));
    QCoreApplication::processEvents();
    plot.replot();

    const double newMin = graph.axisMinimum(1);
    const double newMax = graph.axisMaximum(1);
    QVERIFY(std::isfinite(newMin) && std::isfinite(newMax) && newMin < newMax);
    QVERIFY(graph.axisMinimum(2) < graph.axisMaximum(2));
    if (expect == "zoomed") {
        QVERIFY(!graph.isFollowing());
        // The rubber band from a quarter to three quarters of the width.
        const double span = timeMax - timeMin;
        QVERIFY(std::fabs(newMin - (timeMin + span / 4)) < span / 100);
        QVERIFY(std::fabs(newMax - (timeMin + span * 3 / 4)) < span / 100);
        QVERIFY(graph.axisMaximum(2) < phMax && graph.axisMinimum(2) > phMin);
        fillMinutes(graph, dayFraction(10, 15, 0), 5); // newer points leave the zoom alone
        QCOMPARE(graph.axisMaximum(1), newMax);
    } else if (expect == "panned") {
        QVERIFY(!graph.isFollowing());
        const double span = timeMax - timeMin;
        // Dragged a quarter of the width to the left: later times come into view.
        QVERIFY(std::fabs(newMin - (timeMin + span / 4)) < span / 50);
        QCOMPARE(graph.axisMinimum(2), phMin);
    } else if (expect == "cursor") {
        QCOMPARE(moved.cursor, 1);
        QVERIFY(!moved.dragging);
        QVERIFY(moved.count >= 2);
        const double span = timeMax - timeMin;
        QVERIFY(std::fabs(graph.cursorX(1) - (timeMin + span * 0.8)) < span / 100);
        QVERIFY(std::fabs(graph.cursorY(1) - (phMax - (phMax - phMin) * 0.2)) < 0.1);
        QCOMPARE(moved.x, graph.cursorX(1));
        QCOMPARE(moved.y, graph.cursorY(1));
        QCOMPARE(newMin, timeMin); // dragging a cursor moves no axis
    } else if (expect == "cursorClamped") {
        QCOMPARE(moved.cursor, 1);
        QVERIFY(graph.cursorX(1) >= timeMin &&
                graph.cursorX(1) <= timeMin + (timeMax - timeMin) / 100);
        QVERIFY(graph.cursorY(1) >= phMin && graph.cursorY(1) <= phMin + 0.1);
    }
    if (mode != Graph::CursorMode)
        QCOMPARE(moved.count, 0);
    // Probe 2's axis reads the same as probe 1's, whatever the drag did.
    QCOMPARE(graph.axisMinimum(3), graph.axisMinimum(2));
    QCOMPARE(graph.axisMaximum(3), graph.axisMaximum(2));
    render(plot); // draws after the drag without trouble
}

// clang-format off
void TestChartPlot::rightClickFollowsAgain_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("live"); // "Live" rather than a right click
    QTest::newRow("zoom")     << int(Graph::ZoomMode) << false;
    QTest::newRow("pan")      << int(Graph::PanMode)  << false;
    QTest::newRow("zoomLive") << int(Graph::ZoomMode) << true;
    QTest::newRow("panLive")  << int(Graph::PanMode)  << true;
}
// clang-format on

void TestChartPlot::rightClickFollowsAgain()
{
    QFETCH(int, mode);
    QFETCH(bool, live);

    Chart chart;
    ChartPlot &plot = chart.plot;
    ChartGraph &graph = chart.graph;
    QVERIFY(showAtChartSize(plot));
    fillMinutes(graph, dayFraction(10, 0, 0), 1200);
    plot.replot();
    graph.setInteractionMode(mode);
    QWidget *canvas = plot.canvas();
    const QRect area = canvas->contentsRect();
    QToolButton *liveButton = plot.liveButton();
    QVERIFY(liveButton->isChecked() && plot.showsFollowing());
    drag(canvas, area.center(), area.center() + QPoint(area.width() / 4, area.height() / 8));
    plot.replot();
    QVERIFY(!graph.isFollowing());
    // It says so: "Live" is up, and a word over the plot.
    QVERIFY(!liveButton->isChecked() && !plot.showsFollowing());

    fillMinutes(graph, dayFraction(10, 20, 0), 60);
    if (live)
        QTest::mouseClick(liveButton, Qt::LeftButton);
    else
        drag(canvas, area.center(), area.center(), Qt::RightButton);
    QVERIFY(graph.isFollowing());
    QVERIFY(liveButton->isChecked() && plot.showsFollowing());
    const double newest = dayFraction(10, 20, 59);
    QVERIFY(std::fabs(graph.axisMaximum(1) - newest) < 1e-6);
    QVERIFY(std::fabs(graph.axisMaximum(1) - graph.axisMinimum(1) - ChartFollow::DefaultWindow) <
            1e-6);
}

// clang-format off
void TestChartPlot::legendHidesTrace_data()
{
    QTest::addColumn<int>("probe");
    QTest::newRow("probe1") << 1;
    QTest::newRow("probe2") << 2;
}
// clang-format on

// A click on a probe's entry in the legend hides its line and a second one
// shows it again; the other probe's line stays. Repeated points come with
// rings, named in the legend once there are any.
void TestChartPlot::legendHidesTrace()
{
    QFETCH(int, probe);

    Chart chart;
    ChartPlot &plot = chart.plot;
    QVERIFY(showAtChartSize(plot));
    fillMinutes(chart.graph, dayFraction(10, 0, 0), 300);
    chart.graph.setAxisRange(2, 4, 9);
    const auto pixelsOf = [&plot](int which) {
        const QImage image = render(plot);
        const QRect area = canvasArea(plot);
        int count = 0;
        for (int x = area.left(); x <= area.right(); ++x) {
            for (int y = area.top(); y <= area.bottom(); ++y) {
                const QColor c = image.pixelColor(x, y);
                count += which == 1 ? c.green() > 100 && c.red() < 90 && c.blue() < 90
                                    : c.red() > 150 && c.green() < 110 && c.blue() < 110;
            }
        }
        return count;
    };
    const QwtPlotItem *curve = nullptr;
    for (const QwtPlotItem *item : plot.itemList())
        if (item->title().text() == QString("Probe %1 pH").arg(probe))
            curve = item;
    QVERIFY(curve);
    QWidget *entry = plot.legendEntry(curve);
    QVERIFY(entry && entry->isVisible());
    const int other = 3 - probe;
    const int otherPixels = pixelsOf(other);
    QVERIFY(pixelsOf(probe) > 300 && otherPixels > 300);

    QTest::mouseClick(entry, Qt::LeftButton);
    QVERIFY(!curve->isVisible());
    QCOMPARE(pixelsOf(probe), 0);
    QCOMPARE(pixelsOf(other), otherPixels);
    QTest::mouseClick(entry, Qt::LeftButton);
    QVERIFY(curve->isVisible());
    QVERIFY(pixelsOf(probe) > 300);

    const auto rings = [&plot] {
        for (const QwtPlotItem *item : plot.itemList())
            if (item->title().text() == "No new reading" && plot.legendEntry(item))
                return true;
        return false;
    };
    QVERIFY(!rings());
    chart.graph.appendRepeatedPoint(probe, dayFraction(10, 5, 0), 7.5);
    QVERIFY(rings());
    QCOMPARE(chart.store.repeats(probe).size(), 1);
}

// clang-format off
void TestChartPlot::doubleClick_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("showsAll");

    QTest::newRow("zoomShowsAll")   << int(Graph::ZoomMode)   << true;
    QTest::newRow("panIgnores")     << int(Graph::PanMode)    << false;
    QTest::newRow("cursorIgnores")  << int(Graph::CursorMode) << false;
}
// clang-format on

void TestChartPlot::doubleClick()
{
    QFETCH(int, mode);
    QFETCH(bool, showsAll);

    Chart chart;
    ChartPlot &plot = chart.plot;
    ChartGraph &graph = chart.graph;
    QVERIFY(showAtChartSize(plot));
    // An hour before midnight and an hour after it.
    fillMinutes(graph, dayFraction(23, 0, 0), 3600);
    fillMinutes(graph, 0, 3600);
    plot.replot();
    graph.setInteractionMode(mode);
    const double followMin = graph.axisMinimum(1);
    QWidget *canvas = plot.canvas();
    const QPoint at = canvas->contentsRect().center();
    QTest::mouseDClick(canvas, Qt::LeftButton, Qt::NoModifier, at);
    plot.replot();

    if (showsAll) {
        QVERIFY(!graph.isFollowing());
        QVERIFY(std::fabs(graph.axisMinimum(1) - dayFraction(23, 0, 0)) < 1e-9);
        QVERIFY(std::fabs(graph.axisMaximum(1) - (1 + dayFraction(0, 59, 59))) < 1e-9);
        // A right click goes back to following the newest points.
        drag(canvas, at, at, Qt::RightButton);
        QVERIFY(graph.isFollowing());
    }
    QCOMPARE(graph.axisMinimum(1) == followMin, !showsAll || graph.isFollowing());
}

// clang-format off
void TestChartPlot::dragShowsReadout_data()
{
    QTest::addColumn<double>("selectorValue");
    QTest::addColumn<bool>("readoutWritten");

    // Cursor 1 alone, then with cursor 2 shown in the middle: a press near
    // cursor 1's vertical line takes cursor 1 and leaves cursor 2 alone.
    QTest::newRow("cursorMode")     << 2.0 << true;
    QTest::newRow("twoCursorsMode") << 3.0 << true;
    QTest::newRow("zoomModeNoDrag") << 0.0 << false;
}
// clang-format on

void TestChartPlot::dragShowsReadout()
{
    QFETCH(double, selectorValue);
    QFETCH(bool, readoutWritten);

    ChartRig rig;
    ChartPlot &plot = rig.plot;
    ChartGraph &graph = rig.graph;
    GraphModeSelector &selector = rig.selector;
    QVERIFY(showAtChartSize(plot));

    graph.setAxisRange(1, dayFraction(14, 0, 0), dayFraction(14, 10, 0));
    graph.setAxisRange(2, 0, 14);
    plot.replot();
    if (selectorValue == 3) {
        selector.setValue(2);
        graph.setCursorX(1, dayFraction(14, 1, 0)); // where the operator left it
        graph.setCursorY(1, 3);
    }
    selector.setValue(selectorValue == 0 ? 1 : selectorValue);
    selector.setValue(selectorValue);
    plot.replot();

    // From cursor 1 at the centre to 14:05:09 on the time axis, pH 7.03.
    const int fromX = int(plot.transform(QwtPlot::xBottom, graph.cursorX(1) * ChartTime::MsPerDay));
    const int fromY = int(plot.transform(QwtPlot::yLeft, graph.cursorY(1)));
    const int toX =
        qRound(plot.transform(QwtPlot::xBottom, dayFraction(14, 5, 9) * ChartTime::MsPerDay));
    const int toY = qRound(plot.transform(QwtPlot::yLeft, 7.03));
    drag(plot.canvas(), QPoint(fromX + 2, fromY + 200), QPoint(toX, toY));

    if (!readoutWritten) {
        QVERIFY(rig.status.texts.isEmpty());
        return;
    }
    const QString x = rig.status.panelText(2);
    const QString y = rig.status.panelText(3);
    QVERIFY2(x.startsWith("X:  14:05:"), qPrintable(x));
    const QTime shown = QTime::fromString(x.mid(4), "hh:mm:ss");
    QVERIFY2(std::abs(shown.secsTo(QTime(14, 5, 9))) <= 1, qPrintable(x)); // one pixel is < 1 s
    QVERIFY2(QRegularExpression("^Y:  \\d+\\.\\d{0,4}$").match(y).hasMatch(), qPrintable(y));
    QVERIFY2(std::fabs(y.mid(4).toDouble() - 7.03) < 0.03, qPrintable(y));
    if (selectorValue == 3)
        QCOMPARE(graph.cursorX(2), dayFraction(14, 5, 0)); // cursor 2 stayed in the middle
}

// clang-format off
void TestChartPlot::modeSelector_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("chartMode");
    QTest::addColumn<bool>("cursor1Shown");
    QTest::addColumn<bool>("cursor2Shown");

    QTest::newRow("zoom")       << 0.0 << int(Graph::ZoomMode)   << false << false;
    QTest::newRow("pan")        << 1.0 << int(Graph::PanMode)    << false << false;
    QTest::newRow("cursor")     << 2.0 << int(Graph::CursorMode) << true  << false;
    QTest::newRow("twoCursors") << 3.0 << int(Graph::CursorMode) << true  << true;
}
// clang-format on

void TestChartPlot::modeSelector()
{
    QFETCH(double, value);
    QFETCH(int, chartMode);
    QFETCH(bool, cursor1Shown);
    QFETCH(bool, cursor2Shown);

    ChartRig rig;
    ChartGraph &graph = rig.graph;
    GraphModeSelector &selector = rig.selector;
    QCOMPARE(selector.objectName(), QString("GraphMode"));
    QCOMPARE(selector.lowerBound(), 0.0);
    QCOMPARE(selector.upperBound(), 3.0);
    const QStringList labels{"Zoom", "Pan", "Cursor ", ""};
    for (int position = 0; position < 4; ++position)
        QCOMPARE(qAsConst(selector).scaleDraw()->label(position).text(), labels[position]);

    graph.setAxisRange(2, 6, 8);
    selector.setValue(value == 0 ? 1 : 0); // start elsewhere, so the value below is a change
    selector.setValue(value);
    QCOMPARE(rig.mode.value(), value);
    QCOMPARE(graph.interactionMode(), chartMode);
    QCOMPARE(graph.isCursorVisible(1), cursor1Shown);
    QCOMPARE(graph.isCursorVisible(2), cursor2Shown);
    if (value == 2)
        QCOMPARE(graph.cursorY(1), 7.0); // the middle of pH 6..8
    // Both cursors up: the measurement between them is shown over the chart,
    // in the top corner away from them, in a box the operator drags away
    // from the curves; it stays on the canvas.
    QVERIFY(showAtChartSize(rig.plot));
    rig.plot.replot();
    QCOMPARE(rig.plot.measurementText().startsWith("Cursor 2 \u2212 1: "), cursor2Shown);
    MeasurementBox *box = rig.plot.measurementBox();
    QCOMPARE(box->isVisible(), cursor2Shown);
    if (cursor2Shown) {
        QWidget *canvas = rig.plot.canvas();
        QCOMPARE(box->y(), 4);
        QVERIFY(box->x() > canvas->width() / 2); // the cursors are in the middle and left of it
        drag(box, QPoint(5, 5), QPoint(5 - canvas->width(), canvas->height() / 2));
        QVERIFY(box->wasMoved());
        QCOMPARE(box->x(), 0);
        QVERIFY(box->y() > canvas->height() / 3);
        QVERIFY(canvas->rect().contains(box->geometry()));
    }

    // A click on a label chooses its mode; the fourth position has none.
    selector.resize(120, 120);
    selector.setValue(value == 0 ? 1 : 0);
    const double before = rig.mode.value();
    const int along = qRound(selector.scaleMap().transform(value));
    QTest::mouseClick(&selector, Qt::LeftButton, Qt::NoModifier,
                      QPoint(selector.width() - 4, along));
    QCOMPARE(rig.mode.value(), value < 3 ? value : before);

    // The operator's keys step whole positions, from 0 up to 3 and no further.
    selector.setValue(0);
    for (double expected : {1.0, 2.0, 3.0, 3.0}) {
        QTest::keyClick(&selector, Qt::Key_Up);
        QCOMPARE(rig.mode.value(), expected);
    }
}

// clang-format off
void TestChartPlot::exportFiles_data()
{
    QTest::addColumn<QString>("name"); // in a fresh folder; "file/" makes a file the folder
    QTest::addColumn<QByteArray>("starts");
    QTest::addColumn<QString>("failure");
    QTest::addColumn<int>("umask");
    QTest::addColumn<int>("before"); // the mode of a file there already; -1: none
    QTest::addColumn<int>("mode");   // of the file written
    QTest::addColumn<QStringList>("holds"); // texts the file holds

    // The picture says what it is of, when, and what each line is.
    const QStringList titled{"Tank 7, 2026-12-07 13:51:59 to 14:01:59", "Probe 1 pH", "Probe 2 pH"};
    QTest::newRow("csv")           << "points.csv"     << QByteArray("Time,pH 1,pH 2,Kind\n2026-12-07T") << "" << 022 << -1 << 0644 << QStringList();
    QTest::newRow("png")           << "chart.png"      << QByteArray("\x89PNG") << "" << 022 << -1 << 0644 << QStringList();
    QTest::newRow("svg")           << "chart.SVG"      << QByteArray("<?xml")   << "" << 022 << -1 << 0644 << titled;
    QTest::newRow("svgStacked")    << "stacked.svg"    << QByteArray("<?xml")   << "" << 022 << -1 << 0644 << titled + QStringList{"Under it"};
    QTest::newRow("pdf")           << "chart.pdf"      << QByteArray("%PDF")    << "" << 022 << -1 << 0644 << QStringList();
    QTest::newRow("pngGroupShare") << "chart.png"      << QByteArray("\x89PNG") << "" << 002 << -1 << 0664 << QStringList();
    QTest::newRow("pdfReplaced")   << "chart.pdf"      << QByteArray("%PDF")    << "" << 022 << 0640 << 0640 << QStringList();
    QTest::newRow("pdfStacked")    << "stacked.pdf"    << QByteArray("%PDF")    << "" << 022 << -1 << 0644 << QStringList();
    QTest::newRow("otherSuffix")   << "chart.bmp"      << QByteArray()          << "the name must end in .png, .svg or .pdf" << 022 << -1 << 0 << QStringList();
    QTest::newRow("csvNoFolder")   << "file/points.csv" << QByteArray()         << "Not a directory" << 022 << -1 << 0 << QStringList();
    QTest::newRow("imageNoFolder") << "file/chart.png" << QByteArray()          << "Not a directory" << 022 << -1 << 0 << QStringList();
}
// clang-format on

void TestChartPlot::exportFiles()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, starts);
    QFETCH(QString, failure);
    QFETCH(int, umask);
    QFETCH(int, before);
    QFETCH(int, mode);
    QFETCH(QStringList, holds);

    Chart chart;
    chart.plot.resize(ChartSize);
    chart.plot.setSubject("Tank 7");
    fillMinutes(chart.graph, dayFraction(14, 0, 0), 120);
    QwtPlot under;
    under.setAxisTitle(QwtPlot::yLeft, "Under it");
    under.resize(ChartSize.width(), 200);
    if (name.startsWith("stacked"))
        chart.plot.setStackedBelow({&under});
    QTemporaryDir folder;
    QFile blocker(folder.filePath("file"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString path = folder.filePath(name);
    if (before >= 0) {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.close();
        QCOMPARE(::chmod(QFile::encodeName(path).constData(), mode_t(before)), 0);
    }
    const mode_t usual = ::umask(mode_t(umask));
    const QString reason = name.endsWith(".csv")
        ? ChartExporter::savePoints(chart.store, 0, 1, path)
        : ChartExporter::saveChart(chart.plot, chart.store, chart.graph.axisMinimum(1),
                                   chart.graph.axisMaximum(1), path);
    ::umask(usual);
    QVERIFY2(reason.contains(failure), qPrintable(reason));
    QCOMPARE(reason.isEmpty(), failure.isEmpty());
    QFile file(path);
    QCOMPARE(file.exists(), failure.isEmpty());
    if (failure.isEmpty()) {
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.read(starts.size()) == starts);
        if (name.endsWith(".csv")) // both probes on every line of the 120 plot ticks
            QCOMPARE(file.readAll().count("\n"), 120);
        const QByteArray content = file.readAll();
        for (const QString &text : holds)
            QVERIFY2(content.contains(text.toUtf8()), qPrintable(text));
        // The permissions any new file of the user gets, or those it had.
        struct stat written
        {
        };
        QCOMPARE(::stat(QFile::encodeName(path).constData(), &written), 0);
        QCOMPARE(int(written.st_mode & 0777), mode);
    }
    // Nothing is left behind beside the target.
    QDir dir(folder.path());
    QCOMPARE(dir.entryList(QDir::Files | QDir::Hidden).size(), failure.isEmpty() ? 2 : 1);
}

QTEST_MAIN(TestChartPlot)
#include "test_chart_plot.moc"
