#pragma once

#include "platform/Button.h"

class FakeButton : public Button
{
public:
    bool m_enabled = true;
    void setEnabled(bool on) override { m_enabled = on; }
    bool isEnabled() const override { return m_enabled; }
    // The operator pressing it: a disabled button cannot be pressed.
    void press()
    {
        if (m_enabled)
            clicked.notify();
    }
};
