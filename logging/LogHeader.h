#pragma once

#include "logging/LogValue.h"

#include <QDate>
#include <QLocale>
#include <QVector>

struct StationState;

// The twelve lines that open every logging run: program and date, version,
// the calibration in force, the file name and the column names.
namespace LogHeader {

// Numbers and the calibration date inside the texts use the given locale.
QVector<LogLine> lines(const StationState &state, const QString &logFileName, const QDate &today,
                       const QLocale &locale = QLocale());

} // namespace LogHeader
