#pragma once

#include "platform/Clock.h"

// The machine's steady clock and local time.
class SystemClock : public Clock
{
public:
    std::chrono::nanoseconds monotonic() const override;
    void sleepFor(std::chrono::nanoseconds duration) override;
    QDateTime currentDateTime() const override;
};
