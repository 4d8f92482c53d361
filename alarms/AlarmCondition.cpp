#include "alarms/AlarmCondition.h"

AlarmCondition::AlarmCondition(const AlarmDefinition &definition)
    : m_below(definition.check == AlarmCheck::Low || definition.check == AlarmCheck::LowLow)
    , m_limit(definition.limit)
    , m_deadband(definition.deadband)
    , m_delay(definition.delay)
{
}

bool AlarmCondition::beyond(double value) const
{
    return m_below ? value < m_limit : value > m_limit;
}

bool AlarmCondition::back(double value) const
{
    return m_below ? value >= m_limit + m_deadband : value <= m_limit - m_deadband;
}

bool AlarmCondition::update(double value, std::chrono::nanoseconds now)
{
    if (m_present) {
        if (back(value))
            m_present = false;
        return m_present;
    }
    // The delay counts from the first of an unbroken run of values beyond.
    if (!beyond(value)) {
        m_beyondSince.reset();
        return false;
    }
    if (!m_beyondSince)
        m_beyondSince = now;
    if (now - *m_beyondSince >= m_delay) {
        m_present = true;
        m_beyondSince.reset();
    }
    return m_present;
}
