#pragma once

#include <QDate>
#include <QString>

// A log rotated daily: NAME-YYYY-MM-DD.EXT ("tank-2026-12-09.csv"), one file
// a day in one folder.
namespace DailyLog {

// The day a file's name gives; invalid when it is no daily log's name.
QDate dateOf(const QString &fileName);

// The next day's file beside a daily log (the first later one there, days
// may be missing); empty when there is none yet, or the file is no daily log.
QString nextAfter(const QString &fileName);

} // namespace DailyLog
