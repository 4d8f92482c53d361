#pragma once

#include "platform/Notifier.h"

class MenuEntry
{
public:
    virtual ~MenuEntry() = default;
    virtual void setEnabled(bool enabled) = 0;
    virtual bool isEnabled() const = 0;

    Notifier<> clicked;
};
