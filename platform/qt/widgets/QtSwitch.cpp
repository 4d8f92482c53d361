#include "platform/qt/widgets/QtSwitch.h"

#include <QAbstractButton>
#include <QAction>

QtSwitch::QtSwitch(QAbstractButton *button)
    : m_button(button)
    , m_connection(QObject::connect(button, &QAbstractButton::toggled, button,
                                    [this](bool) { changed.notify(); }))
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
    return m_button ? m_button->isChecked() : m_entry->isChecked();
}

void QtSwitch::setValue(bool on)
{
    if (m_button)
        m_button->setChecked(on);
    else
        m_entry->setChecked(on);
}
