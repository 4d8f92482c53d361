#pragma once

#include "platform/OptionGroup.h"

class QButtonGroup;

// Members are the group's buttons by id. An operator's click and select()
// both raise clicked() once.
class QtOptionGroup : public OptionGroup
{
public:
    explicit QtOptionGroup(QButtonGroup *group);
    int selected() const override;
    void select(int member) override;
    void setMemberEnabled(int member, bool enabled) override;

private:
    QButtonGroup *m_group;
};
