#pragma once

#include "sim/SimulatorOptions.h"

#include <chrono>
#include <random>
#include <string>
#include <vector>

// What goes on the line for one answer: its bytes (none for no answer) and
// how much later than usual they start.
struct Transmission
{
    std::string bytes;
    std::chrono::milliseconds extraDelay{0};
    // The fault that shaped it, "clean" for none.
    const char *fault = "clean";
};

// Spoils answers as the --fault options ask: each fault in turn gets its
// chance, and the first one that strikes shapes the answer.
class FaultInjector
{
public:
    static constexpr std::chrono::milliseconds LATE_ANSWER{50};

    FaultInjector(std::vector<Fault> faults, std::uint32_t seed);

    // answer is the module's text without its CR.
    Transmission shape(const std::string &answer, char address);
    // The answer with one given fault applied.
    static Transmission apply(FaultKind kind, const std::string &answer, char address,
                              std::mt19937 &random);
    static std::string refusal(char address);

private:
    std::vector<Fault> m_faults;
    std::mt19937 m_random;
};
