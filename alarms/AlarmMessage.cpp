#include "alarms/AlarmMessage.h"

#include "alarms/Alarm.h"
#include "publishing/JsonMessage.h"
#include "station/IsoTime.h"

#include <cmath>

namespace {

QString withUnit(double value, const QString &unit)
{
    return AlarmMessage::number(value) + QLatin1Char(' ') + unit;
}

// What the value is against the limit, while the condition holds.
QString condition(const Alarm &alarm)
{
    const AlarmDefinition &d = alarm.definition;
    const QString value = withUnit(alarm.value, d.unit());
    const QString limit = withUnit(d.limit, d.unit());
    switch (d.check) {
    case AlarmCheck::Low:
    case AlarmCheck::LowLow: return QStringLiteral("%1, below the limit %2").arg(value, limit);
    case AlarmCheck::Deviation:
        return QStringLiteral("%1 apart, more than the limit %2").arg(value, limit);
    case AlarmCheck::Stale:
        return QStringLiteral("no valid reading for %1 (limit %2)").arg(value, limit);
    case AlarmCheck::PortDown:
        return QStringLiteral("the port has been closed for %1 (limit %2)").arg(value, limit);
    case AlarmCheck::High:
    case AlarmCheck::HighHigh: break;
    }
    return QStringLiteral("%1, above the limit %2").arg(value, limit);
}

} // namespace

QString AlarmMessage::number(double value)
{
    if (!std::isfinite(value))
        return QString();
    // The time-based alarms count whole seconds.
    return QString::number(value, 'g', 10);
}

QString AlarmMessage::transitionText(const Alarm &alarm, const QString &kind)
{
    const AlarmDefinition &d = alarm.definition;
    const QString head = QStringLiteral("%1 (%2): ").arg(d.name, d.description());
    const QString now = std::isfinite(alarm.value)
        ? QStringLiteral("%1 (limit %2)")
              .arg(withUnit(alarm.value, d.unit()), withUnit(d.limit, d.unit()))
        : QStringLiteral("no value yet (limit %1)").arg(withUnit(d.limit, d.unit()));
    if (kind == QLatin1String("active"))
        return head + condition(alarm);
    if (kind == QLatin1String("returned"))
        return head + QStringLiteral("back within the limit, not yet acknowledged: ") + now;
    if (kind == QLatin1String("acknowledged"))
        return head + QStringLiteral("acknowledged, still present: ") + now;
    if (kind == QLatin1String("normal"))
        return head + QStringLiteral("normal: ") + now;
    if (kind == QLatin1String("shelved"))
        return head +
            QStringLiteral("shelved until %1").arg(IsoTime::withOffset(alarm.shelvedUntilTime));
    if (kind == QLatin1String("unshelved"))
        return head +
            QStringLiteral("back from the shelf, %1: ").arg(AlarmStates::name(alarm.state)) + now;
    return head + kind;
}

QString AlarmMessage::topic(const QString &name)
{
    return QStringLiteral("alarms/") + name;
}

QByteArray AlarmMessage::stateJson(const Alarm &alarm, const QDateTime &time)
{
    JsonMessage message;
    message.add("time", IsoTime::withOffset(time, true))
        .add("alarm", alarm.definition.name)
        .add("description", alarm.definition.description())
        .add("state", AlarmStates::name(alarm.state))
        .add("value", alarm.value)
        .add("limit", alarm.definition.limit)
        .add("unit", alarm.definition.unit());
    if (alarm.since.isValid())
        message.add("since", IsoTime::withOffset(alarm.since, true));
    else
        message.add("since", qQNaN());
    if (alarm.state == AlarmState::Shelved)
        message.add("shelved_until", IsoTime::withOffset(alarm.shelvedUntilTime, true));
    return message.bytes();
}
