#include "station/OleDate.h"

#include <cmath>

namespace {
constexpr double MsPerDay = 86400000.0;
}

namespace OleDates {

QDate epoch()
{
    return QDate(1899, 12, 30);
}

OleDate fromDate(const QDate &date)
{
    return static_cast<double>(epoch().daysTo(date));
}

OleDate fromTime(const QTime &time)
{
    return time.msecsSinceStartOfDay() / MsPerDay;
}

OleDate fromDateTime(const QDateTime &dateTime)
{
    // Before the epoch the fraction counts away from zero, as the date value
    // keeps the time of day in its absolute fraction.
    const double days = fromDate(dateTime.date());
    const double fraction = fromTime(dateTime.time());
    return days < 0 ? days - fraction : days + fraction;
}

QDate toDate(OleDate value)
{
    return epoch().addDays(static_cast<qint64>(std::trunc(value)));
}

QTime toTime(OleDate value)
{
    double fraction = std::fabs(value - std::trunc(value));
    qint64 ms = std::llround(fraction * MsPerDay);
    if (ms >= static_cast<qint64>(MsPerDay))
        ms = 0;
    return QTime::fromMSecsSinceStartOfDay(static_cast<int>(ms));
}

} // namespace OleDates
