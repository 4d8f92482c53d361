#pragma once

#include "sim/AnswerFile.h"
#include "sim/FaultInjector.h"
#include "sim/FrameReader.h"
#include "sim/ModuleModel.h"
#include "sim/PseudoTerminal.h"
#include "sim/SimulatorOptions.h"

#include <atomic>
#include <chrono>
#include <deque>
#include <memory>
#include <string>
#include <thread>

// The six modules on one pseudo-terminal: reads command frames from the
// master side and answers each "$<addr>RD" as a module on a 19200 baud line
// would: after the frame's own character times and a short turnaround, one
// character per 0.52 ms. run() serves until requestStop();
// start() does the same on a thread of its own for in-process tests.
class ModuleSimulator
{
public:
    using Clock = std::chrono::steady_clock;
    // Time the module takes before it starts to answer.
    static constexpr std::chrono::microseconds TURNAROUND{3000};
    // One character of 10 bits at 19200 baud.
    static constexpr std::chrono::microseconds CHARACTER_TIME{521};
    // How late a late answer comes under --fast.
    static constexpr std::chrono::milliseconds FAST_LATE_ANSWER{1};

    explicit ModuleSimulator(SimulatorOptions options);
    ~ModuleSimulator();
    ModuleSimulator(const ModuleSimulator &) = delete;
    ModuleSimulator &operator=(const ModuleSimulator &) = delete;

    // Creates the terminal (and the link, if asked for).
    bool open(std::string *error);
    const std::string &slavePath() const { return m_terminal.slavePath(); }

    void run();
    void start();
    // Safe from a signal handler.
    void requestStop();
    void stop();

    // The answer text (without CR) for a frame's text; empty when the frame
    // gets no answer. Faults are not applied here.
    std::string answerFor(const std::string &frame, char *address);

    int framesReceived() const { return m_framesReceived.load(); }

private:
    struct PendingAnswer
    {
        Clock::time_point start;
        std::string bytes;
        std::size_t sent = 0;
    };

    void readFrames();
    void schedule(const Transmission &transmission, Clock::time_point frameEnd);
    void scheduleFast(Transmission transmission, Clock::time_point received);
    void sendDueBytes();
    void log(const char *direction, const std::string &bytes) const;

    SimulatorOptions m_options;
    std::unique_ptr<AnswerFile> m_answerFile;
    PseudoTerminal m_terminal;
    ModuleModel m_model;
    FaultInjector m_faults;
    FrameReader m_frames;
    std::deque<PendingAnswer> m_pending; // in order of start
    Clock::time_point m_lineFreeAt{};
    int m_stopPipe[2] = {-1, -1};
    std::thread m_thread;
    std::atomic<int> m_framesReceived{0};
};
