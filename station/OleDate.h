#pragma once

#include <QDate>
#include <QDateTime>
#include <QTime>

// The platform's date value: days since 30 December 1899 as a double; the
// fraction is the time of day. A time of day alone has a zero date part.
using OleDate = double;

namespace OleDates {
QDate epoch();
OleDate fromDate(const QDate &date);
OleDate fromDateTime(const QDateTime &dateTime);
// The fraction of a day, 0 at midnight, 0.5 at noon.
OleDate fromTime(const QTime &time);
QDate toDate(OleDate value);
// The time-of-day part, to the nearest millisecond; also for values beyond one day.
QTime toTime(OleDate value);
} // namespace OleDates
