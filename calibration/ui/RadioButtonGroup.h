#pragma once

#include "platform/OptionGroup.h"

#include <QList>
#include <QMetaObject>

class QButtonGroup;
class QRadioButton;

// Exclusive radio buttons as an option group, members numbered in the order
// given. clicked() is raised when a member becomes selected, by the operator
// or by select(); clicking the member already selected raises nothing.
class RadioButtonGroup : public OptionGroup
{
public:
    RadioButtonGroup(QButtonGroup *group, const QList<QRadioButton *> &members);
    ~RadioButtonGroup() override;

    int selected() const override;
    void select(int member) override;
    void setMemberEnabled(int member, bool enabled) override;

private:
    QButtonGroup *m_group;
    QMetaObject::Connection m_toggled;
};
