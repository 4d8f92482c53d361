#pragma once

#include <deque>

// The last readings of a probe in a buffer, and whether they have settled:
// stable once there are Count of them whose millivolts span less than
// MillivoltSpan and whose temperatures span less than CelsiusSpan.
class StabilityWindow
{
public:
    static constexpr int Count = 10;
    static constexpr double MillivoltSpan = 0.5;
    static constexpr double CelsiusSpan = 0.2;

    void add(double millivolts, double celsius);
    void clear() { m_readings.clear(); }

    int size() const { return static_cast<int>(m_readings.size()); }
    bool isStable() const;
    // Over the readings held; 0 when there are none.
    double millivoltSpan() const;
    double celsiusSpan() const;
    double meanMillivolts() const;
    double meanCelsius() const;

private:
    struct Reading
    {
        double millivolts;
        double celsius;
    };
    std::deque<Reading> m_readings;
};
