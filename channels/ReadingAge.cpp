#include "channels/ReadingAge.h"

#include "platform/Clock.h"
#include "station/StationState.h"

namespace {

constexpr int index(ReadingAge::Module module)
{
    return static_cast<int>(module);
}

constexpr int index(ReadingAge::Reading reading)
{
    return static_cast<int>(reading);
}

} // namespace

ReadingAge::ReadingAge(const StationState &state, const Clock &clock)
    : m_state(state)
    , m_clock(clock)
{
}

quint32 ReadingAge::count(const ReadCounts &counts, Reading reading)
{
    switch (reading) {
    case Reading::Flow: return counts.flow;
    case Reading::Ph1mV: return counts.probe[0];
    case Reading::Ph2mV: return counts.probe[1];
    case Reading::Ph1: return counts.pH[0];
    case Reading::Ph2: return counts.pH[1];
    case Reading::Therm1: return counts.therm[0];
    case Reading::Therm2: return counts.therm[1];
    case Reading::Therm3: return counts.therm[2];
    }
    return 0;
}

ReadingAge::Reading ReadingAge::readingOf(Module module)
{
    switch (module) {
    case Module::Flow: return Reading::Flow;
    case Module::Ph1: return Reading::Ph1mV;
    case Module::Ph2: return Reading::Ph2mV;
    case Module::Therm1: return Reading::Therm1;
    case Module::Therm2: return Reading::Therm2;
    case Module::Therm3: return Reading::Therm3;
    }
    return Reading::Flow;
}

QString ReadingAge::shortName(Module module)
{
    static const char *const names[MODULES] = {"Flow", "pH 1", "pH 2", "T1", "T2", "T3"};
    return QString::fromLatin1(names[index(module)]);
}

QString ReadingAge::address(Module module)
{
    static const char *const addresses[MODULES] = {"5", "6", "7", "1", "2", "3"};
    return QString::fromLatin1(addresses[index(module)]);
}

bool ReadingAge::groupOn(Module module) const
{
    switch (module) {
    case Module::Flow: return m_state.flowEnabled == FlagOn;
    case Module::Ph1:
    case Module::Ph2: return m_state.phEnabled == FlagOn;
    case Module::Therm1:
    case Module::Therm2:
    case Module::Therm3: return m_state.thermEnabled == FlagOn;
    }
    return false;
}

void ReadingAge::cycleRead(const CycleReads &reads)
{
    const std::chrono::nanoseconds now = m_clock.monotonic();
    for (int r = 0; r < READINGS; ++r) {
        const auto reading = static_cast<Reading>(r);
        if (count(reads.after, reading) != count(reads.before, reading))
            m_readAt[r] = now;
    }
    for (int m = 0; m < MODULES; ++m) {
        const auto module = static_cast<Module>(m);
        const bool on = groupOn(module);
        if (on && !m_wasOn[m])
            m_onSince[m] = now;
        m_wasOn[m] = on;
        const Reading own = readingOf(module);
        m_failing[m] = on && count(reads.after, own) == count(reads.before, own);
    }
}

std::optional<std::chrono::nanoseconds> ReadingAge::age(Reading reading) const
{
    const auto &readAt = m_readAt[index(reading)];
    if (!readAt)
        return std::nullopt;
    return m_clock.monotonic() - *readAt;
}

bool ReadingAge::isFresh(Reading reading) const
{
    const auto old = age(reading);
    return old && *old <= FRESH_FOR;
}

ReadingAge::Freshness ReadingAge::freshness(Module module) const
{
    if (!groupOn(module))
        return Freshness::Off;
    if (m_failing[index(module)])
        return Freshness::Failing;
    return isFresh(readingOf(module)) ? Freshness::Fresh : Freshness::Stale;
}

std::chrono::nanoseconds ReadingAge::unreadFor(Module module) const
{
    const int m = index(module);
    if (!groupOn(module) || !m_wasOn[m])
        return std::chrono::nanoseconds::zero();
    std::chrono::nanoseconds since = m_onSince[m];
    const auto &readAt = m_readAt[index(readingOf(module))];
    if (readAt && *readAt > since)
        since = *readAt;
    return m_clock.monotonic() - since;
}
