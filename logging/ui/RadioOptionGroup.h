#pragma once

#include "platform/OptionGroup.h"

#include <QButtonGroup>
#include <QList>

class QRadioButton;

namespace LogUi {

// Radio buttons as one exclusive group, members numbered in the given order.
class RadioOptionGroup : public OptionGroup
{
public:
    RadioOptionGroup(const QList<QRadioButton *> &members, QObject *owner);

    int selected() const override;
    void select(int member) override;
    void setMemberEnabled(int member, bool enabled) override;

private:
    QButtonGroup *m_group;
};

} // namespace LogUi
