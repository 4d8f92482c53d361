#pragma once

#include "platform/Graph.h"
#include "ui/chart/ContinuousTimeBase.h"
#include "ui/chart/PlotSeries.h"

#include <qwt_plot.h>

class ChartZoomer;
class CursorDragger;
class EnvelopeCurve;
class QwtPlotMarker;
class QwtPlotPanner;

// The strip chart CWGraph1: both probes' pH against the time of day.
//
// X values arrive as times of day (fractions of a day). They are placed on a
// continuous time base, so the points after midnight follow those before it
// and no line runs back across the day; the time axis labels each position
// with its time of day. Inside the plot the time axis counts milliseconds, as
// Qwt's date scales do; the Graph operations speak fractions of a day.
//
// The time axis follows the newest points, showing the last FollowWindow of
// them, until the operator zooms or pans. A double click on the plot area in
// zoom mode shows every point kept. A right click on the plot area in zoom or
// pan mode (or zooming out step by step to the start) returns it to
// following; "Reset Scale" restores only the pH axes.
class ChartPlot : public QwtPlot, public Graph
{
    Q_OBJECT

public:
    static constexpr double MsPerDay = 86400000.0;
    static constexpr double FollowWindow = 10.0 / (24 * 60); // ten minutes, in days

    explicit ChartPlot(QWidget *parent = nullptr);
    ~ChartPlot() override;

    void appendPoint(int plot, double x, double y) override;

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
    bool isFollowing() const { return m_following; }
    // Back to following the newest points with the time axis.
    void followNewest();
    // The time axis over every point kept; following stops.
    void showAllPoints();

    // The stored points of plot 1 or 2, X on the continuous time base.
    const PlotSeries &series(int plot) const;

public slots:
    void replot() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    static int qwtAxis(int axis);
    QwtPlotMarker *cursor(int index) const;
    double newestX() const;
    void showNewest();
    void applyPendingScroll();
    void keepZoomBase();
    void requestReplot();

    ContinuousTimeBase m_timeBase;
    PlotSeries m_series[2];
    EnvelopeCurve *m_curves[2] = {};
    QwtPlotMarker *m_cursors[2] = {};
    ChartZoomer *m_zoomer = nullptr;
    QwtPlotPanner *m_panner = nullptr;
    CursorDragger *m_dragger = nullptr;
    int m_mode = ZoomMode;
    bool m_following = true;
    // Following scrolls the time axis once per drawing, not once per point:
    // recomputing the scale for every appended point would cost more than
    // storing it.
    bool m_scrollPending = false;
    bool m_replotPending = false;
};
