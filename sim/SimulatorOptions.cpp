#include "sim/SimulatorOptions.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace {

struct FaultNameEntry
{
    const char *name;
    FaultKind kind;
};

constexpr FaultNameEntry FAULT_NAMES[] = {
    {"refusal", FaultKind::Refusal},     {"none", FaultKind::None}, {"noise", FaultKind::Noise},
    {"highbit", FaultKind::HighBit},     {"crlf", FaultKind::CrLf}, {"late", FaultKind::Late},
    {"truncated", FaultKind::Truncated},
};

// A module address is one character that cannot be mistaken for framing.
bool validAddress(const std::string &text)
{
    return text.size() == 1 && text[0] > ' ' && text[0] < 127 && text[0] != '$';
}

bool takeValue(const std::vector<std::string> &arguments, std::size_t *index,
               const std::string &option, std::string *value, std::string *error)
{
    if (*index + 1 >= arguments.size()) {
        *error = option + " needs a value";
        return false;
    }
    *value = arguments[++*index];
    return true;
}

} // namespace

const char *SimulatorOptions::faultName(FaultKind kind)
{
    for (const FaultNameEntry &entry : FAULT_NAMES) {
        if (entry.kind == kind)
            return entry.name;
    }
    return "?";
}

bool SimulatorOptions::parseFault(const std::string &text, Fault *fault, std::string *error)
{
    const std::size_t at = text.find('@');
    const std::string name = text.substr(0, at);
    bool known = false;
    for (const FaultNameEntry &entry : FAULT_NAMES) {
        if (name == entry.name) {
            fault->kind = entry.kind;
            known = true;
        }
    }
    if (!known) {
        *error =
            "unknown fault \"" + name + "\" (refusal, none, noise, highbit, crlf, late, truncated)";
        return false;
    }
    fault->rate = 1.0;
    if (at == std::string::npos)
        return true;

    const std::string rateText = text.substr(at + 1);
    char *end = nullptr;
    errno = 0;
    const double rate = std::strtod(rateText.c_str(), &end);
    if (rateText.empty() || errno != 0 || *end != '\0' || !std::isfinite(rate) || rate < 0.0 ||
        rate > 1.0) {
        *error = "fault rate \"" + rateText + "\" is not a number from 0 to 1";
        return false;
    }
    fault->rate = rate;
    return true;
}

bool SimulatorOptions::parse(const std::vector<std::string> &arguments, SimulatorOptions *options,
                             std::string *error)
{
    SimulatorOptions parsed;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string &option = arguments[i];
        std::string value;
        if (option == "--log") {
            parsed.log = true;
        } else if (option == "--fast") {
            parsed.fast = true;
        } else if (option == "--mark-values") {
            parsed.markValues = true;
        } else if (option == "--exit-with-parent") {
            parsed.exitWithParent = true;
        } else if (option == "--help" || option == "-h") {
            parsed.help = true;
        } else if (option == "--link") {
            if (!takeValue(arguments, &i, option, &value, error))
                return false;
            if (value.empty()) {
                *error = "--link needs a path";
                return false;
            }
            parsed.linkPath = value;
        } else if (option == "--answer") {
            if (!takeValue(arguments, &i, option, &value, error))
                return false;
            const std::size_t equals = value.find('=');
            if (equals == std::string::npos || !validAddress(value.substr(0, equals))) {
                *error =
                    "--answer wants ADDR=TEXT with a one-character address, got \"" + value + "\"";
                return false;
            }
            parsed.answers[value[0]] = value.substr(equals + 1);
        } else if (option == "--answers-from") {
            if (!takeValue(arguments, &i, option, &value, error))
                return false;
            if (value.empty()) {
                *error = "--answers-from needs a file";
                return false;
            }
            parsed.answersFile = value;
        } else if (option == "--silent") {
            if (!takeValue(arguments, &i, option, &value, error))
                return false;
            if (!validAddress(value)) {
                *error = "--silent wants a one-character address, got \"" + value + "\"";
                return false;
            }
            parsed.silent.insert(value[0]);
        } else if (option == "--fault") {
            if (!takeValue(arguments, &i, option, &value, error))
                return false;
            Fault fault;
            if (!parseFault(value, &fault, error))
                return false;
            parsed.faults.push_back(fault);
        } else if (option == "--seed") {
            if (!takeValue(arguments, &i, option, &value, error))
                return false;
            char *end = nullptr;
            errno = 0;
            const unsigned long long seed = std::strtoull(value.c_str(), &end, 10);
            if (value.empty() || value[0] == '-' || errno != 0 || *end != '\0' ||
                seed > 0xffffffffULL) {
                *error = "--seed wants a whole number from 0 to 4294967295, got \"" + value + "\"";
                return false;
            }
            parsed.seed = static_cast<std::uint32_t>(seed);
            parsed.seedGiven = true;
        } else {
            *error = "unknown option \"" + option + "\"";
            return false;
        }
    }
    *options = parsed;
    return true;
}

std::string SimulatorOptions::usage()
{
    return "Usage: dgh-sim [options]\n"
           "Stands in for the six modules on a pseudo-terminal; prints its path first.\n"
           "  --link PATH          also reach the terminal through a symbolic link at PATH\n"
           "  --answer ADDR=TEXT   answer ADDR with exactly TEXT and a carriage return\n"
           "  --answers-from FILE  answer as the ADDR=TEXT lines of FILE say, read again\n"
           "                       whenever it changes (before --answer)\n"
           "  --silent ADDR        never answer ADDR\n"
           "  --fault KIND[@RATE]  spoil answers: refusal, none, noise, highbit, crlf,\n"
           "                       late, truncated; RATE from 0 to 1 (default 1)\n"
           "  --seed N             repeatable drift and faults\n"
           "  --log                print each frame and answer to standard error\n"
           "  --fast               answer at once, without line timing (soak runs)\n"
           "  --mark-values        make each reading's hundredths digit its module's address\n"
           "  --exit-with-parent   stop when the program that started this one ends\n"
           "  --help               show this text\n";
}
