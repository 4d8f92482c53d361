#pragma once

#include "platform/MenuEntry.h"

#include <QMetaObject>

class QAction;

class QtMenuEntry : public MenuEntry
{
public:
    explicit QtMenuEntry(QAction *action);
    // Lets go of the widget's signal: the widget may outlive the adapter.
    ~QtMenuEntry() override;
    QtMenuEntry(const QtMenuEntry &) = delete;
    QtMenuEntry &operator=(const QtMenuEntry &) = delete;
    void setEnabled(bool enabled) override;
    bool isEnabled() const override;

private:
    QMetaObject::Connection m_connection;
    QAction *m_action;
};
