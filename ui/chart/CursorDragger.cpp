#include "ui/chart/CursorDragger.h"

#include <QMouseEvent>
#include <QWidget>
#include <qwt_plot.h>
#include <qwt_plot_marker.h>
#include <qwt_scale_div.h>

#include <cmath>
#include <limits>

CursorDragger::CursorDragger(QwtPlot *plot, QwtPlotMarker *cursor1, QwtPlotMarker *cursor2)
    : QObject(plot)
    , m_plot(plot)
    , m_cursors{cursor1, cursor2}
{
    plot->canvas()->installEventFilter(this);
}

void CursorDragger::setEnabled(bool enabled)
{
    m_enabled = enabled;
    m_dragging = 0;
}

int CursorDragger::nearestVisibleCursor(const QPoint &position) const
{
    int nearest = 0;
    double best = std::numeric_limits<double>::infinity();
    for (int i = 0; i < 2; ++i) {
        const QwtPlotMarker *marker = m_cursors[i];
        if (!marker->isVisible())
            continue;
        const double x = m_plot->transform(marker->xAxis(), marker->xValue());
        const double y = m_plot->transform(marker->yAxis(), marker->yValue());
        // Either line of the crosshair can be taken hold of.
        const double distance = std::min(std::fabs(x - position.x()), std::fabs(y - position.y()));
        if (distance < best) {
            best = distance;
            nearest = i + 1;
        }
    }
    return nearest;
}

void CursorDragger::moveTo(int cursor, const QPoint &position, bool dragging)
{
    QwtPlotMarker *marker = m_cursors[cursor - 1];
    // A drag beyond the plot area leaves the cursor at the edge of the scales.
    const auto clamped = [this](int axis, double value) {
        const QwtScaleDiv &scale = m_plot->axisScaleDiv(axis);
        return qBound(std::min(scale.lowerBound(), scale.upperBound()), value,
                      std::max(scale.lowerBound(), scale.upperBound()));
    };
    marker->setValue(clamped(marker->xAxis(), m_plot->invTransform(marker->xAxis(), position.x())),
                     clamped(marker->yAxis(), m_plot->invTransform(marker->yAxis(), position.y())));
    m_plot->replot();
    moved.notify(cursor, dragging);
}

bool CursorDragger::eventFilter(QObject *watched, QEvent *event)
{
    if (!m_enabled || watched != m_plot->canvas())
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() != Qt::LeftButton)
            break;
        m_dragging = nearestVisibleCursor(mouse->pos());
        if (m_dragging == 0)
            break;
        moveTo(m_dragging, mouse->pos(), true);
        return true;
    }
    case QEvent::MouseMove: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (m_dragging == 0 || !(mouse->buttons() & Qt::LeftButton))
            break;
        moveTo(m_dragging, mouse->pos(), true);
        return true;
    }
    case QEvent::MouseButtonRelease: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (m_dragging == 0 || mouse->button() != Qt::LeftButton)
            break;
        const int cursor = m_dragging;
        m_dragging = 0;
        moveTo(cursor, mouse->pos(), false);
        return true;
    }
    default: break;
    }
    return QObject::eventFilter(watched, event);
}
