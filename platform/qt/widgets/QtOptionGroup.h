#pragma once

#include "platform/OptionGroup.h"

#include <QMetaObject>

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
    // Lets go of the widget's signal: the widget may outlive the adapter.
    ~QtOptionGroup() override;
    QtOptionGroup(const QtOptionGroup &) = delete;
    QtOptionGroup &operator=(const QtOptionGroup &) = delete;
    int selected() const override;
    // A member the group does not have is ignored, without a click.
    void select(int member) override;
    void setMemberEnabled(int member, bool enabled) override;

private:
    QMetaObject::Connection m_connection;
    QButtonGroup *m_group;
};
