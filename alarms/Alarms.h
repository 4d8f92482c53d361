#pragma once

#include "alarms/Alarm.h"
#include "platform/Broadcast.h"

#include <QStringList>

#include <chrono>
#include <optional>
#include <vector>

class Clock;
class ReadingAge;
class SerialPort;
struct CycleReads;
struct StationState;

// The armed alarms and their states. After each read cycle the limits of
// each source read in it are checked against its new value, and the
// deviation of the probes when both read afresh; between cycles (tick())
// the time-based alarms are: a module whose group is on without a valid
// reading for the stale time, and the port, closed for as long while any
// group is on (the modules on it are then not held to their stale time, so
// a lost line is one alarm, not six). Shelved alarms come back by
// themselves. Every change of state is told as a transition.
class Alarms
{
public:
    static constexpr std::chrono::hours MAX_SHELF{8};

    // All must outlive it; ages must hear each cycle before this does.
    Alarms(const StationState &state, const ReadingAge &ages, const SerialPort &port,
           const Clock &clock);

    // Arms these alarms in place of the ones before: an alarm armed as it
    // was keeps its state, the others start normal. The names no longer
    // armed.
    QStringList arm(const QVector<AlarmDefinition> &definitions);
    const std::vector<Alarm> &alarms() const { return m_alarms; }
    bool any() const { return !m_alarms.empty(); }
    // Alarms whose condition holds (active or acknowledged).
    int activeCount() const;
    // Alarms waiting for the operator (active or returned).
    int unacknowledgedCount() const;

    void cycleRead(const CycleReads &reads);
    void tick();

    // The operator's: empty names do nothing; shelving is for at most
    // MAX_SHELF.
    void acknowledge(const QStringList &names);
    void acknowledgeAll();
    void shelve(const QStringList &names, std::chrono::minutes duration);

    // Each change of state, in the order they happen.
    Broadcast<const AlarmTransition &> transitioned;
    // After a cycle or a tick, and after the operator's action: values or
    // states may have changed.
    Broadcast<> changed;

private:
    void updateCondition(Alarm &alarm, double value, std::chrono::nanoseconds now);
    void apply(Alarm &alarm, AlarmEvent event);
    void checkTimes(std::chrono::nanoseconds now);
    std::optional<double> sourceValue(const Alarm &alarm, const CycleReads &reads) const;
    bool anyGroupOn() const;

    const StationState &m_state;
    const ReadingAge &m_ages;
    const SerialPort &m_port;
    const Clock &m_clock;
    std::vector<Alarm> m_alarms;
    std::optional<std::chrono::nanoseconds> m_portDownSince;
};
