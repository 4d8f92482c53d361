#include "platform/qt/widgets/ElidedLabel.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QPainter>
#include <QtMath>

ElidedLabel::ElidedLabel(QWidget *parent) : QLabel(parent)
{
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

QSize ElidedLabel::minimumSizeHint() const
{
    return QSize(0, QLabel::minimumSizeHint().height());
}

QSize ElidedLabel::sizeHint() const
{
    return QSize(0, QLabel::sizeHint().height());
}

void ElidedLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect room = contentsRect();
    const QString shown = fontMetrics().elidedText(text(), Qt::ElideLeft, room.width());
    // Whole in the tool tip only where some of it is hidden.
    setToolTip(shown == text() ? QString() : text());
    painter.setPen(palette().color(foregroundRole()));
    painter.drawText(room, Qt::AlignLeft | Qt::AlignVCenter, shown);
}

void ElidedLabel::keepWhole(const QStringList &texts)
{
    m_whole = texts;
    fitWhole();
}

void ElidedLabel::changeEvent(QEvent *event)
{
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        fitWhole();
}

void ElidedLabel::fitWhole()
{
    // Whole pixels rounded up: elidedText() measures the text to the
    // fraction of a pixel, and a text a fraction too wide is elided.
    int widest = 0;
    for (const QString &text : qAsConst(m_whole))
        widest = qMax(widest, qCeil(QFontMetricsF(font()).horizontalAdvance(text)));
    const QMargins margins = contentsMargins();
    setMinimumWidth(widest > 0 ? widest + margins.left() + margins.right() + 2 * margin() : 0);
}
