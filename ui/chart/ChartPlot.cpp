#include "ui/chart/ChartPlot.h"

#include "ui/chart/ChartZoomer.h"
#include "ui/chart/CursorDragger.h"
#include "ui/chart/EnvelopeCurve.h"

#include <QMouseEvent>
#include <QTimer>
#include <qwt_date_scale_draw.h>
#include <qwt_date_scale_engine.h>
#include <qwt_plot_canvas.h>
#include <qwt_plot_grid.h>
#include <qwt_plot_marker.h>
#include <qwt_plot_panner.h>

#include <cmath>

namespace {

// Time-of-day labels at every tick spacing; below a second the milliseconds
// tell the ticks apart.
QwtDateScaleDraw *timeOfDayScaleDraw()
{
    // UTC: the axis counts from a fixed midnight, never shifted by daylight saving.
    auto *draw = new QwtDateScaleDraw(Qt::UTC);
    for (int type = QwtDate::Second; type <= QwtDate::Year; ++type)
        draw->setDateFormat(static_cast<QwtDate::IntervalType>(type), QStringLiteral("hh:mm:ss"));
    draw->setDateFormat(QwtDate::Millisecond, QStringLiteral("hh:mm:ss.zzz"));
    return draw;
}

QwtPlotMarker *makeCursor(const QString &title, const QColor &colour, Qt::PenStyle style)
{
    auto *marker = new QwtPlotMarker(title);
    marker->setLineStyle(QwtPlotMarker::Cross);
    marker->setLinePen(colour, 1, style);
    marker->setZ(30);
    marker->setVisible(false);
    return marker;
}

} // namespace

ChartPlot::ChartPlot(QWidget *parent) : QwtPlot(parent)
{
    setObjectName(QStringLiteral("CWGraph1"));
    setCanvasBackground(Qt::white);
    // Every repaint draws afresh: the envelope is cheap, and a cached canvas
    // would go stale between a change and its deferred replot.
    if (auto *plotCanvas = qobject_cast<QwtPlotCanvas *>(canvas()))
        plotCanvas->setPaintAttribute(QwtPlotCanvas::BackingStore, false);

    setAxisTitle(xBottom, QStringLiteral("Time"));
    setAxisTitle(yLeft, QStringLiteral("pH 1"));
    setAxisTitle(yRight, QStringLiteral("pH 2"));
    enableAxis(yRight);
    setAxisScaleEngine(xBottom, new QwtDateScaleEngine(Qt::UTC));
    setAxisScaleDraw(xBottom, timeOfDayScaleDraw());
    setAxisLabelRotation(xBottom, 0);
    setAxisScale(xBottom, 0, FollowWindow * MsPerDay);
    setAxisScale(yLeft, 0, 15);
    setAxisScale(yRight, 0, 15);

    auto *grid = new QwtPlotGrid;
    grid->setMajorPen(QColor(220, 220, 220), 0, Qt::DotLine);
    grid->attach(this);

    const QColor plotColours[2] = {QColor(0, 160, 0), QColor(220, 0, 0)};
    for (int i = 0; i < 2; ++i) {
        m_curves[i] = new EnvelopeCurve(QStringLiteral("Plot-%1").arg(i + 1),
                                        QPen(plotColours[i], 1), m_series[i], MsPerDay);
        m_curves[i]->attach(this);
    }
    m_cursors[0] = makeCursor(QStringLiteral("Cursor-1"), QColor(0, 0, 200), Qt::SolidLine);
    m_cursors[1] = makeCursor(QStringLiteral("Cursor-2"), QColor(200, 100, 0), Qt::DashLine);
    for (QwtPlotMarker *marker : m_cursors)
        marker->attach(this);

    updateAxes();
    m_zoomer = new ChartZoomer(canvas());
    m_zoomer->setZoomBase(false);
    connect(m_zoomer, &QwtPlotZoomer::zoomed, this, [this] {
        if (m_zoomer->zoomRectIndex() > 0)
            m_following = false;
    });
    connect(m_zoomer, &ChartZoomer::backAtBase, this, &ChartPlot::followNewest);

    m_panner = new QwtPlotPanner(canvas());
    m_panner->setAxisEnabled(yRight, false);
    m_panner->setAxisEnabled(xTop, false);
    m_panner->setMouseButton(Qt::LeftButton);

    m_dragger =
        new CursorDragger(this, m_cursors[0], m_cursors[1], [this](int index, bool dragging) {
            cursorMoved.notify(index, cursorX(index), cursorY(index), dragging);
        });

    // Installed again so that it sees the canvas's mouse events before the
    // zoomer, the panner and the cursor dragger do.
    canvas()->installEventFilter(this);
    setInteractionMode(ZoomMode);
}

ChartPlot::~ChartPlot()
{
    // Hiding the canvas during QWidget's destruction still sends it events:
    // nothing of this class may look at them by then.
    canvas()->removeEventFilter(this);
    delete m_dragger;
}

int ChartPlot::qwtAxis(int axis)
{
    switch (axis) {
    case 1: return xBottom;
    case 2: return yLeft;
    case 3: return yRight;
    default: return -1;
    }
}

QwtPlotMarker *ChartPlot::cursor(int index) const
{
    return index == 1 || index == 2 ? m_cursors[index - 1] : nullptr;
}

const PlotSeries &ChartPlot::series(int plot) const
{
    return m_series[plot == 2 ? 1 : 0];
}

void ChartPlot::appendPoint(int plot, double x, double y)
{
    if ((plot != 1 && plot != 2) || !std::isfinite(x) || !std::isfinite(y))
        return;
    const double placed = m_timeBase.place(x);
    if (!m_series[plot - 1].append(placed, y))
        return;
    if (m_following && placed >= newestX())
        m_scrollPending = true;
    requestReplot();
}

double ChartPlot::newestX() const
{
    if (m_series[0].size() == 0 || m_series[1].size() == 0)
        return m_series[0].size() ? m_series[0].lastX() : m_series[1].lastX();
    return std::max(m_series[0].lastX(), m_series[1].lastX());
}

void ChartPlot::showNewest()
{
    m_scrollPending = false;
    if (m_series[0].size() + m_series[1].size() == 0)
        return;
    const double newest = newestX();
    setAxisScale(xBottom, (newest - FollowWindow) * MsPerDay, newest * MsPerDay);
    updateAxes();
    keepZoomBase();
}

void ChartPlot::applyPendingScroll()
{
    if (m_scrollPending && m_following)
        showNewest();
    m_scrollPending = false;
}

void ChartPlot::followNewest()
{
    m_following = true;
    showNewest();
    requestReplot();
}

void ChartPlot::showAllPoints()
{
    const bool any1 = m_series[0].size() > 0;
    const bool any2 = m_series[1].size() > 0;
    if (!any1 && !any2)
        return;
    const double first = any1 && any2 ? std::min(m_series[0].minimumX(), m_series[1].minimumX())
                                      : (any1 ? m_series[0] : m_series[1]).minimumX();
    const double last = std::max(newestX(), first + 1.0 / 86400);
    m_following = false;
    m_scrollPending = false;
    setAxisScale(xBottom, first * MsPerDay, last * MsPerDay);
    updateAxes();
    m_zoomer->setZoomBase(false); // zooming out again comes back here, then to following
    requestReplot();
}

void ChartPlot::replot()
{
    applyPendingScroll();
    QwtPlot::replot();
}

// While nothing is zoomed, zooming out returns to what is shown now.
void ChartPlot::keepZoomBase()
{
    if (m_zoomer->zoomRectIndex() == 0)
        m_zoomer->setZoomBase(false);
}

void ChartPlot::setAxisRange(int axis, double minimum, double maximum)
{
    const int id = qwtAxis(axis);
    if (id < 0 || !std::isfinite(minimum) || !std::isfinite(maximum) || !(minimum < maximum))
        return;
    applyPendingScroll();
    if (id == xBottom) {
        m_following = false;
        setAxisScale(id, minimum * MsPerDay, maximum * MsPerDay);
    } else {
        setAxisScale(id, minimum, maximum);
    }
    updateAxes();
    keepZoomBase();
    requestReplot();
}

double ChartPlot::axisMinimum(int axis) const
{
    const int id = qwtAxis(axis);
    if (id < 0)
        return 0;
    if (id == xBottom && m_scrollPending && m_following)
        return newestX() - FollowWindow;
    const double value = axisScaleDiv(id).lowerBound();
    return id == xBottom ? value / MsPerDay : value;
}

double ChartPlot::axisMaximum(int axis) const
{
    const int id = qwtAxis(axis);
    if (id < 0)
        return 0;
    if (id == xBottom && m_scrollPending && m_following)
        return newestX();
    const double value = axisScaleDiv(id).upperBound();
    return id == xBottom ? value / MsPerDay : value;
}

void ChartPlot::setInteractionMode(int code)
{
    if (code != ZoomMode && code != PanMode && code != CursorMode)
        return;
    m_mode = code;
    m_zoomer->setEnabled(code == ZoomMode);
    m_panner->setEnabled(code == PanMode);
    m_dragger->setEnabled(code == CursorMode);
}

bool ChartPlot::isCursorVisible(int index) const
{
    const QwtPlotMarker *marker = cursor(index);
    return marker && marker->isVisible();
}

void ChartPlot::setCursorVisible(int index, bool visible)
{
    if (QwtPlotMarker *marker = cursor(index)) {
        marker->setVisible(visible);
        requestReplot();
    }
}

void ChartPlot::setCursorX(int index, double x)
{
    QwtPlotMarker *marker = cursor(index);
    if (!marker || !std::isfinite(x))
        return;
    marker->setXValue(x * MsPerDay);
    requestReplot();
}

void ChartPlot::setCursorY(int index, double y)
{
    QwtPlotMarker *marker = cursor(index);
    if (!marker || !std::isfinite(y))
        return;
    marker->setYValue(y);
    requestReplot();
}

double ChartPlot::cursorX(int index) const
{
    const QwtPlotMarker *marker = cursor(index);
    return marker ? marker->xValue() / MsPerDay : 0;
}

double ChartPlot::cursorY(int index) const
{
    const QwtPlotMarker *marker = cursor(index);
    return marker ? marker->yValue() : 0;
}

// Many changes in one handler (two points a tick, a mode switch) are drawn once.
void ChartPlot::requestReplot()
{
    if (m_replotPending)
        return;
    m_replotPending = true;
    QTimer::singleShot(0, this, [this] {
        m_replotPending = false;
        replot();
    });
}

bool ChartPlot::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == canvas()) {
        const auto type = event->type();
        if (type == QEvent::MouseButtonPress && m_scrollPending) {
            // Zoom, pan and cursors take their positions from what is shown.
            replot();
        }
        if (m_mode == ZoomMode && type == QEvent::MouseButtonDblClick &&
            static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
            showAllPoints();
            return true;
        }
        if (m_mode == PanMode && type == QEvent::MouseButtonPress &&
            static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
            m_following = false; // the operator has taken hold of the time axis
        } else if (m_mode == PanMode && type == QEvent::MouseButtonRelease &&
                   static_cast<QMouseEvent *>(event)->button() == Qt::RightButton) {
            followNewest();
        }
    }
    return QwtPlot::eventFilter(watched, event);
}
