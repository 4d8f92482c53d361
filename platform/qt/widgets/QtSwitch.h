#pragma once

#include "platform/Switch.h"
#include "platform/qt/widgets/ScopedConnection.h"

class QAbstractButton;
class QAction;

// A checkable button, or a checkable menu entry, as a switch: changed()
// follows every toggle, by the operator or by setValue().
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
    ScopedConnection m_connection;
};
