#pragma once

#include "platform/Notifier.h"

// A push button or a menu entry: the logic enables and disables it and hears
// it clicked. A disabled one cannot be clicked.
class Button
{
public:
    virtual ~Button() = default;
    virtual void setEnabled(bool enabled) = 0;
    virtual bool isEnabled() const = 0;

    Notifier<> clicked;
};
