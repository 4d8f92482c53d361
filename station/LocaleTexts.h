#pragma once

#include "station/OleDate.h"

#include <QDate>
#include <QLocale>
#include <QString>
#include <QTime>

// The user's date and time forms, as the log writes them inside texts and the
// calibration shows them.
namespace LocaleTexts {

// The locale's long time format without its time-zone name: "h:mm:ss AP"
// under en_US, "HH:mm:ss" under de_DE.
QString longTimeFormat(const QLocale &locale = QLocale());

// The locale's short date format with a four-digit year: "M/d/yyyy" under
// en_US, "dd.MM.yyyy" under de_DE, "MM/dd/yyyy" in the C locale.
QString shortDateFormat(const QLocale &locale = QLocale());

QString timeText(const QTime &time, const QLocale &locale = QLocale());

// The time of day a log's time text stands for: the locale's long time form
// first, then any hours, minutes and seconds with an AM or PM marker (the
// locale's own, or the English one) where there is one, so that a log
// written under another locale still reads. Invalid when it is no time.
QTime timeFromText(const QString &text, const QLocale &locale = QLocale());

// A date value as a text: the short date, then a blank and the long time
// only when the value holds a time of day other than midnight.
QString dateText(OleDate value, const QLocale &locale = QLocale());

} // namespace LocaleTexts
