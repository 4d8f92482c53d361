#include "sim/FaultInjector.h"

FaultInjector::FaultInjector(std::vector<Fault> faults, std::uint32_t seed)
    : m_faults(std::move(faults))
    , m_random(seed)
{
}

std::string FaultInjector::refusal(char address)
{
    return std::string("?") + address + " SYNTAX ERROR";
}

Transmission FaultInjector::shape(const std::string &answer, char address)
{
    for (const Fault &fault : m_faults) {
        if (std::uniform_real_distribution<double>(0.0, 1.0)(m_random) < fault.rate) {
            Transmission shaped = apply(fault.kind, answer, address, m_random);
            shaped.fault = SimulatorOptions::faultName(fault.kind);
            return shaped;
        }
    }
    return {answer + '\r', {}};
}

Transmission FaultInjector::apply(FaultKind kind, const std::string &answer, char address,
                                  std::mt19937 &random)
{
    switch (kind) {
    case FaultKind::Refusal: return {refusal(address) + '\r', {}};
    case FaultKind::None: return {};
    case FaultKind::Noise: {
        // Line noise never looks like the start of an answer ("*", "?", also
        // with the high bit set) nor like its end.
        static const char NOISE[] = "#%&^~\x01\x05\x7f\x80\xfe\xff=zZ0\n";
        std::uniform_int_distribution<std::size_t> pick(0, sizeof NOISE - 2);
        std::uniform_int_distribution<int> count(1, 6);
        std::string noise;
        for (int i = count(random); i > 0; --i)
            noise += NOISE[pick(random)];
        return {noise + answer + '\r', {}};
    }
    case FaultKind::HighBit: {
        std::string bytes = answer + '\r';
        for (char &byte : bytes)
            byte = static_cast<char>(static_cast<unsigned char>(byte) | 0x80);
        return {bytes, {}};
    }
    case FaultKind::CrLf: return {answer + "\r\n", {}};
    case FaultKind::Late: return {answer + '\r', LATE_ANSWER};
    case FaultKind::Truncated: return {answer.substr(0, (answer.size() + 1) / 2), {}};
    }
    return {answer + '\r', {}};
}
