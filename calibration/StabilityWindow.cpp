#include "calibration/StabilityWindow.h"

#include <algorithm>

void StabilityWindow::add(double millivolts, double celsius)
{
    m_readings.push_back({millivolts, celsius});
    if (m_readings.size() > Count)
        m_readings.pop_front();
}

bool StabilityWindow::isStable() const
{
    return size() == Count && millivoltSpan() < MillivoltSpan && celsiusSpan() < CelsiusSpan;
}

double StabilityWindow::millivoltSpan() const
{
    if (m_readings.empty())
        return 0;
    const auto [low, high] = std::minmax_element(
        m_readings.begin(), m_readings.end(),
        [](const Reading &a, const Reading &b) { return a.millivolts < b.millivolts; });
    return high->millivolts - low->millivolts;
}

double StabilityWindow::celsiusSpan() const
{
    if (m_readings.empty())
        return 0;
    const auto [low, high] = std::minmax_element(
        m_readings.begin(), m_readings.end(),
        [](const Reading &a, const Reading &b) { return a.celsius < b.celsius; });
    return high->celsius - low->celsius;
}

double StabilityWindow::meanMillivolts() const
{
    double sum = 0;
    for (const Reading &reading : m_readings)
        sum += reading.millivolts;
    return m_readings.empty() ? 0 : sum / size();
}

double StabilityWindow::meanCelsius() const
{
    double sum = 0;
    for (const Reading &reading : m_readings)
        sum += reading.celsius;
    return m_readings.empty() ? 0 : sum / size();
}
