#include "logging/ui/PushButtonAdapter.h"

#include <QPushButton>

namespace LogUi {

PushButtonAdapter::PushButtonAdapter(QPushButton *button)
    : m_button(button)
{
    QObject::connect(m_button, &QPushButton::clicked, m_button, [this] { clicked.notify(); });
}

void PushButtonAdapter::setEnabled(bool enabled)
{
    m_button->setEnabled(enabled);
}

bool PushButtonAdapter::isEnabled() const
{
    return m_button->isEnabled();
}

} // namespace LogUi
