#include "ui/chart/StripChart.h"

#include "ui/chart/ChartModes.h"
#include "ui/chart/CursorReadout.h"

#include <cmath>

StripChart::StripChart(const StationState &state, const Clock &clock,
                       const StripChartControls &controls)
    : m_state(state)
    , m_clock(clock)
    , m_controls(controls)
    , m_reads{state.probe1pHReads, state.probe2pHReads}
{
    m_controls.tmrPlot.setInterval(PlotInterval);
    m_controls.tmrPlot.setEnabled(m_controls.cwPlot.value());
    m_handlers.install(m_controls.cwPlot.changed, [this] { PlotSwitchChanged(); });
    m_handlers.install(m_controls.tmrPlot.tick, [this] { AppendPlotPoints(); });
    m_handlers.install(m_controls.CWpHmin.changed, [this] { ResetPhScale(); });
    m_handlers.install(m_controls.CWpHmax.changed, [this] { ResetPhScale(); });
    m_handlers.install(m_controls.Command1.clicked, [this] { ResetPhScale(); });
    m_handlers.install(m_controls.GraphMode.changed,
                       [this] { SwitchChartMode(m_controls.GraphMode.value()); });
    m_handlers.install(m_controls.CWGraph1.cursorMoved,
                       [this](int cursor, double, double y, bool) { CursorMoved(cursor, y); });
}

void StripChart::PlotSwitchChanged()
{
    // The points stay; the first new one comes a full interval later, and
    // is new only if a reading comes in that interval.
    m_controls.tmrPlot.setEnabled(m_controls.cwPlot.value());
    m_reads[0] = m_state.probe1pHReads;
    m_reads[1] = m_state.probe2pHReads;
}

void StripChart::appendProbe(int plot, double timeOfDay, double pH, quint32 reads)
{
    quint32 &previous = m_reads[plot - 1];
    const bool fresh = reads != previous;
    previous = reads;
    if (!std::isfinite(pH))
        return;
    if (fresh)
        m_controls.CWGraph1.appendPoint(plot, timeOfDay, pH);
    else
        m_controls.CWGraph1.appendRepeatedPoint(plot, timeOfDay, pH);
}

void StripChart::AppendPlotPoints()
{
    const double firstTime = OleDates::fromTime(m_clock.currentDateTime().time());
    appendProbe(2, firstTime, m_state.probe2pH, m_state.probe2pHReads);
    const double secondTime = OleDates::fromTime(m_clock.currentDateTime().time());
    appendProbe(1, secondTime, m_state.probe1pH, m_state.probe1pHReads);
}

void StripChart::ResetPhScale()
{
    const double minimum = m_controls.CWpHmin.value();
    const double maximum = m_controls.CWpHmax.value();
    if (!std::isfinite(minimum) || !std::isfinite(maximum) || !(minimum < maximum))
        return;
    m_controls.CWGraph1.setAxisRange(2, minimum, maximum);
    m_controls.CWGraph1.setAxisRange(3, minimum, maximum);
}

void StripChart::SwitchChartMode(double value)
{
    ChartModes::switchTo(m_controls.CWGraph1, value);
}

void StripChart::CursorMoved(int cursor, double y)
{
    if (cursor != 1)
        return;
    const double x = m_controls.CWGraph1.cursorX(1);
    if (!std::isfinite(x) || !std::isfinite(y))
        return;
    m_controls.StatusBar1.setPanelText(2, QStringLiteral("X:  ") + CursorReadout::timeText(x));
    m_controls.StatusBar1.setPanelText(3, QStringLiteral("Y:  ") + CursorReadout::valueText(y));
}
