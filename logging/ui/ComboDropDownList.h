#pragma once

#include "platform/DropDownList.h"

class QComboBox;

namespace LogUi {

class ComboDropDownList : public DropDownList
{
public:
    explicit ComboDropDownList(QComboBox *combo);

    // Fills the list with no entry chosen.
    void setEntries(const QStringList &entries) override;
    int currentPosition() const override;

private:
    QComboBox *m_combo;
};

} // namespace LogUi
