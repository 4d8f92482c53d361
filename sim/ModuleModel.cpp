#include "sim/ModuleModel.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

ModuleModel::ModuleModel(std::uint32_t seed) : m_random(seed)
{
    // Start each module somewhere different inside a band narrower than its
    // range, so the drift has room both ways.
    auto start = [this](double low, double high) {
        return std::uniform_real_distribution<double>(low, high)(m_random);
    };
    m_walks['1'] = {start(20.0, 23.0), 18.0, 26.0, 0.05, {}, false};
    m_walks['2'] = {start(20.0, 23.0), 18.0, 26.0, 0.05, {}, false};
    m_walks['3'] = {start(20.0, 23.0), 18.0, 26.0, 0.05, {}, false};
    m_walks['5'] = {start(120.0, 200.0), 50.0, 300.0, 2.0, {}, false};
    m_walks['6'] = {start(6.5, 7.5), 5.2, 8.8, 0.01, {}, false};
    m_walks['7'] = {start(6.5, 7.5), 5.2, 8.8, 0.01, {}, false};
}

bool ModuleModel::hasModule(char address)
{
    return address == '1' || address == '2' || address == '3' || address == '5' || address == '6' ||
        address == '7';
}

std::optional<double> ModuleModel::reading(char address, TimePoint now)
{
    const auto walk = m_walks.find(address);
    if (walk == m_walks.end())
        return std::nullopt;
    const double value = advance(walk->second, now);
    if (address == '6' || address == '7')
        return probeMillivolts(value);
    return value;
}

double ModuleModel::advance(Walk &walk, TimePoint now)
{
    if (!walk.started) {
        walk.started = true;
        walk.last = now;
        return walk.value;
    }
    const double seconds = std::chrono::duration<double>(now - walk.last).count();
    walk.last = now;
    if (seconds <= 0.0)
        return walk.value;
    // A random walk pulled gently towards the middle of the range.
    const double middle = (walk.low + walk.high) / 2.0;
    const double pull = 0.002 * (middle - walk.value) * std::min(seconds, 100.0);
    const double step = std::normal_distribution<double>(0.0, walk.stepPerSecond)(m_random) *
        std::sqrt(std::min(seconds, 100.0));
    double next = walk.value + pull + step;
    // Reflect at the edges so the value never leaves its range.
    if (next > walk.high)
        next = walk.high - (next - walk.high);
    if (next < walk.low)
        next = walk.low + (walk.low - next);
    walk.value = std::clamp(next, walk.low, walk.high);
    return walk.value;
}

double ModuleModel::probeMillivolts(double pH)
{
    const double kelvin = PROBE_TEMPERATURE_C + 273.15;
    return 1000.0 * (PROBE_OFFSET_V + (pH - 7.0) * NERNST_V_PER_K * PROBE_SLOPE * kelvin);
}

double ModuleModel::marked(char address, double value)
{
    const double tenths = std::trunc(value * 10.0) / 10.0;
    const double digit = (address - '0') / 100.0;
    return value < 0.0 ? tenths - digit : tenths + digit;
}

std::string ModuleModel::formatAnswer(char address, double value)
{
    // Millivolts need four whole digits, the rest three: the width keeps the
    // number inside characters 3 to 10 with leading zeros as the modules send.
    const bool millivolts = address == '6' || address == '7';
    const double magnitude = std::min(std::fabs(value), millivolts ? 99999.99 : 9999.99);
    char text[32];
    std::snprintf(text, sizeof text, millivolts ? "*%c%08.2f" : "*%c%07.2f",
                  value < 0.0 ? '-' : '+', magnitude);
    return text;
}
