#include "calibration/BufferCalibration.h"

#include "station/PhModel.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double LowestSlopePercent = 85;
constexpr double HighestSlopePercent = 105;
constexpr double LargestOffsetShift = 0.15;

QString number(const QLocale &locale, double value, int decimals)
{
    return locale.toString(value, 'f', decimals);
}

} // namespace

namespace BufferCalibration {

double Result::slopePercent() const
{
    return slope / PhModel::DEFAULT_SLOPE * 100;
}

double Result::offsetShift() const
{
    return offset - PhModel::DEFAULT_OFFSET;
}

QStringList Result::warnings(const QLocale &locale) const
{
    QStringList found;
    if (!ok)
        return found;
    if (slopePercent() < LowestSlopePercent || slopePercent() > HighestSlopePercent)
        found << QStringLiteral("The slope is %1 % of the default %2, outside %3 to %4 %: the "
                                "probe may be worn or dirty, or a buffer spoilt.")
                     .arg(number(locale, slopePercent(), 1),
                          number(locale, PhModel::DEFAULT_SLOPE, 4),
                          number(locale, LowestSlopePercent, 0),
                          number(locale, HighestSlopePercent, 0));
    if (std::abs(offsetShift()) > LargestOffsetShift)
        found << QStringLiteral("The offset lies %1 V from the default %2 V, more than %3 V: the "
                                "probe's zero has drifted far.")
                     .arg(number(locale, std::abs(offsetShift()), 4),
                          number(locale, PhModel::DEFAULT_OFFSET, 4),
                          number(locale, LargestOffsetShift, 2));
    return found;
}

Result fit(const QVector<Reading> &readings, const QLocale &locale)
{
    Result result;
    if (readings.size() < 2) {
        result.problem = QStringLiteral("Capture at least two buffers.");
        return result;
    }
    const auto [lowest, highest] =
        std::minmax_element(readings.begin(), readings.end(),
                            [](const Reading &a, const Reading &b) { return a.ph < b.ph; });
    if (highest->ph - lowest->ph < LeastPhSpan) {
        result.problem =
            QStringLiteral("The buffers lie only %1 pH apart: use buffers at least %2 pH apart, "
                           "such as 4.01 and 7.00.")
                .arg(number(locale, highest->ph - lowest->ph, 2), number(locale, LeastPhSpan, 0));
        return result;
    }

    // Least squares of volts against u; with two readings the line runs
    // through both.
    const int n = readings.size();
    QVector<double> u(n);
    QVector<double> volts(n);
    double meanU = 0;
    double meanVolts = 0;
    for (int i = 0; i < n; ++i) {
        u[i] = PhModel::voltsPerPhPerSlope(readings[i].celsius) *
            (readings[i].ph - PhModel::NEUTRAL_PH);
        volts[i] = readings[i].millivolts / PhModel::MILLIVOLTS_PER_VOLT;
        meanU += u[i] / n;
        meanVolts += volts[i] / n;
    }
    double spread = 0;
    double together = 0;
    for (int i = 0; i < n; ++i) {
        spread += (u[i] - meanU) * (u[i] - meanU);
        together += (u[i] - meanU) * (volts[i] - meanVolts);
    }
    const double slope = together / spread;
    if (!std::isfinite(slope) || !(slope > 0)) {
        result.problem =
            QStringLiteral("These readings give a slope of %1, where the millivolts must rise "
                           "with the pH: check that each buffer was captured in its own row and "
                           "that the probe answers.")
                .arg(number(locale, std::isfinite(slope) ? slope : 0, 4));
        return result;
    }
    result.ok = true;
    result.slope = slope;
    result.offset = meanVolts - slope * meanU;
    for (int i = 0; i < n; ++i) {
        const double fitted = PhModel::NEUTRAL_PH +
            (volts[i] - result.offset) /
                (PhModel::voltsPerPhPerSlope(readings[i].celsius) * result.slope);
        result.residuals << fitted - readings[i].ph;
    }
    return result;
}

} // namespace BufferCalibration
