#include "calibration/ui/RadioButtonGroup.h"

#include <QButtonGroup>
#include <QRadioButton>

RadioButtonGroup::RadioButtonGroup(QButtonGroup *group, const QList<QRadioButton *> &members)
    : m_group(group)
{
    m_group->setExclusive(true);
    for (int i = 0; i < members.size(); ++i)
        m_group->addButton(members.at(i), i);
    m_toggled = QObject::connect(m_group, &QButtonGroup::idToggled, m_group,
                                 [this](int id, bool checked) {
                                     if (checked)
                                         clicked.notify(id);
                                 });
}

// The buttons may outlive the adapter while their window is torn down.
RadioButtonGroup::~RadioButtonGroup()
{
    QObject::disconnect(m_toggled);
}

int RadioButtonGroup::selected() const
{
    const int id = m_group->checkedId();
    return id < 0 ? None : id;
}

void RadioButtonGroup::select(int member)
{
    QAbstractButton *button = m_group->button(member);
    if (!button)
        return;
    if (button->isChecked())
        clicked.notify(member); // no toggle to report it
    else
        button->setChecked(true);
}

void RadioButtonGroup::setMemberEnabled(int member, bool enabled)
{
    if (QAbstractButton *button = m_group->button(member))
        button->setEnabled(enabled);
}
