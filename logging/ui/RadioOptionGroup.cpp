#include "logging/ui/RadioOptionGroup.h"

#include <QAbstractButton>
#include <QRadioButton>

namespace LogUi {

RadioOptionGroup::RadioOptionGroup(const QList<QRadioButton *> &members, QObject *owner)
    : m_group(new QButtonGroup(owner))
{
    m_group->setExclusive(true);
    for (int i = 0; i < members.size(); ++i)
        m_group->addButton(members.at(i), i);
    QObject::connect(m_group, &QButtonGroup::idClicked, m_group,
                     [this](int member) { clicked.notify(member); });
}

int RadioOptionGroup::selected() const
{
    return m_group->checkedId() < 0 ? None : m_group->checkedId();
}

void RadioOptionGroup::select(int member)
{
    if (QAbstractButton *button = m_group->button(member))
        button->setChecked(true);
    clicked.notify(member);
}

void RadioOptionGroup::setMemberEnabled(int member, bool enabled)
{
    if (QAbstractButton *button = m_group->button(member))
        button->setEnabled(enabled);
}

} // namespace LogUi
