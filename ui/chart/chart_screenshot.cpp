// Renders the strip chart after a simulated hour of both probes, in the
// two-cursor mode, to the PNG file named on the command line. The chart is
// driven exactly as in the station: StripChart's plot timer appends the
// points, the mode selector switches the mode, a mouse drag moves cursor 1.

#include "platform/qt/widgets/PanelStatusBar.h"
#include "platform/qt/widgets/QtButton.h"
#include "platform/qt/widgets/QtKnob.h"
#include "platform/qt/widgets/QtStatusBar.h"
#include "platform/qt/widgets/QtSwitch.h"
#include "platform/qt/widgets/ToggleButton.h"
#include "ui/chart/ChartGraph.h"
#include "ui/chart/ChartPlot.h"
#include "ui/chart/ChartStore.h"
#include "ui/chart/ChartTime.h"
#include "ui/chart/GraphModeSelector.h"
#include "ui/chart/StripChart.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>
#include <qwt_knob.h>

#include <cmath>
#include <cstdio>

namespace {

// The simulated wall clock: moved on by the loop below.
class SimulatedClock : public Clock
{
public:
    QDateTime now{QDate(2026, 12, 7), QTime(13, 30, 0)};
    std::chrono::nanoseconds monotonic() const override { return {}; }
    void sleepFor(std::chrono::nanoseconds) override { }
    QDateTime currentDateTime() const override { return now; }
};

class ManualTimer : public Timer
{
public:
    void setInterval(int ms) override { m_interval = ms; }
    int interval() const override { return m_interval; }
    void setEnabled(bool on) override { m_enabled = on; }
    bool isEnabled() const override { return m_enabled; }
    void fire()
    {
        if (m_enabled)
            tick.notify();
    }

private:
    int m_interval = 0;
    bool m_enabled = false;
};

void dragOnCanvas(QWidget *canvas, const QPoint &from, const QPoint &to)
{
    QMouseEvent press(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(canvas, &press);
    QMouseEvent move(QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(canvas, &move);
    QMouseEvent release(QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(canvas, &release);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: chart-screenshot OUTPUT.png\n");
        return 2;
    }

    QWidget window;
    auto *column = new QVBoxLayout(&window);
    auto *chartRow = new QHBoxLayout;
    auto *plot = new ChartPlot;
    plot->setMinimumSize(883, 687);
    ChartStore store;
    ChartGraph graph(*plot, store);
    auto *selector = new GraphModeSelector;
    chartRow->addWidget(plot, 1);
    chartRow->addWidget(selector);
    column->addLayout(chartRow);
    auto *panels = new PanelStatusBar;
    column->addWidget(panels);
    QtStatusBar statusBar(panels);

    StationState state;
    SimulatedClock clock;
    // The plot switch and the pH knobs are not shown; only the chart is.
    ToggleButton plotButton(QStringLiteral("Pause Plot"), QStringLiteral("Start Plot"));
    QtSwitch cwPlot(&plotButton);
    ManualTimer tmrPlot;
    QwtKnob phMinKnob;
    QwtKnob phMaxKnob;
    for (QwtKnob *knob : {&phMinKnob, &phMaxKnob})
        knob->setScale(0, 20);
    QtKnob phMin(&phMinKnob);
    QtKnob phMax(&phMaxKnob);
    phMax.setValue(15);
    QtKnob graphMode(selector);
    QPushButton resetButton(QStringLiteral("Reset Scale"));
    QtButton resetScale(&resetButton);
    StripChart chart(state, clock,
                     {graph, cwPlot, tmrPlot, phMin, phMax, graphMode, statusBar, resetScale});
    chart.ResetPhScale();

    // An hour of both probes: one in a slowly drifting buffer, one being
    // moved from pH 7 into pH 4 calibration solution half way through.
    cwPlot.setValue(true);
    for (int second = 0; second < 3600; ++second) {
        const double t = second / 3600.0;
        state.probe1pH =
            std::round((7.02 + 0.15 * std::sin(t * 9.0) + 0.02 * std::sin(second * 0.7)) * 1e4) /
            1e4;
        const double settled =
            second < 1800 ? 7.0 : 4.01 + 2.99 * std::exp(-(second - 1800) / 60.0);
        state.probe2pH = std::round((settled + 0.015 * std::cos(second * 1.3)) * 1e4) / 1e4;
        tmrPlot.fire();
        clock.now = clock.now.addSecs(1);
    }
    graph.showAllPoints();
    phMin.setValue(2);
    phMax.setValue(10);

    window.resize(1000, 760);
    window.show();
    QApplication::processEvents();

    // Cursor mode, cursor 1 dragged onto the second probe settled in pH 4,
    // then both cursors (cursor 2 comes up in the middle).
    selector->setValue(2);
    QApplication::processEvents();
    QWidget *canvas = plot->canvas();
    const QPoint centre = canvas->contentsRect().center();
    const int second = 2520;
    const double settledX = ChartTime::toAxis(store.series(2).x(second));
    const QPoint target(int(plot->transform(QwtPlot::xBottom, settledX)),
                        int(plot->transform(QwtPlot::yLeft, store.series(2).y(second))));
    dragOnCanvas(canvas, centre, target);
    selector->setValue(3);
    QApplication::processEvents();
    plot->replot();

    if (!window.grab().save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "could not write %s\n", argv[1]);
        return 1;
    }
    std::printf("%s: %s | %s\n", argv[1], qPrintable(statusBar.panelText(2)),
                qPrintable(statusBar.panelText(3)));
    return 0;
}
