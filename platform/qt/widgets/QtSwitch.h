#pragma once

#include "platform/Switch.h"

#include <QMetaObject>

class QAbstractButton;

// A checkable button as a switch: changed() follows every toggle, by press
// or by setValue().
class QtSwitch : public Switch
{
public:
    explicit QtSwitch(QAbstractButton *button);
    // Lets go of the widget's signal: the widget may outlive the adapter.
    ~QtSwitch() override;
    QtSwitch(const QtSwitch &) = delete;
    QtSwitch &operator=(const QtSwitch &) = delete;
    bool value() const override;
    void setValue(bool on) override;

private:
    QMetaObject::Connection m_connection;
    QAbstractButton *m_button;
};
