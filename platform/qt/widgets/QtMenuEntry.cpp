#include "platform/qt/widgets/QtMenuEntry.h"

#include <QAction>

QtMenuEntry::QtMenuEntry(QAction *action) : m_action(action)
{
    m_connection =
        QObject::connect(action, &QAction::triggered, action, [this] { clicked.notify(); });
}

QtMenuEntry::~QtMenuEntry()
{
    QObject::disconnect(m_connection);
}

void QtMenuEntry::setEnabled(bool enabled)
{
    m_action->setEnabled(enabled);
}

bool QtMenuEntry::isEnabled() const
{
    return m_action->isEnabled();
}
