#pragma once

#include <cmath>

// Results worked out apart from the station's own helpers, so that the two
// can disagree.

// Rounding to n decimals with exact halves to even.
inline double halfEven(double value, int decimals)
{
    const double scaled = value * std::pow(10.0, decimals);
    double whole = std::floor(scaled);
    const double rest = scaled - whole;
    if (rest > 0.5 || (rest == 0.5 && std::fmod(whole, 2.0) != 0))
        whole += 1;
    return whole / std::pow(10.0, decimals);
}

// A probe's pH from its millivolts, calibration and temperature, rounded.
inline double referencePh(double mV, double offset, double slope, double celsius)
{
    return halfEven(7 + (mV / 1000 - offset) / (0.000198416 * slope * (celsius + 273.15)), 4);
}
