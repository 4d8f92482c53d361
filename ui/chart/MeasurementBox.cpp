#include "ui/chart/MeasurementBox.h"

#include <QMouseEvent>

#include <algorithm>
#include <cmath>

namespace {

constexpr int Inset = 4;

} // namespace

MeasurementBox::MeasurementBox(QWidget *canvas) : QLabel(canvas)
{
    setObjectName(QStringLiteral("lblMeasurement"));
    setTextFormat(Qt::PlainText);
    setStyleSheet(QStringLiteral("QLabel { background: rgba(255, 255, 255, 225); "
                                 "border: 1px solid #a0a0a0; border-radius: 2px; padding: 2px; }"));
    setCursor(Qt::OpenHandCursor);
    setToolTip(QStringLiteral("Drag it where it hides nothing you look at"));
    QFont small = font();
    small.setPointSizeF(small.pointSizeF() * 0.9);
    setFont(small);
    canvas->installEventFilter(this);
    hide();
}

void MeasurementBox::show(const QString &text, double cursor1At, double cursor2At)
{
    if (text.isEmpty()) {
        hide();
        return;
    }
    if (text != this->text()) {
        setText(text);
        adjustSize();
    }
    if (!m_moved) {
        // The top corner farther from both cursors.
        const bool right = std::min(std::abs(cursor1At - 1), std::abs(cursor2At - 1)) >
            std::min(std::abs(cursor1At), std::abs(cursor2At));
        move(right ? parentWidget()->width() - width() - Inset : Inset, Inset);
    }
    keepOnCanvas();
    QLabel::show();
    raise();
}

void MeasurementBox::keepOnCanvas()
{
    const QRect canvas = parentWidget()->rect();
    move(std::clamp(x(), 0, std::max(0, canvas.width() - width())),
         std::clamp(y(), 0, std::max(0, canvas.height() - height())));
}

void MeasurementBox::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return QLabel::mousePressEvent(event);
    m_dragging = true;
    m_grabbed = event->pos();
    setCursor(Qt::ClosedHandCursor);
}

void MeasurementBox::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_dragging)
        return QLabel::mouseMoveEvent(event);
    move(mapToParent(event->pos() - m_grabbed));
    keepOnCanvas();
    m_moved = true;
}

void MeasurementBox::mouseReleaseEvent(QMouseEvent *event)
{
    m_dragging = false;
    setCursor(Qt::OpenHandCursor);
    QLabel::mouseReleaseEvent(event);
}

bool MeasurementBox::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize && isVisible())
        keepOnCanvas();
    return QLabel::eventFilter(watched, event);
}
