#include "platform/qt/widgets/QtTextEntry.h"

#include <QLineEdit>

QtTextEntry::QtTextEntry(QLineEdit *edit) : m_edit(edit)
{
}

void QtTextEntry::setText(const QString &text)
{
    m_edit->setText(text);
}

QString QtTextEntry::text() const
{
    return m_edit->text();
}
