#pragma once

#include "platform/Notifier.h"

#include <QDate>

// A date without time of day; changed() is raised by the operator's edits only.
class DatePicker
{
public:
    virtual ~DatePicker() = default;
    virtual void setDate(const QDate &date) = 0;
    virtual QDate date() const = 0;

    Notifier<> changed;
};
