#pragma once

#include "alarms/AlarmSettings.h"

#include <chrono>
#include <optional>

// Whether one alarm's condition holds, from the values it is given: it
// comes once the value has stood beyond the limit for the whole delay, and
// goes once the value has come back past the limit by the deadband, so a
// value hovering at the limit raises one alarm, not one per reading.
class AlarmCondition
{
public:
    explicit AlarmCondition(const AlarmDefinition &definition);

    // A new value at the monotonic time `now`; whether the condition holds.
    bool update(double value, std::chrono::nanoseconds now);
    bool present() const { return m_present; }

private:
    bool beyond(double value) const;
    bool back(double value) const;

    bool m_below;
    double m_limit;
    double m_deadband;
    std::chrono::nanoseconds m_delay;
    bool m_present = false;
    std::optional<std::chrono::nanoseconds> m_beyondSince;
};
