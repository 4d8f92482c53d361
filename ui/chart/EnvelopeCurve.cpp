#include "ui/chart/EnvelopeCurve.h"

#include "ui/chart/BoundedSeries.h"
#include "ui/chart/ChartTime.h"

#include <QPainter>
#include <qwt_clipper.h>
#include <qwt_painter.h>
#include <qwt_scale_map.h>

#include <cmath>

EnvelopeCurve::EnvelopeCurve(const QString &title, const QPen &pen, const BoundedSeries &series)
    : QwtPlotItem(QwtText(title))
    , m_pen(pen)
    , m_series(series)
{
    setZ(20);
}

int EnvelopeCurve::rtti() const
{
    return QwtPlotItem::Rtti_PlotUserItem + 1;
}

void EnvelopeCurve::draw(QPainter *painter, const QwtScaleMap &xMap, const QwtScaleMap &yMap,
                         const QRectF &canvasRect) const
{
    if (m_series.isEmpty())
        return;
    // One column per device pixel. Where Qwt's own curves round to whole
    // pixels, so does this one, and its columns are then centred on them.
    const bool align = QwtPainter::roundingAlignment(painter);
    const double left = std::floor(std::min(xMap.p1(), xMap.p2())) - (align ? 0.5 : 0.0);
    const double right = std::max(xMap.p1(), xMap.p2());
    const int columns = std::max(1, static_cast<int>(std::ceil(right - left)));
    const double xa = ChartTime::fromAxis(xMap.invTransform(left));
    const double xb = ChartTime::fromAxis(xMap.invTransform(left + columns));
    const double x0 = std::min(xa, xb);
    const double x1 = std::max(xa, xb);

    // Points beyond the canvas (the neighbours of the range, or anything after
    // a tiny zoom) are clipped so the painter never sees huge coordinates.
    const QRectF clip = canvasRect.adjusted(-2, -2, 2, 2);
    painter->save();
    painter->setPen(m_pen);
    painter->setRenderHint(QPainter::Antialiasing, false);
    // Where pixels are whole, the columns are the pixels Qwt rounds points
    // to, worked out the way it rounds them, so no point on a column's edge
    // lands in its neighbour with its own column's height.
    const auto pixelOf = [&](double x) {
        const double px = xMap.transform(ChartTime::toAxis(x));
        return align ? static_cast<double>(qRound(px)) : px;
    };
    PlotSeries::ColumnOf columnOfX;
    if (align && xMap.p1() <= xMap.p2())
        columnOfX = [&](double x) { return pixelOf(x) - (left + 0.5); };
    for (const QVector<QPointF> &line : m_series.envelope(x0, x1, columns, columnOfX)) {
        QPolygonF polygon;
        polygon.reserve(line.size());
        for (const QPointF &point : line) {
            const double py = yMap.transform(point.y());
            polygon << QPointF(pixelOf(point.x()), align ? qRound(py) : py);
        }
        if (polygon.size() == 1) {
            QwtPainter::drawPoint(painter, polygon.first());
            continue;
        }
        QwtPainter::drawPolyline(painter, QwtClipper::clipPolygonF(clip, polygon, false));
    }
    painter->restore();
}
