#include "ui/chart/ChartGraph.h"

#include "platform/Clock.h"
#include "station/OleDate.h"
#include "ui/chart/ChartMouseModes.h"
#include "ui/chart/ChartPlot.h"
#include "ui/chart/ChartStore.h"
#include "ui/chart/ChartTime.h"
#include "ui/chart/ChartZoomer.h"
#include "ui/chart/CursorDragger.h"
#include "ui/chart/CursorMeasurement.h"

#include <qwt_plot_marker.h>
#include <qwt_plot_panner.h>
#include <qwt_scale_div.h>

#include <algorithm>
#include <cmath>

ChartGraph::ChartGraph(ChartPlot &plot, ChartStore &store, const Clock &clock)
    : m_plot(plot)
    , m_store(store)
    , m_clock(clock)
    , m_replot(&plot)
    , m_exporter(plot, store, *this)
{
    m_plot.showStore(m_store);
    m_handlers.install(m_plot.aboutToReplot, [this] {
        applyPendingScroll();
        showMeasurement();
    });
    m_handlers.install(m_plot.zoomer()->zoomedIn, [this] { setFollowing(false); });
    m_handlers.install(m_plot.zoomer()->backAtBase, [this] { followNewest(); });
    m_handlers.install(m_plot.dragger()->moved, [this](int index, bool dragging) {
        cursorMoved.notify(index, cursorX(index), cursorY(index), dragging);
    });
    ChartMouseModes &mouse = *m_plot.mouseModes();
    m_handlers.install(mouse.pressing, [this] {
        if (m_follow.scrollPending())
            m_plot.replot();
    });
    m_handlers.install(mouse.showAll, [this] { showAllPoints(); });
    m_handlers.install(mouse.takeHold, [this] { setFollowing(false); });
    m_handlers.install(mouse.follow, [this] { followNewest(); });
    m_handlers.install(m_plot.liveChosen, [this] { followNewest(); });
    m_handlers.install(m_plot.followWindowChosen, [this](double days) {
        setFollowWindow(days);
        followNewest();
    });
    m_plot.showFollowWindow(m_follow.window());
    m_plot.setOriginDate(m_store.originDate());
    setInteractionMode(ZoomMode);
}

int ChartGraph::qwtAxis(int axis)
{
    switch (axis) {
    case 1: return QwtPlot::xBottom;
    case 2: return QwtPlot::yLeft;
    case 3: return QwtPlot::yRight;
    default: return -1;
    }
}

void ChartGraph::appendPoint(int plot, double x, double y)
{
    double placed = 0;
    append(plot, x, y, &placed);
}

void ChartGraph::appendRepeatedPoint(int plot, double x, double y)
{
    double placed = 0;
    if (!append(plot, x, y, &placed) || !m_store.appendRepeat(plot, placed, y))
        return;
    m_plot.showRepeatsInLegend();
}

bool ChartGraph::append(int plot, double x, double y, double *placed)
{
    const bool first = m_store.isEmpty();
    if (!m_store.append(plot, x, y, placed))
        return false;
    if (first && !m_store.originDate().isValid())
        dateFirstPoint(x);
    m_follow.pointAdded(*placed, m_store.newestX());
    m_replot.request();
    return true;
}

void ChartGraph::setGrowing(bool growing)
{
    m_growing = growing;
    m_plot.showFollowing(m_follow.isFollowing(), m_growing);
}

void ChartGraph::setFollowing(bool following)
{
    if (following)
        m_follow.start();
    else
        m_follow.stop();
    m_plot.showFollowing(following, m_growing);
}

// The first point's time of day was read just before now; the clock may
// have passed midnight since.
void ChartGraph::dateFirstPoint(double timeOfDay)
{
    const QDateTime now = m_clock.currentDateTime();
    QDate date = now.date();
    if (OleDates::fromTime(now.time()) < timeOfDay - 0.5)
        date = date.addDays(-1);
    m_store.setOriginDate(date);
    m_plot.setOriginDate(date);
}

void ChartGraph::showNewest()
{
    m_follow.scrolled();
    if (m_store.isEmpty())
        return;
    const double newest = m_store.newestX();
    m_plot.setAxisScale(QwtPlot::xBottom, ChartTime::toAxis(newest - m_follow.window()),
                        ChartTime::toAxis(newest));
    m_plot.updateAxes();
    keepZoomBase();
}

void ChartGraph::applyPendingScroll()
{
    if (m_follow.scrollPending())
        showNewest();
}

void ChartGraph::followNewest()
{
    if (!m_growing) {
        showAllPoints();
        return;
    }
    setFollowing(true);
    showNewest();
    m_replot.request();
}

void ChartGraph::setFollowWindow(double days)
{
    if (!(days > 0))
        return;
    m_follow.setWindow(days);
    m_plot.showFollowWindow(days);
    m_replot.request();
}

void ChartGraph::showAllPoints()
{
    double first = 0;
    double last = 0;
    if (!m_store.spanX(&first, &last))
        return;
    last = std::max(last, first + 1.0 / 86400);
    setFollowing(false);
    m_plot.setAxisScale(QwtPlot::xBottom, ChartTime::toAxis(first), ChartTime::toAxis(last));
    m_plot.updateAxes();
    m_plot.zoomer()->setZoomBase(false); // zooming out again comes back here, then to following
    m_replot.request();
}

// With both cursors up, what lies between them; nothing otherwise.
void ChartGraph::showMeasurement()
{
    if (!isCursorVisible(1) || !isCursorVisible(2)) {
        m_plot.showMeasurement({});
        return;
    }
    const auto measurement =
        CursorMeasurement::between(m_store, {cursorX(1), cursorY(1)}, {cursorX(2), cursorY(2)});
    m_plot.showMeasurement(measurement.text());
}

// While nothing is zoomed, zooming out returns to what is shown now.
void ChartGraph::keepZoomBase()
{
    if (m_plot.zoomer()->zoomRectIndex() == 0)
        m_plot.zoomer()->setZoomBase(false);
}

void ChartGraph::setAxisRange(int axis, double minimum, double maximum)
{
    const int id = qwtAxis(axis);
    if (id < 0 || !std::isfinite(minimum) || !std::isfinite(maximum) || !(minimum < maximum))
        return;
    applyPendingScroll();
    if (id == QwtPlot::xBottom) {
        setFollowing(false);
        m_plot.setAxisScale(id, ChartTime::toAxis(minimum), ChartTime::toAxis(maximum));
    } else {
        // The two pH axes show one range.
        m_plot.setAxisScale(QwtPlot::yLeft, minimum, maximum);
        m_plot.setAxisScale(QwtPlot::yRight, minimum, maximum);
    }
    m_plot.updateAxes();
    keepZoomBase();
    m_replot.request();
}

double ChartGraph::axisMinimum(int axis) const
{
    const int id = qwtAxis(axis);
    if (id < 0)
        return 0;
    if (id == QwtPlot::xBottom && m_follow.scrollPending())
        return m_store.newestX() - m_follow.window();
    const double value = m_plot.axisScaleDiv(id).lowerBound();
    return id == QwtPlot::xBottom ? ChartTime::fromAxis(value) : value;
}

double ChartGraph::axisMaximum(int axis) const
{
    const int id = qwtAxis(axis);
    if (id < 0)
        return 0;
    if (id == QwtPlot::xBottom && m_follow.scrollPending())
        return m_store.newestX();
    const double value = m_plot.axisScaleDiv(id).upperBound();
    return id == QwtPlot::xBottom ? ChartTime::fromAxis(value) : value;
}

void ChartGraph::setInteractionMode(int code)
{
    if (code != ZoomMode && code != PanMode && code != CursorMode)
        return;
    m_mode = code;
    m_plot.zoomer()->setEnabled(code == ZoomMode);
    m_plot.panner()->setEnabled(code == PanMode);
    m_plot.dragger()->setEnabled(code == CursorMode);
    m_plot.mouseModes()->setMode(code);
}

bool ChartGraph::isCursorVisible(int index) const
{
    const QwtPlotMarker *marker = m_plot.cursor(index);
    return marker && marker->isVisible();
}

void ChartGraph::setCursorVisible(int index, bool visible)
{
    if (QwtPlotMarker *marker = m_plot.cursor(index)) {
        marker->setVisible(visible);
        m_replot.request();
    }
}

void ChartGraph::setCursorX(int index, double x)
{
    QwtPlotMarker *marker = m_plot.cursor(index);
    if (!marker || !std::isfinite(x))
        return;
    marker->setXValue(ChartTime::toAxis(x));
    m_replot.request();
}

void ChartGraph::setCursorY(int index, double y)
{
    QwtPlotMarker *marker = m_plot.cursor(index);
    if (!marker || !std::isfinite(y))
        return;
    marker->setYValue(y);
    m_replot.request();
}

double ChartGraph::cursorX(int index) const
{
    const QwtPlotMarker *marker = m_plot.cursor(index);
    return marker ? ChartTime::fromAxis(marker->xValue()) : 0;
}

double ChartGraph::cursorY(int index) const
{
    const QwtPlotMarker *marker = m_plot.cursor(index);
    return marker ? marker->yValue() : 0;
}
