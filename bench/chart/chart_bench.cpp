// Prints what the strip chart costs after an hour, a day, 30 and 365 days of
// points for both probes: append time per point, the full-range redraw of
// the plot widget rendered offscreen at 883 x 687, a redraw zoomed to one
// hour, the bytes each point takes, and a plain QwtPlotCurve drawing every
// point for comparison. The last line sums it up for scripts.

#include "platform/qt/SystemClock.h"
#include "ui/chart/ChartGraph.h"
#include "ui/chart/ChartPlot.h"
#include "ui/chart/ChartStore.h"
#include "ui/chart/ChartTime.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QRandomGenerator>
#include <qwt_plot_curve.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr double Second = 1.0 / 86400;
const QSize ChartSize(883, 687);

// The chart as the station puts it together: the widget, its store and the
// Graph over both.
struct Chart
{
    SystemClock clock;
    ChartPlot plot;
    ChartStore store;
    ChartGraph graph{plot, store, clock};
};

double medianMs(QwtPlot &plot, int runs)
{
    QImage image(ChartSize, QImage::Format_RGB32);
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        image.fill(Qt::white);
        QElapsedTimer timer;
        timer.start();
        plot.replot();
        plot.render(&image);
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

struct Figures
{
    double appendNs = 0;
    double redrawMs = 0;
    double zoomedMs = 0;
    double bytesPerPoint = 0;
    double storeMb = 0;
    double plainMs = 0;
};

Figures measure(const char *name, int seconds, bool withPlain)
{
    Figures figures;
    Chart chart;
    chart.plot.resize(ChartSize);

    // Readings a second apart from 06:00, drifting like a probe does; the
    // time of day wraps at midnight as the clock's would.
    QRandomGenerator random(1);
    std::vector<float> ph1(seconds);
    std::vector<float> ph2(seconds);
    double a = 7;
    double b = 6;
    for (int i = 0; i < seconds; ++i) {
        a = qBound(2.0, a + random.bounded(0.02) - 0.01, 12.0);
        b = qBound(2.0, b + random.bounded(0.02) - 0.01, 12.0);
        ph1[i] = float(a);
        ph2[i] = float(b);
    }
    const int startSecond = 6 * 3600;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < seconds; ++i) {
        const double timeOfDay = ((startSecond + i) % 86400) * Second;
        chart.graph.appendPoint(2, timeOfDay, ph2[i]);
        chart.graph.appendPoint(1, timeOfDay, ph1[i]);
    }
    figures.appendNs = double(timer.nsecsElapsed()) / (2.0 * seconds);
    QCoreApplication::processEvents();

    const double first = chart.store.oldestX();
    const double last = chart.store.newestX();
    chart.graph.setAxisRange(1, first, last);
    figures.redrawMs = medianMs(chart.plot, 9);
    const double middle = (first + last) / 2;
    chart.graph.setAxisRange(1, middle - 1.0 / 48, middle + 1.0 / 48);
    figures.zoomedMs = medianMs(chart.plot, 9);
    const double bytes =
        double(chart.store.series(1).bytesUsed() + chart.store.series(2).bytesUsed());
    figures.bytesPerPoint = bytes / (2.0 * seconds);
    figures.storeMb = bytes / 1e6;

    if (withPlain) {
        Chart plain; // its own store stays empty
        plain.plot.resize(ChartSize);
        const QColor colours[2] = {QColor(0, 160, 0), QColor(220, 0, 0)};
        for (int p = 1; p <= 2; ++p) {
            // Every reading, as a plain curve holds them all.
            QVector<QPointF> points;
            points.reserve(seconds);
            const std::vector<float> &readings = p == 1 ? ph1 : ph2;
            for (int i = 0; i < seconds; ++i)
                points << QPointF(ChartTime::toAxis(first + i * Second), readings[i]);
            auto *curve = new QwtPlotCurve;
            curve->setPen(colours[p - 1], 1);
            curve->setSamples(points);
            curve->attach(&plain.plot);
        }
        plain.graph.setAxisRange(1, first, last);
        figures.plainMs = medianMs(plain.plot, 3);
    }

    std::printf("%-7s points/probe=%-8d append_ns_per_point=%.0f redraw_full_ms=%.2f "
                "redraw_zoomed_1h_ms=%.2f bytes_per_point=%.2f store_mb=%.1f",
                name, seconds, figures.appendNs, figures.redrawMs, figures.zoomedMs,
                figures.bytesPerPoint, figures.storeMb);
    if (withPlain)
        std::printf(" plain_curve_full_ms=%.1f", figures.plainMs);
    std::printf("\n");
    std::fflush(stdout);
    return figures;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    const Figures hour = measure("1h", 3600, true);
    measure("1d", 86400, true);
    const Figures month = measure("30d", 30 * 86400, true);
    const Figures year = measure("365d", 365 * 86400, false);

    std::printf("plain curve vs envelope at 30 days: %.1fx; at 1 hour: %.1fx\n",
                month.plainMs / month.redrawMs, hour.plainMs / hour.redrawMs);
    std::printf("redraw_1h_ms=%.2f redraw_30d_ms=%.2f zoomed_30d_ms=%.2f bytes_per_point=%.2f "
                "ratio_vs_plain=%.1f redraw_365d_ms=%.2f zoomed_365d_ms=%.2f store_365d_mb=%.1f\n",
                hour.redrawMs, month.redrawMs, month.zoomedMs, month.bytesPerPoint,
                month.plainMs / month.redrawMs, year.redrawMs, year.zoomedMs, year.storeMb);
    return 0;
}
