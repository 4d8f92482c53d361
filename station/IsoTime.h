#pragma once

#include <QDateTime>
#include <QString>

// A moment as every file and message of the station gives it: the local
// date and time in ISO 8601 with its UTC offset, in the digits 0-9 whatever
// the locale ("2026-12-08T14:05:30+01:00", or "...14:05:30.120+01:00" with
// milliseconds).
namespace IsoTime {

QString withOffset(const QDateTime &time, bool milliseconds = false);

// A moment given in that form, at its own offset (date() and time() are the
// wall-clock time it was written at); invalid for anything else.
QDateTime read(const QString &text);

} // namespace IsoTime
