#include "platform/qt/widgets/QtSwitch.h"

#include <QAbstractButton>

QtSwitch::QtSwitch(QAbstractButton *button)
    : m_button(button)
    , m_connection(QObject::connect(button, &QAbstractButton::toggled, button,
                                    [this](bool) { changed.notify(); }))
{
}

bool QtSwitch::value() const
{
    return m_button->isChecked();
}

void QtSwitch::setValue(bool on)
{
    m_button->setChecked(on);
}
