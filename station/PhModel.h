#pragma once

// The station's model of a pH electrode behind its module: the module gives
// `offset` volts at pH 7, and its output changes by
// NERNST_FACTOR x slope x T volts per pH unit at T kelvin, so
//   pH = 7 + (volts - offset) / (NERNST_FACTOR x slope x T).
namespace PhModel {

// Volt per kelvin per pH unit of the ideal electrode.
constexpr double NERNST_FACTOR = 0.000198416;
constexpr double KELVIN_AT_ZERO_CELSIUS = 273.15;
constexpr double MILLIVOLTS_PER_VOLT = 1000;
constexpr double NEUTRAL_PH = 7;
// A probe's calibration until it is calibrated.
constexpr double DEFAULT_OFFSET = 2.5777;
constexpr double DEFAULT_SLOPE = 4.5427;

// What one slope unit is worth in volts per pH unit at the temperature.
constexpr double voltsPerPhPerSlope(double celsius)
{
    return NERNST_FACTOR * (celsius + KELVIN_AT_ZERO_CELSIUS);
}

} // namespace PhModel
