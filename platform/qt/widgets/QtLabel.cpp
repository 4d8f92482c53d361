#include "platform/qt/widgets/QtLabel.h"

#include <QLabel>

QtLabel::QtLabel(QLabel *label) : m_label(label)
{
}

void QtLabel::setText(const QString &text)
{
    m_label->setText(text);
}

QString QtLabel::text() const
{
    return m_label->text();
}
