#include "calibration/ui/LineEditEntry.h"

#include <QLineEdit>

void LineEditEntry::setText(const QString &text)
{
    m_edit->setText(text);
}

QString LineEditEntry::text() const
{
    return m_edit->text();
}
