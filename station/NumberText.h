#pragma once

#include <QLocale>
#include <QString>

// Number helpers shared by the channel readers, the displays and the log.
namespace NumberText {

// value x 10^decimals rounded to the nearest whole number, an exact half to
// the even neighbour, then divided back.
double roundHalfEven(double value, int decimals);

// The general number text of the displays: 15 significant digits, no
// trailing zeros or trailing decimal point, no digit grouping, the locale's
// decimal separator.
QString display(double value, const QLocale &locale = QLocale());

// The same form with a period, whatever the locale (log number values).
QString plain(double value);

// A module answer's value field as a number: optional sign, digits and a
// period, blanks around allowed; anything else (or nothing) is not a number.
bool parseValueField(const QString &field, double *value);

} // namespace NumberText
