#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

// What can go wrong with one answer on the line.
enum class FaultKind {
    Refusal,   // "?" + address + " SYNTAX ERROR" instead of the reading
    None,      // no answer at all
    Noise,     // a few stray bytes before the answer
    HighBit,   // every byte of the answer with its high bit set
    CrLf,      // the answer ends in CR LF
    Late,      // the answer starts only after LATE_ANSWER_MS
    Truncated, // the answer stops half-way, without its CR
};

struct Fault
{
    FaultKind kind = FaultKind::None;
    double rate = 1.0; // chance per answer, 0 to 1
};

// The command line of dgh-sim, also used to set up an in-process simulator.
struct SimulatorOptions
{
    std::string linkPath;
    std::map<char, std::string> answers; // fixed answer text per address, without CR
    // ADDR=TEXT lines read again whenever the file changes; before `answers`.
    std::string answersFile;
    std::set<char> silent;
    std::vector<Fault> faults;
    bool log = false;
    // Answer at once and at the pty's own speed, for long soak runs; a late
    // answer comes a millisecond after the frame.
    bool fast = false;
    // The hundredths digit of every reading is its module's address.
    bool markValues = false;
    bool help = false;
    bool exitWithParent = false; // end when the process that started us ends
    std::uint32_t seed = 0;
    bool seedGiven = false;

    // Fills options from the arguments after the program name; false with a
    // one-line reason in *error for anything it does not understand.
    static bool parse(const std::vector<std::string> &arguments, SimulatorOptions *options,
                      std::string *error);
    static bool parseFault(const std::string &text, Fault *fault, std::string *error);
    static const char *faultName(FaultKind kind);
    static std::string usage();
};
