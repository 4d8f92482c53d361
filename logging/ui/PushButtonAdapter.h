#pragma once

#include "platform/Button.h"

class QPushButton;

namespace LogUi {

class PushButtonAdapter : public Button
{
public:
    explicit PushButtonAdapter(QPushButton *button);

    void setEnabled(bool enabled) override;
    bool isEnabled() const override;

private:
    QPushButton *m_button;
};

} // namespace LogUi
