#pragma once

#include <QDate>
#include <QLocale>
#include <QString>

// The text forms of stored calibration values.
namespace CalibrationText {

// An offset or slope as the operator typed it: the locale's decimal form,
// else the form with a period; blanks around allowed, no digit grouping,
// finite values only.
bool toNumber(const QString &text, double *value);

// The date text written to the store: ISO yyyy-MM-dd, the same on every
// locale and free of two-digit years.
QString fromDate(const QDate &date);

// A stored date text: ISO, or a short date with slashes, dots or dashes in the
// locale's day/month order (month first unless the locale's short date puts
// the day first; the C locale counts as month first). Years of one or two digits are 2000-2029 for
// 00-29 and 1930-1999 for 30-99, so the old default "01/01/01" is 1 January 2001. An invalid QDate
// when the text is none of these.
QDate toDate(const QString &text, const QLocale &locale = QLocale());

} // namespace CalibrationText
