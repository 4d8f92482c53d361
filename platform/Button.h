#pragma once

#include "platform/Notifier.h"

// A push button that the logic enables, disables and hears clicked.
class Button
{
public:
    virtual ~Button() = default;
    virtual void setEnabled(bool enabled) = 0;
    virtual bool isEnabled() const = 0;

    Notifier<> clicked;
};
