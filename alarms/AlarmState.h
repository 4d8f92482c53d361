#pragma once

#include <QString>

// The states of one alarm, as process plants know them (ISA-18.2):
// Normal; Active, its condition present and not yet acknowledged;
// Acknowledged, present and acknowledged; Returned, cleared before anyone
// acknowledged it; Shelved, set aside by the operator for a while.
enum class AlarmState { Normal, Active, Acknowledged, Returned, Shelved };

// What can happen to an alarm: its condition comes or goes, the operator
// acknowledges or shelves it, or its shelf time runs out.
enum class AlarmEvent { ConditionOn, ConditionOff, Acknowledge, Shelve, ShelfExpired };

namespace AlarmStates {

// Where an event takes an alarm, and the transition's name ("active",
// "acknowledged", "returned", "normal", "shelved", "unshelved"); an empty
// name when nothing happened. `present` is whether the condition holds,
// which decides where a shelved alarm comes back to.
struct Step
{
    AlarmState state;
    QString kind;
};
Step next(AlarmState state, AlarmEvent event, bool present);

// "normal", "active", "acknowledged", "returned", "shelved".
QString name(AlarmState state);
// Active or Acknowledged: its condition holds and it is not shelved.
bool isActive(AlarmState state);
// Active or Returned: it waits for the operator.
bool isUnacknowledged(AlarmState state);

} // namespace AlarmStates
