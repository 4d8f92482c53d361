#pragma once

#include <QDateTime>

#include <chrono>

// Time as the station needs it: a monotonic clock for the answer wait, and
// the wall clock for chart points and log records. Tests substitute a fake
// so the wait and the time of day are under their control.
class Clock
{
public:
    virtual ~Clock() = default;

    // Monotonic time since an arbitrary start; never wraps, never goes back.
    virtual std::chrono::nanoseconds monotonic() const = 0;
    // Blocks the calling thread for about the given time without spinning.
    virtual void sleepFor(std::chrono::nanoseconds duration) = 0;
    // The local date and time of day.
    virtual QDateTime currentDateTime() const = 0;
};
