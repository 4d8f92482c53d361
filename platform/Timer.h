#pragma once

#include "platform/Notifier.h"

// A window timer: ticks every interval ms while enabled; interval 0 never ticks.
// A tick that falls due while the thread is busy is delivered once, later.
class Timer
{
public:
    virtual ~Timer() = default;
    virtual void setInterval(int ms) = 0;
    virtual int interval() const = 0;
    virtual void setEnabled(bool enabled) = 0;
    virtual bool isEnabled() const = 0;

    Notifier<> tick;
};
