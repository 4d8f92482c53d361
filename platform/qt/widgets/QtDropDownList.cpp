#include "platform/qt/widgets/QtDropDownList.h"

#include <QComboBox>

QtDropDownList::QtDropDownList(QComboBox *combo) : m_combo(combo)
{
}

void QtDropDownList::setEntries(const QStringList &entries)
{
    m_combo->clear();
    m_combo->addItems(entries);
    // A combo that gets entries chooses the first by itself.
    m_combo->setCurrentIndex(-1);
}

int QtDropDownList::currentPosition() const
{
    const int index = m_combo->currentIndex();
    return index < 0 ? None : index;
}
