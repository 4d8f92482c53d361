#include "platform/qt/widgets/QtButton.h"

#include <QAbstractButton>

QtButton::QtButton(QAbstractButton *button) : m_button(button)
{
    m_connection =
        QObject::connect(button, &QAbstractButton::clicked, button, [this] { clicked.notify(); });
}

QtButton::~QtButton()
{
    QObject::disconnect(m_connection);
}

void QtButton::setEnabled(bool enabled)
{
    m_button->setEnabled(enabled);
}

bool QtButton::isEnabled() const
{
    return m_button->isEnabled();
}
