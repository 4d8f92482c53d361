#pragma once

#include "platform/Switch.h"
#include "platform/qt/widgets/ScopedConnection.h"

class QAbstractButton;
class QAction;

// A checkable button, or a checkable menu entry, as a switch: changed()
// follows every toggle, by the operator or by setValue(). A button that does
// not latch (a momentary "Reset") changes its value, and so notifies, once
// per press.
class QtSwitch : public Switch
{
public:
    explicit QtSwitch(QAbstractButton *button);
    explicit QtSwitch(QAction *entry);
    bool value() const override;
    void setValue(bool on) override;

private:
    QAbstractButton *m_button = nullptr;
    QAction *m_entry = nullptr;
    bool m_pressValue = false; // the value of a button that does not latch
    ScopedConnection m_connection;
};
