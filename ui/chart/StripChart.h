#pragma once

#include "platform/Button.h"
#include "platform/Clock.h"
#include "platform/Graph.h"
#include "platform/Handlers.h"
#include "platform/Knob.h"
#include "platform/StatusBar.h"
#include "platform/Switch.h"
#include "platform/Timer.h"
#include "station/StationState.h"

// The controls the strip chart's handlers read and drive.
struct StripChartControls
{
    Graph &CWGraph1;
    Switch &cwPlot;
    Timer &tmrPlot;
    Knob &CWpHmin;
    Knob &CWpHmax;
    Knob &GraphMode; // the mode selector: its value and its change notification
    StatusBar &StatusBar1;
    Button &Command1; // "Reset Scale"
};

// The strip chart's handlers: the plot timer and its switch, the pH axis
// range from the pH knobs and "Reset Scale", the chart mode selector and the
// cursor readout.
//
// The constructor takes over the notifications of cwPlot, tmrPlot, both pH
// knobs, Command1, the mode selector and the graph's cursor (the controls
// must outlive it); it sets tmrPlot to 1000 ms, running only while cwPlot is
// on, so turning cwPlot on (by the operator or for an unattended start) is
// all it takes to start plotting. Nothing runs the mode switch until the
// selector first changes.
class StripChart
{
public:
    static constexpr int PlotInterval = 1000;

    StripChart(const StationState &state, const Clock &clock, const StripChartControls &controls);
    StripChart(const StripChart &) = delete;
    StripChart &operator=(const StripChart &) = delete;

    // One point per probe at the current time of day: probe 2 first, then
    // probe 1, each with its own reading of the clock. A non-finite pH is
    // left out rather than plotted. A probe that worked out no pH since the
    // chart's previous point (nor, after a pause, since plotting went on)
    // has its point drawn as a repeated one.
    void AppendPlotPoints();

    // Both pH axes (2, then 3) to the range of the pH knobs. A minimum at or
    // above its maximum, or a non-finite knob value, keeps the previous range.
    void ResetPhScale();

    // The chart mode for a selector value: 0 zoom, 1 pan, 2 cursor 1,
    // 3 both cursors. Any other value is ignored.
    void SwitchChartMode(double value);

private:
    void PlotSwitchChanged();
    void CursorMoved(int cursor, double y);

    void appendProbe(int plot, double timeOfDay, double pH, quint32 reads);

    const StationState &m_state;
    const Clock &m_clock;
    StripChartControls m_controls;
    // Each probe's count of pH values worked out at the previous point.
    quint32 m_reads[2] = {};
    Handlers m_handlers;
};
