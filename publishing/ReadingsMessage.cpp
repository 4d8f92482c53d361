#include "publishing/ReadingsMessage.h"

#include "channels/CycleReads.h"
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

QByteArray json(const StationState &state, const CycleReads &reads, const QDateTime &time,
                quint64 seq)
{
    QByteArray values;
    if (reads.therm(0))
        add(values, "therm1", state.therm1Temp);
    if (reads.therm(1))
        add(values, "therm2", state.therm2Temp);
    if (reads.therm(2))
        add(values, "therm3", state.therm3Temp);
    if (reads.probe(0))
        add(values, "ph1_mv", state.probe1mV);
    if (reads.pH(0))
        add(values, "ph1", state.probe1pH);
    if (reads.probe(1))
        add(values, "ph2_mv", state.probe2mV);
    if (reads.pH(1))
        add(values, "ph2", state.probe2pH);
    if (reads.flow()) {
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
