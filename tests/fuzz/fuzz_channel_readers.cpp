// Any bytes as the answers to one channel reader: the reader never crashes,
// the record only ever holds finite values, an answer the line discipline
// rejects (no "*" capture ending in CR, or a refusal) is reported and changes
// no reading, an accepted one is stored as its digits say, and the derived
// flow and pH figures keep their rounding.
//
// Input: byte 0 picks the reader, byte 1 the calibration and compensation
// source, then per transaction one length byte and that many line bytes.

#include "channels/ChannelRig.h"

#include <cmath>
#include <cstdlib>
#include <string>

namespace {

enum class Verdict { Rejected, Empty, Accepted };

// What the line discipline makes of one transaction's bytes, worked out here
// apart from the station's code: the last "*" or "?" (low 7 bits) starts the
// capture, it must end in CR and start with "*"; characters 3 to 10 are the
// value field.
struct Expected
{
    Verdict verdict = Verdict::Rejected;
    std::string field;
    bool negative = false; // "-" as the second character
};

Expected judge(const QByteArray &bytes)
{
    std::string capture;
    bool capturing = false;
    for (const char byte : bytes) {
        const char ch = static_cast<char>(byte & 0x7f);
        if (ch == '*' || ch == '?') {
            capture.assign(1, ch);
            capturing = true;
        } else if (capturing) {
            capture += ch;
        }
    }
    Expected expected;
    if (capture.empty() || capture.back() != '\r' || capture.front() != '*')
        return expected;
    capture.pop_back();
    expected.field = capture.size() > 2 ? capture.substr(2, 8) : std::string();
    expected.verdict = expected.field.empty() ? Verdict::Empty : Verdict::Accepted;
    expected.negative = capture.size() > 1 && capture[1] == '-';
    // After a "-" sign a field may not carry a sign of its own.
    const std::size_t first = expected.field.find_first_not_of(" \t\n\v\f\r");
    if (expected.negative && first != std::string::npos &&
        (expected.field[first] == '+' || expected.field[first] == '-'))
        expected.verdict = Verdict::Rejected;
    return expected;
}

void check(bool condition)
{
    if (!condition)
        std::abort();
}

bool allFinite(const StationState &s)
{
    const double values[] = {s.therm1Temp,  s.therm2Temp,  s.therm3Temp,  s.compTemp, s.flowHz,
                             s.flowLpm,     s.pulseTotal,  s.totalLiters, s.probe1mV, s.probe2mV,
                             s.probe1Volts, s.probe2Volts, s.probe1pH,    s.probe2pH};
    for (const double v : values)
        if (!std::isfinite(v))
            return false;
    return true;
}

// A field the reader accepted must read as the same number with strtod,
// negated after a "-" sign.
double fieldValue(const Expected &expected)
{
    char *end = nullptr;
    const double value = std::strtod(expected.field.c_str(), &end);
    return expected.negative ? -value : value;
}

bool roundedTo(double value, int decimals)
{
    const double scaled = value * std::pow(10.0, decimals);
    return std::fabs(scaled - std::nearbyint(scaled)) <= 1e-6 * std::fmax(1.0, std::fabs(scaled));
}

struct Calibration
{
    double offset;
    double slope;
};

// Ordinary, degenerate and hostile calibrations a settings store can hold.
const Calibration CALIBRATIONS[] = {
    {2.5777, 4.5427}, {0, 1},           {0, 0},      {2.5777, -4.5427},
    {1e300, 1e-300},  {-1e308, 1e-308}, {0, 5e-324}, {1e308, 1e308},
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    ChannelRig rig;
    StationState &s = rig.state;
    const Calibration &calibration = CALIBRATIONS[data[1] % std::size(CALIBRATIONS)];
    s.probe1Offset = s.probe2Offset = calibration.offset;
    s.probe1Slope = s.probe2Slope = calibration.slope;
    s.probe1TempSource = static_cast<Selector>((data[1] >> 4) % 4);
    s.probe2TempSource = static_cast<Selector>((data[1] >> 6) % 4);
    // Earlier readings, so that an unchanged value is told from a zero.
    s.therm1Temp = 21.5;
    s.therm2Temp = -273.15; // absolute zero as a compensation temperature
    s.therm3Temp = 19.25;
    s.flowHz = 115;
    s.pulseTotal = 6900;
    s.probe1mV = s.probe2mV = 123.4;
    s.probe1pH = s.probe2pH = 7.5;

    // The transactions' bytes, one length-prefixed chunk each.
    QList<QByteArray> chunks;
    for (size_t at = 2; at < size && chunks.size() < 3;) {
        const size_t length = qMin<size_t>(data[at], size - at - 1);
        chunks << QByteArray(reinterpret_cast<const char *>(data + at + 1),
                             static_cast<int>(length));
        at += 1 + length;
    }
    while (chunks.size() < 3)
        chunks << QByteArray();

    const int reader = data[0] % 4;
    const QString addresses[4][3] = {{"5"}, {"6"}, {"7"}, {"1", "2", "3"}};
    for (int i = 0; i < 3 && !addresses[reader][i].isEmpty(); ++i)
        rig.port.scriptAddress(addresses[reader][i], chunks[i]);

    const StationState before = s;
    switch (reader) {
    case 0: rig.flow.ReadFlow(); break;
    case 1: rig.ph.ReadPhProbe(QStringLiteral("6")); break;
    case 2: rig.ph.ReadPhProbe(QStringLiteral("7")); break;
    default: rig.thermistors.ReadThermistors(); break;
    }
    check(allFinite(s));

    if (reader == 3) {
        double StationState::*temps[3] = {&StationState::therm1Temp, &StationState::therm2Temp,
                                          &StationState::therm3Temp};
        bool stopped = false;
        for (int i = 0; i < 3; ++i) {
            const Expected expected = judge(chunks[i]);
            const bool unchanged = s.*temps[i] == before.*temps[i];
            const bool reported = rig.messages.texts.contains(
                QStringLiteral("No valid return from thermistor ") + addresses[3][i]);
            if (stopped || expected.verdict == Verdict::Empty) {
                // An empty field ends the group's turn: nothing after it is asked.
                check(unchanged && !reported);
                stopped = true;
            } else if (expected.verdict == Verdict::Rejected || reported) {
                check(unchanged && reported);
            } else {
                check(s.*temps[i] == fieldValue(expected));
            }
        }
        return 0;
    }

    const Expected expected = judge(chunks[0]);
    const bool reported = !rig.messages.texts.isEmpty();
    check(rig.messages.texts.size() <= 1);
    if (expected.verdict == Verdict::Rejected)
        check(reported);
    if (expected.verdict != Verdict::Accepted || reported) {
        check(s.flowHz == before.flowHz && s.pulseTotal == before.pulseTotal);
        check(s.probe1mV == before.probe1mV && s.probe2mV == before.probe2mV);
        check(s.probe1pH == before.probe1pH && s.probe2pH == before.probe2pH);
        return 0;
    }

    const double value = fieldValue(expected);
    if (reader == 0) {
        const double hz = value > 90000 ? 0.0 : value;
        check(s.flowHz == hz);
        check(s.pulseTotal == before.pulseTotal + hz);
        check(s.flowLpm == halfEven(hz * 60 / 6900, 2));
        check(s.totalLiters == halfEven(s.pulseTotal / 6900, 2));
        return 0;
    }
    const double mV = reader == 1 ? s.probe1mV : s.probe2mV;
    const double pH = reader == 1 ? s.probe1pH : s.probe2pH;
    check(mV == value);
    check(reader == 1 ? s.probe2mV == before.probe2mV : s.probe1mV == before.probe1mV);
    check(pH == before.probe1pH || roundedTo(pH, 4));
    return 0;
}
