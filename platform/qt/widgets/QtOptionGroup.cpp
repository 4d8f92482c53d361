#include "platform/qt/widgets/QtOptionGroup.h"

#include <QAbstractButton>
#include <QButtonGroup>

// Toggled, not clicked: the member is already the group's checked one when
// the handler asks, and a click on it again is no change.
QtOptionGroup::QtOptionGroup(QButtonGroup *group)
    : m_group(group)
    , m_connection(
          QObject::connect(group, &QButtonGroup::idToggled, group, [this](int id, bool checked) {
              if (checked)
                  clicked.notify(id);
          }))
{
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
    if (button->isChecked())
        clicked.notify(member); // no toggle to report it
    else
        button->setChecked(true);
}

void QtOptionGroup::setMemberEnabled(int member, bool enabled)
{
    if (QAbstractButton *button = m_group->button(member))
        button->setEnabled(enabled);
}
