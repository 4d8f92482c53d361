#pragma once

#include "platform/Button.h"

#include <QMetaObject>

class QAbstractButton;

class QtButton : public Button
{
public:
    explicit QtButton(QAbstractButton *button);
    // Lets go of the widget's signal: the widget may outlive the adapter.
    ~QtButton() override;
    QtButton(const QtButton &) = delete;
    QtButton &operator=(const QtButton &) = delete;
    void setEnabled(bool enabled) override;
    bool isEnabled() const override;

private:
    QMetaObject::Connection m_connection;
    QAbstractButton *m_button;
};
