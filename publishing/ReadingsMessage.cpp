#include "logging/ReadingsMessage.h"

#include "station/StationState.h"

#include <QLocale>

namespace {

void add(QByteArray &json, const char *name, double value)
{
    json += ",\"";
    json += name;
    json += "\":";
    json += QByteArray::number(value, 'g', QLocale::FloatingPointShortest);
}

} // namespace

namespace ReadingsMessage {

ReadCounts ReadCounts::of(const StationState &state)
{
    ReadCounts counts;
    counts.therm[0] = state.therm1Reads;
    counts.therm[1] = state.therm2Reads;
    counts.therm[2] = state.therm3Reads;
    counts.flow = state.flowReads;
    counts.probe[0] = state.probe1Reads;
    counts.probe[1] = state.probe2Reads;
    counts.pH[0] = state.probe1pHReads;
    counts.pH[1] = state.probe2pHReads;
    return counts;
}

QByteArray json(const StationState &state, const ReadCounts &before, const QDateTime &time,
                quint64 seq)
{
    const ReadCounts now = ReadCounts::of(state);
    QByteArray values;
    if (now.therm[0] != before.therm[0])
        add(values, "therm1", state.therm1Temp);
    if (now.therm[1] != before.therm[1])
        add(values, "therm2", state.therm2Temp);
    if (now.therm[2] != before.therm[2])
        add(values, "therm3", state.therm3Temp);
    if (now.probe[0] != before.probe[0])
        add(values, "ph1_mv", state.probe1mV);
    if (now.pH[0] != before.pH[0])
        add(values, "ph1", state.probe1pH);
    if (now.probe[1] != before.probe[1])
        add(values, "ph2_mv", state.probe2mV);
    if (now.pH[1] != before.pH[1])
        add(values, "ph2", state.probe2pH);
    if (now.flow != before.flow) {
        add(values, "flow_hz", state.flowHz);
        add(values, "flow_lpm", state.flowLpm);
        add(values, "liters", state.totalLiters);
    }
    if (values.isEmpty())
        return {};
    const QDateTime stamped = time.toOffsetFromUtc(time.offsetFromUtc());
    return "{\"time\":\"" + stamped.toString(Qt::ISODateWithMs).toLatin1() +
        "\",\"seq\":" + QByteArray::number(seq) + values + '}';
}

} // namespace ReadingsMessage
