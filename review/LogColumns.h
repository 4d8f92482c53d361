#pragma once

#include <QString>

// The ten values of a record after its time, in the order the log writes
// them, with the names a review shows for them and their units. A value the
// station had not read yet, or did not read at that moment, is NaN: a gap.
namespace LogColumns {

enum Column {
    Therm1,
    Therm2,
    Therm3,
    Probe1mV,
    Probe2mV,
    Probe1pH,
    Probe2pH,
    FlowHz,
    FlowLpm,
    Litres,
    Count
};

// The units, each on an axis of its own, in the order they are stacked.
enum class Unit { Ph, Millivolts, Celsius, LitresPerMinute, Hertz, Litres };

// Where a column's points are kept in a review's ChartStore: plots 1 and 2
// are the probes' pH, as on the station's chart, the others follow.
int plotOf(int column);
int columnOfPlot(int plot);
constexpr int Plots = Count;
constexpr unsigned bit(int column)
{
    return 1u << column;
}
constexpr unsigned PhColumns = bit(Probe1pH) | bit(Probe2pH);
constexpr unsigned AllColumns = (1u << Count) - 1;

// "pH 1", "Therm1", "Liters": the header's name of the column.
QString name(int column);
// What a legend calls the trace: "Probe 1 pH", "Thermistor 2", "Flow (L/min)".
QString traceName(int column);
Unit unitOf(int column);
// "pH", "mV", "°C", "L/min", "Hz", "L".
QString unitText(Unit unit);

} // namespace LogColumns
