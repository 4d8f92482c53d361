#pragma once

#include "platform/Notifier.h"

// Exclusive option buttons, members from 0. Selecting by program raises clicked();
// the operator raises it by choosing a member, not by clicking the one already chosen.
class OptionGroup
{
public:
    static constexpr int None = -1;

    virtual ~OptionGroup() = default;
    virtual int selected() const = 0;
    virtual void select(int member) = 0;
    virtual void setMemberEnabled(int member, bool enabled) = 0;

    Notifier<int> clicked;
};
