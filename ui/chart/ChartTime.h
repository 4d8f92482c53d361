#pragma once

// The chart's logic speaks days (a time of day is a fraction of one); its
// time axis counts milliseconds, as Qwt's date scales do. These convert at
// the edge between the two.
namespace ChartTime {

constexpr double MsPerDay = 86400000.0;

constexpr double toAxis(double days)
{
    return days * MsPerDay;
}

constexpr double fromAxis(double ms)
{
    return ms / MsPerDay;
}

} // namespace ChartTime
