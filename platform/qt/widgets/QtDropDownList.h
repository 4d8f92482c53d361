#pragma once

#include "platform/DropDownList.h"

class QComboBox;

// A combo box as a drop-down list, positions as the combo's indexes.
class QtDropDownList : public DropDownList
{
public:
    explicit QtDropDownList(QComboBox *combo);
    // Fills the list with no entry chosen.
    void setEntries(const QStringList &entries) override;
    int currentPosition() const override;

private:
    QComboBox *m_combo;
};
