#include "platform/qt/widgets/QtDatePicker.h"

#include <QDateEdit>

QtDatePicker::QtDatePicker(QDateEdit *edit)
    : m_edit(edit)
    , m_connection(QObject::connect(edit, &QDateEdit::dateChanged, edit, [this] {
        if (!m_settingDate)
            changed.notify();
    }))
{
}

void QtDatePicker::setDate(const QDate &date)
{
    // Only this notification is held back; the widget's own signals still go out.
    m_settingDate = true;
    m_edit->setDate(date);
    m_settingDate = false;
}

QDate QtDatePicker::date() const
{
    return m_edit->date();
}
