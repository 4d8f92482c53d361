#pragma once

#include "logging/LogValue.h"

#include <QLocale>
#include <QTime>

struct StationState;

// One record line of a run: the time of day in the locale's long time form,
// the nine readings as numbers, and the text the litres label shows.
namespace LogRecord {

LogLine line(const StationState &state, const QTime &time, const QString &liters,
             const QLocale &locale = QLocale());

} // namespace LogRecord
