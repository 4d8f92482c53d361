#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QtGlobal>

struct StationState;

// The message a read cycle gives subscribers: its time, a sequence number,
// and only the values read in that cycle, so that a stale value is never
// taken for a fresh one:
//   {"time":"2026-12-08T14:05:30.120+01:00","seq":17,"therm1":21.5,...,
//    "ph1_mv":2545.3,"ph1":6.878,...,"flow_hz":172.5,"flow_lpm":1.5,"liters":37.25}
namespace ReadingsMessage {

// How many readings of each module the record had taken, to tell what a
// cycle read.
struct ReadCounts
{
    quint32 therm[3] = {};
    quint32 flow = 0;
    quint32 probe[2] = {};
    quint32 pH[2] = {};

    static ReadCounts of(const StationState &state);
};

// The JSON of what was read since `before`; empty when nothing was.
QByteArray json(const StationState &state, const ReadCounts &before, const QDateTime &time,
                quint64 seq);

} // namespace ReadingsMessage
