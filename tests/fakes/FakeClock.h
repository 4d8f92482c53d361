#pragma once

#include "platform/Clock.h"

// Time under the test's control: sleeping advances the monotonic clock at once.
class FakeClock : public Clock
{
public:
    std::chrono::nanoseconds now{std::chrono::hours(1)};
    QDateTime wallClock{QDate(2026, 12, 7), QTime(14, 5, 30)};
    int sleeps = 0;

    std::chrono::nanoseconds monotonic() const override { return now; }
    void sleepFor(std::chrono::nanoseconds duration) override
    {
        ++sleeps;
        now += duration;
    }
    QDateTime currentDateTime() const override { return wallClock; }
};
