#pragma once

#include <QColor>
#include <QHash>
#include <QString>

class QLabel;
class ValueFrame;

// What the value displays show beside their text, which stays as the
// channels write it: a reading that is not fresh is drawn dimmed, with its
// age in the tool tip; an alarm on the value is a frame around it, red
// while unacknowledged (broken once the condition has gone), amber while
// acknowledged and still present.
class ValueMarks
{
public:
    enum class Frame { None, Active, Acknowledged, Returned };

    ValueMarks() = default;
    ValueMarks(const ValueMarks &) = delete;
    ValueMarks &operator=(const ValueMarks &) = delete;

    // The label must outlive these marks; its colours at this moment are its own.
    void add(QLabel *label);
    // Empty `age`: fresh, as the channel drew it.
    void setStale(QLabel *label, bool stale, const QString &age);
    void setAlarm(QLabel *label, Frame frame, const QString &text);

    // The dimmed form of a reading's colour.
    static QColor dimmed(const QColor &colour);

private:
    struct Mark
    {
        QColor digits;
        bool stale = false;
        QString age;
        Frame frame = Frame::None;
        QString alarm;
        ValueFrame *overlay = nullptr;
    };
    void show(QLabel *label, Mark &mark);

    QHash<QLabel *, Mark> m_marks;
};
