#include "platform/qt/widgets/MarkedSlider.h"

#include <QPainter>
#include <QPolygon>

#include <algorithm>

MarkedSlider::MarkedSlider(Qt::Orientation orientation, QWidget *parent)
    : QwtSlider(orientation, parent)
{
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
    drawMarker(painter, sliderRect, m_lowest, QStringLiteral("min"));
    drawMarker(painter, sliderRect, m_highest, QStringLiteral("max"));
}

void MarkedSlider::drawMarker(QPainter *painter, const QRect &sliderRect, double value,
                              const QString &name) const
{
    const double low = std::min(lowerBound(), upperBound());
    const double high = std::max(lowerBound(), upperBound());
    const int at = transform(std::clamp(value, low, high));
    const bool isMax = name == QLatin1String("max");
    const QColor colour = isMax ? QColor(220, 40, 40) : QColor(40, 110, 230);

    QFont font = painter->font();
    font.setPointSizeF(font.pointSizeF() * 0.75);
    const QFontMetrics metrics(font);
    const int size = std::max(4, metrics.height() / 3);

    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setFont(font);
    painter->setPen(colour.darker(140));
    painter->setBrush(colour);
    QPolygon arrow;
    QRect textRect;
    if (orientation() == Qt::Horizontal) {
        // Pointing down onto the groove from above; min label left of max.
        const int tip = sliderRect.top() + sliderRect.height() / 2 - 2;
        arrow << QPoint(at, tip) << QPoint(at - size, tip - 2 * size)
              << QPoint(at + size, tip - 2 * size);
        const int width = metrics.horizontalAdvance(name);
        const int left = isMax ? at + size + 1 : at - size - 1 - width;
        textRect = QRect(left, tip - 2 * size - metrics.height() / 2, width, metrics.height());
    } else {
        // Pointing left onto the groove from its right side.
        const int tip = sliderRect.left() + sliderRect.width() / 2 + 2;
        arrow << QPoint(tip, at) << QPoint(tip + 2 * size, at - size)
              << QPoint(tip + 2 * size, at + size);
        const int top = isMax ? at - size - metrics.height() : at + size;
        textRect =
            QRect(tip + 2 * size + 1, top, metrics.horizontalAdvance(name), metrics.height());
    }
    painter->drawPolygon(arrow);
    painter->setPen(colour.darker(160));
    painter->drawText(textRect, Qt::AlignCenter, name);
    painter->restore();
}
