#pragma once

#include <QLocale>
#include <QStringList>

#include <array>

// The logger timer's intervals, chosen by position in the interval list.
inline constexpr std::array<int, 8> LOG_INTERVALS_MS{60000, 30000, 15000, 10000,
                                                     5000,  2000,  1000,  500};

namespace LogIntervals {

// The entry texts of the list: whole seconds, and 0.5 in the locale's form.
QStringList entries(const QLocale &locale = QLocale());

// The position of an interval given in seconds, or -1 when it is not listed.
int positionOfSeconds(double seconds);

// "60, 30, 15, 10, 5, 2, 1 or 0.5", for messages about a wrong interval.
QString choicesText();

} // namespace LogIntervals
