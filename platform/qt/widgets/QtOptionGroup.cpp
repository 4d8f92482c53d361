#include "platform/qt/widgets/QtOptionGroup.h"

#include <QAbstractButton>
#include <QButtonGroup>

QtOptionGroup::QtOptionGroup(QButtonGroup *group)
    : m_group(group)
{
    m_connection = QObject::connect(group, &QButtonGroup::idClicked, group, [this](int id) { clicked.notify(id); });
}

QtOptionGroup::~QtOptionGroup()
{
    QObject::disconnect(m_connection);
}

int QtOptionGroup::selected() const
{
    const int id = m_group->checkedId();
    return id < 0 ? None : id;
}

void QtOptionGroup::select(int member)
{
    QAbstractButton *button = m_group->button(member);
    if (!button)
        return;
    button->setChecked(true);
    clicked.notify(member);
}

void QtOptionGroup::setMemberEnabled(int member, bool enabled)
{
    if (QAbstractButton *button = m_group->button(member))
        button->setEnabled(enabled);
}
