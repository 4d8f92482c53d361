#pragma once

#include "channels/CycleReads.h"

#include <QString>

#include <array>
#include <chrono>
#include <optional>

class Clock;
struct StationState;

// How old each reading in the shared record is, so that nothing shows or
// acts on an old value as if it were new. Told after every read cycle
// (ChannelAcquisition::cycleRead), it keeps when each read count last moved
// and whether the module answered when its group was last polled; the
// rest it reads from the record and the clock whenever asked.
//
// A reading is fresh while it is at most FRESH_FOR old: two read periods,
// so one late or dropped tick does not count against it.
class ReadingAge
{
public:
    static constexpr std::chrono::milliseconds FRESH_FOR{2000};

    // The six modules, in the order the window shows their lamps.
    enum class Module { Flow, Ph1, Ph2, Therm1, Therm2, Therm3 };
    static constexpr int MODULES = 6;
    // Each value that has a read count of its own: a probe's pH may stay
    // behind its millivolts (a zero slope gives no pH).
    enum class Reading { Flow, Ph1mV, Ph2mV, Ph1, Ph2, Therm1, Therm2, Therm3 };
    static constexpr int READINGS = 8;
    // Off: its group is switched off. Failing: the last cycle that polled
    // it got no valid answer. Stale: no fresh reading for another reason
    // (no cycle ran, or none yet since its group was switched on).
    enum class Freshness { Fresh, Stale, Failing, Off };

    ReadingAge(const StationState &state, const Clock &clock);

    // After each read cycle, with what it read.
    void cycleRead(const CycleReads &reads);

    // How long ago the value was read; none when it was never read.
    std::optional<std::chrono::nanoseconds> age(Reading reading) const;
    bool isFresh(Reading reading) const;
    Freshness freshness(Module module) const;
    // How long the module's group has been on without a valid reading from
    // it (counted from its last reading or from the group's switching on,
    // whichever came later); zero while its group is off.
    std::chrono::nanoseconds unreadFor(Module module) const;

    // The module's own reading (its lamp's), and the values it gives.
    static Reading readingOf(Module module);
    // "Flow", "pH 1", "pH 2", "T1", "T2", "T3".
    static QString shortName(Module module);
    // Its address on the line: "5", "6", "7", "1", "2", "3".
    static QString address(Module module);

private:
    static quint32 count(const ReadCounts &counts, Reading reading);
    bool groupOn(Module module) const;

    const StationState &m_state;
    const Clock &m_clock;
    std::array<std::optional<std::chrono::nanoseconds>, READINGS> m_readAt{};
    std::array<bool, MODULES> m_failing{};
    std::array<bool, MODULES> m_wasOn{};
    std::array<std::chrono::nanoseconds, MODULES> m_onSince{};
};
