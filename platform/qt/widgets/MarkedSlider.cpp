#include "platform/qt/widgets/MarkedSlider.h"

#include <QPainter>
#include <QPolygon>

#include <algorithm>

MarkedSlider::MarkedSlider(QWidget *parent) : QwtSlider(Qt::Horizontal, parent)
{
    setScalePosition(QwtSlider::TrailingScale);
    // Room for "max" between the scale and the groove, and for "min" below it.
    const int markerRoom = QFontMetrics(markerFont()).height();
    setSpacing(markerRoom);
    setContentsMargins(0, 0, 0, markerRoom);
}

QFont MarkedSlider::markerFont() const
{
    QFont small = font();
    small.setPointSizeF(small.pointSizeF() * 0.9);
    return small;
}

void MarkedSlider::showValue(double value)
{
    if (m_hasMarkers) {
        m_lowest = std::min(m_lowest, value);
        m_highest = std::max(m_highest, value);
    } else {
        m_lowest = m_highest = value;
        m_hasMarkers = true;
    }
    setValue(value);
    update();
}

void MarkedSlider::resetMarkers()
{
    m_hasMarkers = false;
    update();
}

void MarkedSlider::drawSlider(QPainter *painter, const QRect &sliderRect) const
{
    QwtSlider::drawSlider(painter, sliderRect);
    if (!m_hasMarkers)
        return;
    drawMarker(painter, sliderRect, m_lowest, false);
    drawMarker(painter, sliderRect, m_highest, true);
}

void MarkedSlider::drawMarker(QPainter *painter, const QRect &sliderRect, double value,
                              bool isMax) const
{
    const double low = std::min(lowerBound(), upperBound());
    const double high = std::max(lowerBound(), upperBound());
    const int at = transform(std::clamp(value, low, high));
    const QColor colour = isMax ? QColor(220, 40, 40) : QColor(40, 110, 230);
    const QString name = isMax ? QStringLiteral("max") : QStringLiteral("min");
    const QFontMetrics metrics(markerFont());
    const int size = std::max(4, metrics.height() / 3);

    // Each points at the groove from its own side.
    const int tip = isMax ? sliderRect.top() : sliderRect.bottom();
    const int base = isMax ? tip - 2 * size : tip + 2 * size;
    QPolygon arrow;
    arrow << QPoint(at, tip) << QPoint(at - size, base) << QPoint(at + size, base);

    // "max" to the right of its pointer, "min" to the left, each turned
    // inwards where it would leave the widget at an end of the scale.
    const int width = metrics.horizontalAdvance(name);
    int left = isMax ? at + size + 2 : at - size - 2 - width;
    if (left < 0)
        left = at + size + 2;
    else if (left + width > this->width())
        left = at - size - 2 - width;
    const int middle = (tip + base) / 2;
    const QRect textRect(left, middle - metrics.height() / 2, width, metrics.height());

    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setFont(markerFont());
    painter->setPen(colour.darker(140));
    painter->setBrush(colour);
    painter->drawPolygon(arrow);
    painter->setPen(colour.darker(160));
    painter->drawText(textRect, Qt::AlignCenter, name);
    painter->restore();
}
