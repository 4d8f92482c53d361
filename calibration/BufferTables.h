#pragma once

#include <QString>
#include <QVector>

// The pH of the usual calibration buffers at the temperature they are
// measured at. A buffer is named by its pH at 25 degC.
namespace BufferTables {

// The buffers the assistant offers: 4.01, 6.86, 7.00, 9.18 and 10.01.
const QVector<double> &known();

struct BufferPh
{
    double ph = 0;
    bool fromTable = false;
    // Where the value came from, for the operator: "table of the 9.18 borax
    // buffer at 12.5 °C", "typed in, no table", ...
    QString source;
};

// The pH of the buffer named `nominal` at `celsius`: for a known buffer from
// its table, linear between the table's 5 degC steps and held at the
// table's ends (0 and 50 degC); any other buffer as it stands, since its
// temperature behaviour is unknown.
BufferPh atTemperature(double nominal, double celsius);

} // namespace BufferTables
