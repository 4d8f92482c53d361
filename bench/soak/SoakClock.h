#pragma once

#include "platform/Clock.h"

// Simulated time for a soak: sleeping costs no real time, and the time of day
// runs from a chosen start with the simulated seconds, so a day of station
// time passes in minutes and crosses midnight as often as the run is long.
class SoakClock : public Clock
{
public:
    explicit SoakClock(const QDateTime &start) : m_start(start) { }

    std::chrono::nanoseconds monotonic() const override { return m_now; }
    void sleepFor(std::chrono::nanoseconds duration) override { m_now += duration; }
    QDateTime currentDateTime() const override
    {
        return m_start.addMSecs(
            std::chrono::duration_cast<std::chrono::milliseconds>(m_now).count());
    }

    // Moves on to the given simulated time, never back.
    void advanceTo(std::chrono::nanoseconds at) { m_now = std::max(m_now, at); }

private:
    QDateTime m_start;
    std::chrono::nanoseconds m_now{0};
};
