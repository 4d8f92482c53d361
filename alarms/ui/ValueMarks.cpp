#include "alarms/ui/ValueMarks.h"

#include <QEvent>
#include <QLabel>
#include <QPainter>

// A frame drawn over a value display, passing every mouse event through to
// it and following its size.
class ValueFrame : public QWidget
{
public:
    explicit ValueFrame(QLabel *label) : QWidget(label)
    {
        setObjectName(label->objectName() + QStringLiteral("Alarm"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setGeometry(label->rect());
        label->installEventFilter(this);
        hide();
    }

    void setFrame(ValueMarks::Frame frame)
    {
        m_frame = frame;
        setVisible(frame != ValueMarks::Frame::None);
        update();
    }
    ValueMarks::Frame frame() const { return m_frame; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Resize)
            setGeometry(static_cast<QWidget *>(watched)->rect());
        return false;
    }

    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        const int width = 3;
        QPen pen(m_frame == ValueMarks::Frame::Acknowledged ? QColor(255, 176, 0)
                                                            : QColor(255, 40, 40),
                 width);
        pen.setJoinStyle(Qt::MiterJoin);
        if (m_frame == ValueMarks::Frame::Returned)
            pen.setStyle(Qt::DashLine);
        painter.setPen(pen);
        painter.drawRect(
            QRectF(rect()).adjusted(width / 2.0, width / 2.0, -width / 2.0, -width / 2.0));
    }

private:
    ValueMarks::Frame m_frame = ValueMarks::Frame::None;
};

QColor ValueMarks::dimmed(const QColor &colour)
{
    // Well apart from the reading's own colour on black, and still legible.
    return QColor::fromHsv(colour.hsvHue(), colour.hsvSaturation() / 2, colour.value() * 45 / 100);
}

void ValueMarks::add(QLabel *label)
{
    Mark mark;
    mark.digits = label->palette().color(QPalette::WindowText);
    mark.overlay = new ValueFrame(label);
    m_marks.insert(label, mark);
}

void ValueMarks::setStale(QLabel *label, bool stale, const QString &age)
{
    Mark &mark = m_marks[label];
    if (mark.stale == stale && mark.age == age)
        return;
    mark.stale = stale;
    mark.age = age;
    show(label, mark);
}

void ValueMarks::setAlarm(QLabel *label, Frame frame, const QString &text)
{
    Mark &mark = m_marks[label];
    if (mark.frame == frame && mark.alarm == text)
        return;
    mark.frame = frame;
    mark.alarm = text;
    show(label, mark);
}

void ValueMarks::show(QLabel *label, Mark &mark)
{
    QPalette palette = label->palette();
    const QColor digits = mark.stale ? dimmed(mark.digits) : mark.digits;
    if (palette.color(QPalette::WindowText) != digits) {
        palette.setColor(QPalette::WindowText, digits);
        label->setPalette(palette);
    }
    mark.overlay->setFrame(mark.frame);
    QStringList tip;
    if (!mark.alarm.isEmpty())
        tip << mark.alarm;
    if (mark.stale)
        tip << mark.age;
    label->setToolTip(tip.join(QLatin1Char('\n')));
}
