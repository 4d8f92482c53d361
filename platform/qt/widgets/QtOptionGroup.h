#pragma once

#include "platform/OptionGroup.h"

#include <QMetaObject>

class QButtonGroup;

// Members are the group's buttons by id. An operator's click and select()
// both raise clicked() once.
class QtOptionGroup : public OptionGroup
{
public:
    explicit QtOptionGroup(QButtonGroup *group);
    // Lets go of the widget's signal: the widget may outlive the adapter.
    ~QtOptionGroup() override;
    QtOptionGroup(const QtOptionGroup &) = delete;
    QtOptionGroup &operator=(const QtOptionGroup &) = delete;
    int selected() const override;
    void select(int member) override;
    void setMemberEnabled(int member, bool enabled) override;

private:
    QMetaObject::Connection m_connection;
    QButtonGroup *m_group;
};
