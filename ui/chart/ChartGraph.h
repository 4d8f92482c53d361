#pragma once

#include "platform/Graph.h"
#include "platform/Handlers.h"
#include "ui/chart/ChartExporter.h"
#include "ui/chart/ChartFollow.h"
#include "ui/chart/ReplotCoalescer.h"

class ChartPlot;
class ChartStore;
class Clock;

// The strip chart as the chart logic drives it: the Graph operations over
// the plot widget and the point store, speaking days where the widget
// speaks milliseconds.
//
// The time axis follows the newest points until the operator zooms or pans,
// and the plot shows when it does not. "Live", a right click in zoom or pan
// mode, or zooming out step by step to the start, returns it to following; a
// double click on the plot area in zoom mode shows every point kept; "Reset
// Scale" restores only the pH axes.
class ChartGraph : public Graph
{
public:
    // The plot, the store and the clock must outlive it. The clock dates the
    // first point, unless the store already knows its date.
    ChartGraph(ChartPlot &plot, ChartStore &store, const Clock &clock);

    void appendPoint(int plot, double x, double y) override;
    void appendRepeatedPoint(int plot, double x, double y) override;
    void setAxisRange(int axis, double minimum, double maximum) override;
    double axisMinimum(int axis) const override;
    double axisMaximum(int axis) const override;
    void setInteractionMode(int code) override;
    void setCursorVisible(int cursor, bool visible) override;
    void setCursorX(int cursor, double x) override;
    void setCursorY(int cursor, double y) override;
    double cursorX(int cursor) const override;
    double cursorY(int cursor) const override;

    int interactionMode() const { return m_mode; }
    bool isCursorVisible(int cursor) const;

    bool isFollowing() const { return m_follow.isFollowing(); }
    // Back to following the newest points with the time axis; for a chart
    // that gets no new points, back to showing all of them.
    void followNewest();
    // Whether new points are to come: false for a log under review.
    void setGrowing(bool growing);
    // The time axis over every point kept; following stops.
    void showAllPoints();
    // How much recent time following shows, in days.
    double followWindow() const { return m_follow.window(); }
    void setFollowWindow(double days);

private:
    static int qwtAxis(int axis);
    bool append(int plot, double x, double y, double *placed);
    void setFollowing(bool following);
    void applyPendingScroll();
    void showNewest();
    void keepZoomBase();
    void showMeasurement();
    void dateFirstPoint(double timeOfDay);

    ChartPlot &m_plot;
    ChartStore &m_store;
    const Clock &m_clock;
    ChartFollow m_follow;
    ReplotCoalescer m_replot;
    int m_mode = ZoomMode;
    bool m_growing = true;
    ChartExporter m_exporter;
    Handlers m_handlers;
};
