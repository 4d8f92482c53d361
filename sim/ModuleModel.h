#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <random>
#include <string>

// The readings of the six default modules, drifting slowly and plausibly:
// thermistors 1-3 in degC (18-26), flow gauge 5 in Hz (50-300), pH probes 6
// and 7 in mV (the output of a probe at pH 5-9 and 20 degC with the station's
// default calibration).
class ModuleModel
{
public:
    using TimePoint = std::chrono::steady_clock::time_point;

    // The default calibration the probe voltages are made for.
    static constexpr double PROBE_OFFSET_V = 2.5777;
    static constexpr double PROBE_SLOPE = 4.5427;
    static constexpr double PROBE_TEMPERATURE_C = 20.0;
    static constexpr double NERNST_V_PER_K = 0.000198416;

    explicit ModuleModel(std::uint32_t seed);

    static bool hasModule(char address);
    // The current reading of a default module; nothing for other addresses.
    std::optional<double> reading(char address, TimePoint now);
    // "*", the sign and the value, as the module sends it (without CR). The
    // number always lies in characters 3 to 10.
    static std::string formatAnswer(char address, double value);
    // Probe millivolts for a pH under the default calibration at PROBE_TEMPERATURE_C.
    static double probeMillivolts(double pH);
    // The value with its hundredths digit made the module's address (21.37
    // from thermistor 1 becomes 21.31), so a reading that lands in another
    // module's place shows.
    static double marked(char address, double value);

private:
    struct Walk
    {
        double value;
        double low;
        double high;
        double stepPerSecond; // standard deviation of the drift over one second
        TimePoint last;
        bool started;
    };

    double advance(Walk &walk, TimePoint now);

    std::mt19937 m_random;
    std::map<char, Walk> m_walks; // temperatures and flow as sent, pH for the probes
};
