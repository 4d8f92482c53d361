#include "platform/qt/widgets/QtLabel.h"

#include <QLabel>
#include <QLineEdit>

QtLabel::QtLabel(QLabel *label) : m_label(label)
{
}

QtLabel::QtLabel(QLineEdit *entry) : m_entry(entry)
{
}

void QtLabel::setText(const QString &text)
{
    if (m_label)
        m_label->setText(text);
    else
        m_entry->setText(text);
}

QString QtLabel::text() const
{
    return m_label ? m_label->text() : m_entry->text();
}
