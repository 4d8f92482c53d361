#pragma once

#include "platform/DatePicker.h"
#include "platform/qt/widgets/ScopedConnection.h"

class QDateEdit;

// A date edit as a date picker: changed() follows the operator's edits
// (typing, the calendar popup), never setDate().
class QtDatePicker : public DatePicker
{
public:
    explicit QtDatePicker(QDateEdit *edit);
    void setDate(const QDate &date) override;
    QDate date() const override;

private:
    QDateEdit *m_edit;
    bool m_settingDate = false;
    ScopedConnection m_connection;
};
