#pragma once

#include "platform/Button.h"
#include "platform/qt/widgets/ScopedConnection.h"

class QAbstractButton;
class QAction;
class QWidget;

// A push button or a menu entry as a button: clicked() follows the
// operator's clicks, which a disabled one does not take.
class QtButton : public Button
{
public:
    explicit QtButton(QAbstractButton *button);
    explicit QtButton(QAction *entry);

    void setEnabled(bool enabled) override;
    bool isEnabled() const override;

private:
    QWidget *m_button = nullptr;
    QAction *m_entry = nullptr;
    ScopedConnection m_clicks;
};
