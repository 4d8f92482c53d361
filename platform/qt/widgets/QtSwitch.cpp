#include "platform/qt/widgets/QtSwitch.h"

#include <QAbstractButton>
#include <QAction>

QtSwitch::QtSwitch(QAbstractButton *button)
    : m_button(button)
    , m_connection(button->isCheckable()
                       ? QObject::connect(button, &QAbstractButton::toggled, button,
                                          [this](bool) { changed.notify(); })
                       : QObject::connect(button, &QAbstractButton::clicked, button,
                                          [this] { setValue(!m_pressValue); }))
{
}

QtSwitch::QtSwitch(QAction *entry)
    : m_entry(entry)
    , m_connection(
          QObject::connect(entry, &QAction::toggled, entry, [this](bool) { changed.notify(); }))
{
}

bool QtSwitch::value() const
{
    if (m_entry)
        return m_entry->isChecked();
    return m_button->isCheckable() ? m_button->isChecked() : m_pressValue;
}

void QtSwitch::setValue(bool on)
{
    if (m_entry) {
        m_entry->setChecked(on);
    } else if (m_button->isCheckable()) {
        m_button->setChecked(on);
    } else if (on != m_pressValue) {
        m_pressValue = on;
        changed.notify();
    }
}
