#include "calibration/ui/DateEditPicker.h"

#include <QDateEdit>
#include <QSignalBlocker>

DateEditPicker::DateEditPicker(QDateEdit *edit) : m_edit(edit)
{
    m_changed = QObject::connect(m_edit, &QDateEdit::dateChanged, m_edit, [this] { changed.notify(); });
}

// The editor may outlive the adapter while its window is torn down.
DateEditPicker::~DateEditPicker()
{
    QObject::disconnect(m_changed);
}

void DateEditPicker::setDate(const QDate &date)
{
    const QSignalBlocker quiet(m_edit);
    m_edit->setDate(date);
}

QDate DateEditPicker::date() const
{
    return m_edit->date();
}
