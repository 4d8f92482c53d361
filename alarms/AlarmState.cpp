#include "alarms/AlarmState.h"

AlarmStates::Step AlarmStates::next(AlarmState state, AlarmEvent event, bool present)
{
    const auto to = [](AlarmState target) { return Step{target, name(target)}; };
    const Step same{state, QString()};
    switch (event) {
    case AlarmEvent::ConditionOn:
        if (state == AlarmState::Normal || state == AlarmState::Returned)
            return to(AlarmState::Active);
        return same;
    case AlarmEvent::ConditionOff:
        if (state == AlarmState::Active)
            return to(AlarmState::Returned);
        if (state == AlarmState::Acknowledged)
            return to(AlarmState::Normal);
        return same;
    case AlarmEvent::Acknowledge:
        if (state == AlarmState::Active)
            return to(AlarmState::Acknowledged);
        if (state == AlarmState::Returned)
            return to(AlarmState::Normal);
        return same;
    case AlarmEvent::Shelve:
        // Shelving a shelved alarm again sets its new time: told again.
        return to(AlarmState::Shelved);
    case AlarmEvent::ShelfExpired:
        if (state != AlarmState::Shelved)
            return same;
        // What it missed while shelved is not taken as acknowledged.
        return {present ? AlarmState::Active : AlarmState::Normal, QStringLiteral("unshelved")};
    }
    return same;
}

QString AlarmStates::name(AlarmState state)
{
    switch (state) {
    case AlarmState::Normal: return QStringLiteral("normal");
    case AlarmState::Active: return QStringLiteral("active");
    case AlarmState::Acknowledged: return QStringLiteral("acknowledged");
    case AlarmState::Returned: return QStringLiteral("returned");
    case AlarmState::Shelved: return QStringLiteral("shelved");
    }
    return QString();
}

bool AlarmStates::isActive(AlarmState state)
{
    return state == AlarmState::Active || state == AlarmState::Acknowledged;
}

bool AlarmStates::isUnacknowledged(AlarmState state)
{
    return state == AlarmState::Active || state == AlarmState::Returned;
}
