#include "platform/qt/widgets/QtButton.h"

#include <QAbstractButton>
#include <QAction>

QtButton::QtButton(QAbstractButton *button)
    : m_button(button)
    , m_clicks(
          QObject::connect(button, &QAbstractButton::clicked, button, [this] { clicked.notify(); }))
{
}

QtButton::QtButton(QAction *entry)
    : m_entry(entry)
    , m_clicks(QObject::connect(entry, &QAction::triggered, entry, [this] { clicked.notify(); }))
{
}

void QtButton::setEnabled(bool enabled)
{
    if (m_button)
        m_button->setEnabled(enabled);
    else
        m_entry->setEnabled(enabled);
}

bool QtButton::isEnabled() const
{
    return m_button ? m_button->isEnabled() : m_entry->isEnabled();
}
