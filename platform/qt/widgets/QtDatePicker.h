#pragma once

#include "platform/DatePicker.h"

#include <QMetaObject>

class QDateEdit;

// A date edit as a date picker: changed() follows the operator's edits
// (typing, the calendar popup), never setDate().
class QtDatePicker : public DatePicker
{
public:
    explicit QtDatePicker(QDateEdit *edit);
    // Lets go of the widget's signal: the widget may outlive the adapter.
    ~QtDatePicker() override;
    QtDatePicker(const QtDatePicker &) = delete;
    QtDatePicker &operator=(const QtDatePicker &) = delete;
    void setDate(const QDate &date) override;
    QDate date() const override;

private:
    QMetaObject::Connection m_connection;
    QDateEdit *m_edit;
    bool m_settingDate = false;
};
