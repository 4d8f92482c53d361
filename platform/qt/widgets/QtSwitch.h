#pragma once

#include "platform/Switch.h"
#include "platform/qt/widgets/ScopedConnection.h"

class QAbstractButton;

// A checkable button as a switch: changed() follows every toggle, by press
// or by setValue().
class QtSwitch : public Switch
{
public:
    explicit QtSwitch(QAbstractButton *button);
    bool value() const override;
    void setValue(bool on) override;

private:
    QAbstractButton *m_button;
    ScopedConnection m_connection;
};
