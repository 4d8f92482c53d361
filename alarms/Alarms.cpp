#include "alarms/Alarms.h"

#include "alarms/AlarmMessage.h"
#include "channels/CycleReads.h"
#include "channels/ReadingAge.h"
#include "platform/Clock.h"
#include "platform/SerialPort.h"
#include "station/StationState.h"

#include <cmath>

namespace {

// Whole seconds: what a stale time is counted in.
double seconds(std::chrono::nanoseconds duration)
{
    return static_cast<double>(std::chrono::duration_cast<std::chrono::seconds>(duration).count());
}

bool sameDefinition(const AlarmDefinition &a, const AlarmDefinition &b)
{
    return a.name == b.name && a.check == b.check && a.limit == b.limit &&
        a.deadband == b.deadband && a.delay == b.delay && a.module == b.module;
}

} // namespace

Alarms::Alarms(const StationState &state, const ReadingAge &ages, const SerialPort &port,
               const Clock &clock)
    : m_state(state)
    , m_ages(ages)
    , m_port(port)
    , m_clock(clock)
{
}

QStringList Alarms::arm(const QVector<AlarmDefinition> &definitions)
{
    std::vector<Alarm> armed;
    armed.reserve(static_cast<size_t>(definitions.size()));
    for (const AlarmDefinition &definition : definitions) {
        bool kept = false;
        for (const Alarm &alarm : m_alarms)
            if (sameDefinition(alarm.definition, definition)) {
                armed.push_back(alarm);
                kept = true;
                break;
            }
        if (!kept)
            armed.emplace_back(definition);
    }
    QStringList gone;
    for (const Alarm &alarm : m_alarms) {
        bool stays = false;
        for (const AlarmDefinition &definition : definitions)
            stays = stays || definition.name == alarm.definition.name;
        if (!stays)
            gone << alarm.definition.name;
    }
    m_alarms = std::move(armed);
    changed.notify();
    return gone;
}

int Alarms::activeCount() const
{
    int count = 0;
    for (const Alarm &alarm : m_alarms)
        count += AlarmStates::isActive(alarm.state) ? 1 : 0;
    return count;
}

int Alarms::unacknowledgedCount() const
{
    int count = 0;
    for (const Alarm &alarm : m_alarms)
        count += AlarmStates::isUnacknowledged(alarm.state) ? 1 : 0;
    return count;
}

bool Alarms::anyGroupOn() const
{
    return m_state.flowEnabled == FlagOn || m_state.phEnabled == FlagOn ||
        m_state.thermEnabled == FlagOn;
}

void Alarms::apply(Alarm &alarm, AlarmEvent event)
{
    const AlarmStates::Step step = AlarmStates::next(alarm.state, event, alarm.condition.present());
    if (step.kind.isEmpty())
        return;
    const QDateTime now = m_clock.currentDateTime();
    alarm.state = step.state;
    alarm.since = now;
    const AlarmDefinition &d = alarm.definition;
    transitioned.notify({d.name, d.description(), step.kind, alarm.state, alarm.value, d.limit,
                         d.unit(), now, AlarmMessage::transitionText(alarm, step.kind)});
}

void Alarms::updateCondition(Alarm &alarm, double value, std::chrono::nanoseconds now)
{
    alarm.value = value;
    const bool was = alarm.condition.present();
    const bool is = alarm.condition.update(value, now);
    if (is != was)
        apply(alarm, is ? AlarmEvent::ConditionOn : AlarmEvent::ConditionOff);
}

std::optional<double> Alarms::sourceValue(const Alarm &alarm, const CycleReads &reads) const
{
    const QString &source = alarm.definition.source;
    // Only a value read in this cycle: a value that stood still is not checked again.
    if (source == QLatin1String("ph1"))
        return reads.pH(0) ? std::optional<double>(m_state.probe1pH) : std::nullopt;
    if (source == QLatin1String("ph2"))
        return reads.pH(1) ? std::optional<double>(m_state.probe2pH) : std::nullopt;
    if (source == QLatin1String("therm1"))
        return reads.therm(0) ? std::optional<double>(m_state.therm1Temp) : std::nullopt;
    if (source == QLatin1String("therm2"))
        return reads.therm(1) ? std::optional<double>(m_state.therm2Temp) : std::nullopt;
    if (source == QLatin1String("therm3"))
        return reads.therm(2) ? std::optional<double>(m_state.therm3Temp) : std::nullopt;
    if (source == QLatin1String("flow"))
        return reads.flow() ? std::optional<double>(m_state.flowLpm) : std::nullopt;
    if (source == QLatin1String("liters"))
        return reads.flow() ? std::optional<double>(m_state.totalLiters) : std::nullopt;
    return std::nullopt;
}

void Alarms::cycleRead(const CycleReads &reads)
{
    if (m_alarms.empty())
        return;
    const std::chrono::nanoseconds now = m_clock.monotonic();
    // The probes apart only when both read in this cycle: one probe's
    // older value says nothing of how far apart they are now.
    const bool deviationRead = reads.pH(0) && reads.pH(1);
    for (Alarm &alarm : m_alarms) {
        switch (alarm.definition.check) {
        case AlarmCheck::HighHigh:
        case AlarmCheck::High:
        case AlarmCheck::Low:
        case AlarmCheck::LowLow:
            if (const std::optional<double> value = sourceValue(alarm, reads))
                updateCondition(alarm, *value, now);
            break;
        case AlarmCheck::Deviation:
            if (deviationRead)
                updateCondition(alarm, std::abs(m_state.probe1pH - m_state.probe2pH), now);
            break;
        case AlarmCheck::Stale:
        case AlarmCheck::PortDown: break;
        }
    }
    checkTimes(now);
    changed.notify();
}

void Alarms::tick()
{
    if (m_alarms.empty())
        return;
    checkTimes(m_clock.monotonic());
    changed.notify();
}

void Alarms::checkTimes(std::chrono::nanoseconds now)
{
    const bool portDown = anyGroupOn() && !m_port.isOpen();
    if (!portDown)
        m_portDownSince.reset();
    else if (!m_portDownSince)
        m_portDownSince = now;
    for (Alarm &alarm : m_alarms) {
        if (alarm.state == AlarmState::Shelved && now >= alarm.shelvedUntil)
            apply(alarm, AlarmEvent::ShelfExpired);
        if (alarm.definition.check == AlarmCheck::PortDown)
            updateCondition(alarm, portDown ? seconds(now - *m_portDownSince) : 0, now);
        // A closed port silences every module: its alarm alone tells it.
        else if (alarm.definition.check == AlarmCheck::Stale && !portDown)
            updateCondition(alarm, seconds(m_ages.unreadFor(alarm.definition.module)), now);
    }
}

void Alarms::acknowledge(const QStringList &names)
{
    for (Alarm &alarm : m_alarms)
        if (names.contains(alarm.definition.name))
            apply(alarm, AlarmEvent::Acknowledge);
    changed.notify();
}

void Alarms::acknowledgeAll()
{
    for (Alarm &alarm : m_alarms)
        apply(alarm, AlarmEvent::Acknowledge);
    changed.notify();
}

void Alarms::shelve(const QStringList &names, std::chrono::minutes duration)
{
    if (duration <= std::chrono::minutes::zero())
        return;
    duration = std::min<std::chrono::minutes>(duration, MAX_SHELF);
    for (Alarm &alarm : m_alarms)
        if (names.contains(alarm.definition.name)) {
            alarm.shelvedUntil = m_clock.monotonic() + duration;
            alarm.shelvedUntilTime =
                m_clock.currentDateTime().addSecs(std::chrono::seconds(duration).count());
            apply(alarm, AlarmEvent::Shelve);
        }
    changed.notify();
}
