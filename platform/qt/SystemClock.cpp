#include "platform/qt/SystemClock.h"

#include <thread>

std::chrono::nanoseconds SystemClock::monotonic() const
{
    return std::chrono::steady_clock::now().time_since_epoch();
}

void SystemClock::sleepFor(std::chrono::nanoseconds duration)
{
    std::this_thread::sleep_for(duration);
}

QDateTime SystemClock::currentDateTime() const
{
    return QDateTime::currentDateTime();
}
