#include "alarms/ui/AlarmIndicator.h"

#include "alarms/Alarms.h"

AlarmIndicator::AlarmIndicator(QWidget *parent) : QToolButton(parent)
{
    setObjectName(QStringLiteral("alarmIndicator"));
    setToolButtonStyle(Qt::ToolButtonTextOnly);
    setAutoRaise(true);
    setVisible(false);
}

void AlarmIndicator::showCounts(const Alarms &alarms)
{
    setVisible(alarms.any());
    const int active = alarms.activeCount();
    const int waiting = alarms.unacknowledgedCount();
    int shelved = 0;
    for (const Alarm &alarm : alarms.alarms())
        shelved += alarm.state == AlarmState::Shelved ? 1 : 0;
    setText(active == 0
                ? QStringLiteral("No alarm")
                : QStringLiteral("%1 %2").arg(active).arg(active == 1 ? "alarm" : "alarms"));
    QStringList tip{QStringLiteral("%1 active").arg(active),
                    QStringLiteral("%1 unacknowledged").arg(waiting)};
    if (shelved > 0)
        tip << QStringLiteral("%1 shelved").arg(shelved);
    setToolTip(tip.join(QStringLiteral(", ")) + QStringLiteral(": click for the list"));
    if (m_red == (waiting > 0) && !styleSheet().isEmpty())
        return;
    m_red = waiting > 0;
    setStyleSheet(m_red ? QStringLiteral("QToolButton { background: #d00000; color: white; "
                                         "font-weight: bold; border-radius: 3px; padding: 0 6px; }")
                        : QStringLiteral("QToolButton { padding: 0 6px; }"));
}
