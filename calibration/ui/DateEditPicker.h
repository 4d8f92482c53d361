#pragma once

#include "platform/DatePicker.h"

#include <QMetaObject>

class QDateEdit;

// A QDateEdit as a date picker: changed() follows the operator's edits only.
class DateEditPicker : public DatePicker
{
public:
    explicit DateEditPicker(QDateEdit *edit);
    ~DateEditPicker() override;
    void setDate(const QDate &date) override;
    QDate date() const override;

private:
    QDateEdit *m_edit;
    QMetaObject::Connection m_changed;
};
