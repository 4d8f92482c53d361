#include "publishing/ReadingsMessage.h"

#include "channels/CycleReads.h"
#include "station/IsoTime.h"
#include "station/StationState.h"

namespace ReadingsMessage {

QByteArray json(const StationState &state, const CycleReads &reads, const QDateTime &time,
                quint64 seq)
{
    JsonMessage values;
    if (reads.therm(0))
        values.add("therm1", state.therm1Temp);
    if (reads.therm(1))
        values.add("therm2", state.therm2Temp);
    if (reads.therm(2))
        values.add("therm3", state.therm3Temp);
    if (reads.probe(0))
        values.add("ph1_mv", state.probe1mV);
    if (reads.pH(0))
        values.add("ph1", state.probe1pH);
    if (reads.probe(1))
        values.add("ph2_mv", state.probe2mV);
    if (reads.pH(1))
        values.add("ph2", state.probe2pH);
    if (reads.flow()) {
        values.add("flow_hz", state.flowHz);
        values.add("flow_lpm", state.flowLpm);
        values.add("liters", state.totalLiters);
    }
    if (values.isEmpty())
        return {};
    return JsonMessage()
        .add("time", IsoTime::withOffset(time, true))
        .add("seq", quint64(seq))
        .merge(values)
        .bytes();
}

} // namespace ReadingsMessage

QByteArray EventMessage::json(const QDateTime &time, const QString &source, const QString &kind,
                              const QString &text, const JsonMessage &counts)
{
    return JsonMessage()
        .add("time", IsoTime::withOffset(time, true))
        .add("source", source)
        .add("kind", kind)
        .merge(counts)
        .add("text", text)
        .bytes();
}
