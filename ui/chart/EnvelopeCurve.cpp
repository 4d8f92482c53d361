#include "ui/chart/EnvelopeCurve.h"

#include "ui/chart/BoundedSeries.h"
#include "ui/chart/ChartTime.h"

#include <QPainter>
#include <qwt_clipper.h>
#include <qwt_graphic.h>
#include <qwt_painter.h>
#include <qwt_scale_map.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr double RingRadius = 3;

// A ring at each point in the canvas, but not on one drawn a pixel or two away.
void drawRings(QPainter *painter, const std::vector<QVector<QPointF>> &lines,
               const QwtScaleMap &xMap, const QwtScaleMap &yMap, const QRectF &clip)
{
    painter->setRenderHint(QPainter::Antialiasing, true);
    painter->setBrush(Qt::white);
    QPointF last(-1e9, -1e9);
    for (const QVector<QPointF> &line : lines) {
        for (const QPointF &point : line) {
            const QPointF at(xMap.transform(ChartTime::toAxis(point.x())),
                             yMap.transform(point.y()));
            if (!clip.contains(at) ||
                (std::abs(at.x() - last.x()) < 2 * RingRadius &&
                 std::abs(at.y() - last.y()) < 2 * RingRadius))
                continue;
            painter->drawEllipse(at, RingRadius, RingRadius);
            last = at;
        }
    }
}

} // namespace

EnvelopeCurve::EnvelopeCurve(const QString &title, const QPen &pen, const BoundedSeries &series)
    : QwtPlotItem(QwtText(title))
    , m_pen(pen)
    , m_series(series)
{
    setZ(20);
    setItemAttribute(QwtPlotItem::Legend, true);
}

QwtGraphic EnvelopeCurve::legendIcon(int, const QSizeF &size) const
{
    QwtGraphic icon;
    icon.setDefaultSize(size);
    icon.setRenderHint(QwtGraphic::RenderPensUnscaled, true);
    QPainter painter(&icon);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(m_pen);
    const double middle = size.height() / 2;
    if (m_style == Rings)
        painter.drawEllipse(QPointF(size.width() / 2, middle), RingRadius, RingRadius);
    else
        painter.drawLine(QPointF(0, middle), QPointF(size.width(), middle));
    return icon;
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
    const std::vector<QVector<QPointF>> lines = m_series.envelope(x0, x1, columns, columnOfX);
    if (m_style == Rings) {
        drawRings(painter, lines, xMap, yMap, clip);
        painter->restore();
        return;
    }
    // A wide line is drawn as thin ones a pixel apart: Qt strokes a pen wider
    // than a pixel several times slower, and a chart of a year is redrawn
    // every second.
    const int passes = std::max(1, qRound(m_pen.widthF()));
    QPen thin = m_pen;
    thin.setWidthF(std::min(m_pen.widthF(), 1.0));
    painter->setPen(thin);
    for (const QVector<QPointF> &line : lines) {
        QPolygonF polygon;
        polygon.reserve(line.size());
        for (const QPointF &point : line) {
            const double py = yMap.transform(point.y());
            polygon << QPointF(pixelOf(point.x()), align ? qRound(py) : py);
        }
        for (int pass = 0; pass < passes; ++pass) {
            const QPolygonF drawn = pass ? polygon.translated(pass, pass) : polygon;
            if (drawn.size() == 1)
                QwtPainter::drawPoint(painter, drawn.first());
            else
                QwtPainter::drawPolyline(painter, QwtClipper::clipPolygonF(clip, drawn, false));
        }
    }
    painter->restore();
}
