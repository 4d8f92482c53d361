#include "review/LogColumns.h"

namespace LogColumns {

namespace {

    struct Info
    {
        const char *name;
        const char *trace;
        Unit unit;
    };

    const Info Infos[Count] = {
        {"Therm1", "Thermistor 1", Unit::Celsius},
        {"Therm2", "Thermistor 2", Unit::Celsius},
        {"Therm3", "Thermistor 3", Unit::Celsius},
        {"pH 1 mVolts", "Probe 1 mV", Unit::Millivolts},
        {"pH 2 mVolts", "Probe 2 mV", Unit::Millivolts},
        {"pH 1 value", "Probe 1 pH", Unit::Ph},
        {"pH 2 value", "Probe 2 pH", Unit::Ph},
        {"Flow Frequency", "Flow (Hz)", Unit::Hertz},
        {"Liters/min", "Flow (L/min)", Unit::LitresPerMinute},
        {"Liters", "Total litres", Unit::Litres},
    };

    const Info &info(int column)
    {
        return Infos[column >= 0 && column < Count ? column : 0];
    }

} // namespace

int plotOf(int column)
{
    if (column == Probe1pH || column == Probe2pH)
        return column - Probe1pH + 1;
    return column < Probe1pH ? column + 3 : column + 1;
}

int columnOfPlot(int plot)
{
    if (plot == 1 || plot == 2)
        return Probe1pH + plot - 1;
    return plot <= Probe1pH + 2 ? plot - 3 : plot - 1;
}

QString name(int column)
{
    return QString::fromLatin1(info(column).name);
}

QString traceName(int column)
{
    return QString::fromLatin1(info(column).trace);
}

Unit unitOf(int column)
{
    return info(column).unit;
}

QString unitText(Unit unit)
{
    switch (unit) {
    case Unit::Ph: return QStringLiteral("pH");
    case Unit::Millivolts: return QStringLiteral("mV");
    case Unit::Celsius:
        return QString::fromUtf8("\xc2\xb0"
                                 "C");
    case Unit::LitresPerMinute: return QStringLiteral("L/min");
    case Unit::Hertz: return QStringLiteral("Hz");
    case Unit::Litres: return QStringLiteral("L");
    }
    return {};
}

} // namespace LogColumns
