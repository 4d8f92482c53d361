#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

struct Alarm;

// How an alarm is put into words and into messages.
namespace AlarmMessage {

// The journal's text of an alarm that has just made the transition `kind`:
// its name and description first, then what happened, with its value and limit.
//   ph1.high (pH 1 high): 8.59 pH, above the limit 7.5 pH
QString transitionText(const Alarm &alarm, const QString &kind);

// A value as the station writes it for machines and people alike: digits
// 0-9 and a period, at most 10 significant digits; empty for no value.
QString number(double value);

// Its retained state on "alarms/<name>", as of `time`:
//   {"time":"...","alarm":"ph1.high","description":"pH 1 high","state":"active",
//    "value":8.59,"limit":7.5,"unit":"pH","since":"..."}
// "since" is null while it has always been normal, "value" before its first value.
QString topic(const QString &name);
QByteArray stateJson(const Alarm &alarm, const QDateTime &time);

} // namespace AlarmMessage
