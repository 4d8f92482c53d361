#include "logging/ui/ComboDropDownList.h"

#include <QComboBox>

namespace LogUi {

ComboDropDownList::ComboDropDownList(QComboBox *combo)
    : m_combo(combo)
{
}

void ComboDropDownList::setEntries(const QStringList &entries)
{
    m_combo->clear();
    m_combo->addItems(entries);
    m_combo->setCurrentIndex(-1);
}

int ComboDropDownList::currentPosition() const
{
    return m_combo->currentIndex() < 0 ? None : m_combo->currentIndex();
}

} // namespace LogUi
