#pragma once

#include "platform/MenuEntry.h"

class QAction;

class QtMenuEntry : public MenuEntry
{
public:
    explicit QtMenuEntry(QAction *action);
    void setEnabled(bool enabled) override;
    bool isEnabled() const override;

private:
    QAction *m_action;
};
