#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>
#include <QVector>

// A probe's offset and slope worked out from its readings in two or three
// buffers, in the station's own model (PhModel): each buffer gives
//   volts = offset + slope x u,  u = NERNST_FACTOR x (T + 273.15) x (pH - 7),
// solved exactly for two buffers and by least squares for three.
namespace BufferCalibration {

struct Reading
{
    double ph = 0;         // the buffer's pH at its temperature
    double celsius = 0;    // the temperature the probe was compensated with
    double millivolts = 0; // the module's mean reading in the buffer
};

struct Result
{
    bool ok = false;
    QString problem; // why there is no result, when !ok
    double offset = 0;
    double slope = 0;
    // Per reading, the pH the result gives its millivolts less the buffer's pH.
    QVector<double> residuals;

    double slopePercent() const; // of the default slope
    double offsetShift() const;  // volts from the default offset
    // Outside the usual electrode limits: 85 to 105 % of the slope, 0.15 V
    // of offset (30 mV of asymmetry through the module's gain).
    QStringList warnings(const QLocale &locale = QLocale()) const;
};

// The buffers' extreme pH values must lie this far apart at least.
constexpr double LeastPhSpan = 1.0;

Result fit(const QVector<Reading> &readings, const QLocale &locale = QLocale());

} // namespace BufferCalibration
