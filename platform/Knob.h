#pragma once

#include "platform/Notifier.h"

class Knob
{
public:
    virtual ~Knob() = default;
    virtual double value() const = 0;
    // Raises changed() when the value changes.
    virtual void setValue(double value) = 0;

    Notifier<> changed;
};
