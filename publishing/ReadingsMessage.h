#pragma once

#include "publishing/JsonMessage.h"

#include <QByteArray>
#include <QDateTime>
#include <QtGlobal>

struct CycleReads;
struct StationState;

// The message a read cycle gives subscribers: its time, a sequence number,
// and only the values read in that cycle, so that a stale value is never
// taken for a fresh one:
//   {"time":"2026-12-08T14:05:30.120+01:00","seq":17,"therm1":21.5,...,
//    "ph1_mv":2545.3,"ph1":6.878,...,"flow_hz":172.5,"flow_lpm":1.5,"liters":37.25}
namespace ReadingsMessage {

// The JSON of what the cycle read; empty when it read nothing.
QByteArray json(const StationState &state, const CycleReads &reads, const QDateTime &time,
                quint64 seq);

} // namespace ReadingsMessage

// A message on "events": its time, where it comes from, what happened, any
// counts, and the text as the journal has it.
//   {"time":"2026-12-08T14:05:30.120+01:00","source":"6","kind":"fault","text":"..."}
namespace EventMessage {

QByteArray json(const QDateTime &time, const QString &source, const QString &kind,
                const QString &text, const JsonMessage &counts = JsonMessage());

} // namespace EventMessage
