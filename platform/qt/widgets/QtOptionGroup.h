#pragma once

#include "platform/OptionGroup.h"
#include "platform/qt/widgets/ScopedConnection.h"

class QButtonGroup;

// Members are the group's buttons by id. clicked() is raised when a member
// becomes selected, by the operator or by select(), and by every select()
// of a member, also of the one already selected. The operator's click on the
// member already selected changes nothing and raises nothing, so a handler
// that reloads (and so discards the operator's edits) does not run for it.
class QtOptionGroup : public OptionGroup
{
public:
    explicit QtOptionGroup(QButtonGroup *group);
    int selected() const override;
    // A member the group does not have is ignored, without a click.
    void select(int member) override;
    void setMemberEnabled(int member, bool enabled) override;

private:
    QButtonGroup *m_group;
    ScopedConnection m_connection;
};
