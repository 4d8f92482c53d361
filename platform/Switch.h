#pragma once

#include "platform/Notifier.h"

// A two-state button showing the caption of its current state. Plain push
// buttons ("Reset") toggle their value on each press, so each press is a change.
class Switch
{
public:
    virtual ~Switch() = default;
    virtual bool value() const = 0;
    // Raises changed() when the value changes.
    virtual void setValue(bool on) = 0;

    Notifier<> changed;
};
