#include "calibration/BufferTables.h"

#include <QLocale>

#include <algorithm>
#include <array>
#include <cmath>

namespace {

constexpr double FirstCelsius = 0;
constexpr double StepCelsius = 5;
constexpr int Steps = 11; // 0, 5, ... 50 degC

struct Table
{
    double nominal;
    const char *name;
    std::array<double, Steps> ph;
};

// pH against temperature from 0 to 50 degC in 5 degC steps.
// The three primary buffers are the standard values of R. G. Bates,
// "Determination of pH: Theory and Practice" (2nd ed., Wiley 1973), as the
// NIST standard reference materials 185 (potassium hydrogen phthalate,
// 0.05 mol/kg), 186 (KH2PO4 and Na2HPO4, 0.025 mol/kg each) and 187 (borax,
// 0.01 mol/kg) certify them and DIN 19266 tabulates them. The technical
// buffers 7.00 and 10.01 follow the tables their makers print on the
// bottle (phosphate and carbonate buffers).
const std::array<Table, 5> Tables{{
    {4.01,
     "phthalate",
     {4.003, 3.999, 3.998, 3.999, 4.002, 4.008, 4.015, 4.024, 4.035, 4.047, 4.060}},
    {6.86,
     "phosphate",
     {6.984, 6.951, 6.923, 6.900, 6.881, 6.865, 6.853, 6.844, 6.838, 6.834, 6.833}},
    {7.00, "technical", {7.12, 7.09, 7.06, 7.04, 7.02, 7.00, 6.99, 6.98, 6.97, 6.97, 6.97}},
    {9.18, "borax", {9.464, 9.395, 9.332, 9.276, 9.225, 9.180, 9.139, 9.102, 9.068, 9.038, 9.011}},
    {10.01, "technical", {10.32, 10.25, 10.18, 10.12, 10.06, 10.01, 9.97, 9.93, 9.89, 9.86, 9.83}},
}};

QString number(double value, int decimals)
{
    return QLocale().toString(value, 'f', decimals);
}

} // namespace

namespace BufferTables {

const QVector<double> &known()
{
    static const QVector<double> nominals{4.01, 6.86, 7.00, 9.18, 10.01};
    return nominals;
}

BufferPh atTemperature(double nominal, double celsius)
{
    for (const Table &table : Tables) {
        if (std::abs(table.nominal - nominal) > 1e-9)
            continue;
        const double last = FirstCelsius + StepCelsius * (Steps - 1);
        const double held = std::isfinite(celsius) ? std::clamp(celsius, FirstCelsius, last) : 25.0;
        const double position = (held - FirstCelsius) / StepCelsius;
        const int below = std::min(static_cast<int>(position), Steps - 2);
        const double fraction = position - below;
        BufferPh result;
        result.fromTable = true;
        result.ph = table.ph[below] + fraction * (table.ph[below + 1] - table.ph[below]);
        result.source =
            QStringLiteral("%1 %2 buffer at %3 °C, from its table")
                .arg(number(table.nominal, 2), QString::fromLatin1(table.name), number(celsius, 1));
        if (!std::isfinite(celsius))
            result.source = QStringLiteral("%1 %2 buffer at 25 °C, from its table (the "
                                           "temperature is not known)")
                                .arg(number(table.nominal, 2), QString::fromLatin1(table.name));
        else if (held != celsius)
            result.source += QStringLiteral(" (which ends at %1 °C)").arg(number(held, 0));
        return result;
    }
    return {nominal, false, QStringLiteral("typed in, taken as it stands (no temperature table)")};
}

} // namespace BufferTables
