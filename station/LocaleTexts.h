#pragma once

#include "station/OleDate.h"

#include <QDate>
#include <QLocale>
#include <QString>
#include <QTime>

// The user's date and time forms, as the log writes them inside texts and the
// calibration shows them.
namespace LocaleTexts {

// The locale's long time format without its time-zone name, or the comma or
// brackets around it: "h:mm:ss AP" under en_US, "HH:mm:ss" under de_DE.
QString longTimeFormat(const QLocale &locale = QLocale());

// The locale's short date format with a four-digit year: "M/d/yyyy" under
// en_US, "dd.MM.yyyy" under de_DE, "MM/dd/yyyy" in the C locale.
QString shortDateFormat(const QLocale &locale = QLocale());

QString timeText(const QTime &time, const QLocale &locale = QLocale());

// A date value as a text: the short date, then a blank and the long time
// only when the value holds a time of day other than midnight.
QString dateText(OleDate value, const QLocale &locale = QLocale());

} // namespace LocaleTexts
