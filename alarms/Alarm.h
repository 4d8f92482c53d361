#pragma once

#include "alarms/AlarmCondition.h"
#include "alarms/AlarmSettings.h"
#include "alarms/AlarmState.h"

#include <QDateTime>

#include <chrono>
#include <limits>

// One armed alarm as it stands: what it watches, whether its condition
// holds, its state, the last value it was given and since when it is in
// its state.
struct Alarm
{
    explicit Alarm(const AlarmDefinition &armed) : definition(armed), condition(armed) { }

    AlarmDefinition definition;
    AlarmCondition condition;
    AlarmState state = AlarmState::Normal;
    // Not a number until it has been given one.
    double value = std::numeric_limits<double>::quiet_NaN();
    // When it came into its state; not valid while it has always been normal.
    QDateTime since;
    // While shelved: when it comes back, on the monotonic clock and for the operator.
    std::chrono::nanoseconds shelvedUntil{};
    QDateTime shelvedUntilTime;
};

// An alarm that changed its state, as everyone who is told hears it.
struct AlarmTransition
{
    QString name;
    QString description;
    QString kind; // "active", "acknowledged", "returned", "normal", "shelved", "unshelved"
    AlarmState state = AlarmState::Normal;
    double value = std::numeric_limits<double>::quiet_NaN();
    double limit = 0;
    QString unit;
    QDateTime time;
    // The journal's words for it.
    QString text;
};
