#include "sim/ModuleSimulator.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace {

std::uint32_t seedOf(const SimulatorOptions &options)
{
    if (options.seedGiven)
        return options.seed;
    return static_cast<std::uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count());
}

std::string escaped(const std::string &bytes)
{
    std::string text;
    for (const char byte : bytes) {
        const auto code = static_cast<unsigned char>(byte);
        if (code == '\r') {
            text += "\\r";
        } else if (code == '\n') {
            text += "\\n";
        } else if (code < 32 || code > 126 || code == '\\') {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02x", code);
            text += hex;
        } else {
            text += byte;
        }
    }
    return text;
}

} // namespace

ModuleSimulator::ModuleSimulator(SimulatorOptions options)
    : m_options(std::move(options))
    , m_model(seedOf(m_options))
    , m_faults(m_options.faults, seedOf(m_options) ^ 0x5eedfa17u)
{
    if (!m_options.answersFile.empty())
        m_answerFile = std::make_unique<AnswerFile>(m_options.answersFile);
}

ModuleSimulator::~ModuleSimulator()
{
    stop();
    for (int fd : m_stopPipe) {
        if (fd >= 0)
            ::close(fd);
    }
}

bool ModuleSimulator::open(std::string *error)
{
    if (::pipe2(m_stopPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        *error = "pipe failed";
        return false;
    }
    if (!m_terminal.open(error))
        return false;
    if (!m_options.linkPath.empty() && !m_terminal.link(m_options.linkPath, error))
        return false;
    return true;
}

void ModuleSimulator::start()
{
    m_thread = std::thread([this] { run(); });
}

void ModuleSimulator::requestStop()
{
    if (m_stopPipe[1] >= 0) {
        const char byte = 's';
        [[maybe_unused]] const ssize_t written = ::write(m_stopPipe[1], &byte, 1);
    }
}

void ModuleSimulator::stop()
{
    requestStop();
    if (m_thread.joinable())
        m_thread.join();
}

void ModuleSimulator::run()
{
    using namespace std::chrono;
    const int master = m_terminal.masterFd();
    for (;;) {
        pollfd fds[2] = {{m_stopPipe[0], POLLIN, 0}, {master, POLLIN, 0}};
        timespec timeout{};
        timespec *wait = nullptr; // nothing to send: sleep until a frame comes
        if (!m_pending.empty()) {
            const PendingAnswer &next = m_pending.front();
            const auto due = std::max(next.start, m_lineFreeAt);
            const auto left =
                std::max(nanoseconds(0), duration_cast<nanoseconds>(due - Clock::now()));
            timeout.tv_sec = static_cast<time_t>(left.count() / 1'000'000'000);
            timeout.tv_nsec = static_cast<long>(left.count() % 1'000'000'000);
            wait = &timeout;
        }
        const int ready = ::ppoll(fds, 2, wait, nullptr);
        if (ready < 0 && errno != EINTR)
            break;
        if (fds[0].revents & POLLIN)
            break;
        if (fds[1].revents & POLLIN) {
            readFrames();
        } else if (fds[1].revents & (POLLHUP | POLLERR)) {
            // Nobody holds the slave (cannot happen while we keep ours open,
            // but never spin on it): look again a little later.
            ::usleep(20'000);
        }
        sendDueBytes();
    }
}

void ModuleSimulator::readFrames()
{
    const auto received = Clock::now();
    char buffer[256];
    for (;;) {
        const ssize_t count = ::read(m_terminal.masterFd(), buffer, sizeof buffer);
        if (count <= 0)
            return; // drained (EAGAIN), or EIO while no slave is open
        for (const std::string &frame : m_frames.feed(buffer, static_cast<std::size_t>(count))) {
            ++m_framesReceived;
            log("rx", "$" + frame + "\r");
            char address = 0;
            const std::string answer = answerFor(frame, &address);
            if (answer.empty())
                continue;
            const Transmission transmission = m_faults.shape(answer, address);
            // The log names each answer's fault so a soak can tell what it was sent.
            log((std::string("answer ") + transmission.fault).c_str(), transmission.bytes);
            if (m_options.fast) {
                scheduleFast(transmission, received);
                continue;
            }
            // On a real line the frame itself took its character times to arrive.
            const auto frameEnd = received + CHARACTER_TIME * static_cast<int>(frame.size() + 2);
            schedule(transmission, frameEnd);
        }
    }
}

std::string ModuleSimulator::answerFor(const std::string &frame, char *address)
{
    if (frame.empty())
        return std::string();
    *address = frame[0];
    const std::string command = frame.substr(1);
    if (m_options.silent.count(*address))
        return std::string();
    const std::map<char, std::string> &answers =
        m_answerFile && m_answerFile->answers().count(*address) ? m_answerFile->answers()
                                                                : m_options.answers;
    const auto fixed = answers.find(*address);
    const bool present = fixed != answers.end() || ModuleModel::hasModule(*address);
    if (!present)
        return std::string(); // no module at that address: the line stays quiet
    if (command != "RD")
        return FaultInjector::refusal(*address);
    if (fixed != answers.end())
        return fixed->second;
    double value = *m_model.reading(*address, Clock::now());
    if (m_options.markValues)
        value = ModuleModel::marked(*address, value);
    return ModuleModel::formatAnswer(*address, value);
}

void ModuleSimulator::schedule(const Transmission &transmission, Clock::time_point frameEnd)
{
    if (transmission.bytes.empty())
        return;
    PendingAnswer answer{frameEnd + TURNAROUND + transmission.extraDelay, transmission.bytes, 0};
    const auto later = std::upper_bound(m_pending.begin(), m_pending.end(), answer.start,
                                        [](Clock::time_point start, const PendingAnswer &pending) {
                                            return start < pending.start;
                                        });
    m_pending.insert(later, answer);
}

void ModuleSimulator::scheduleFast(Transmission transmission, Clock::time_point received)
{
    // A late answer still comes after the station has stopped waiting for it.
    if (transmission.extraDelay.count() > 0)
        transmission.extraDelay = FAST_LATE_ANSWER;
    schedule(transmission, received - TURNAROUND);
}

void ModuleSimulator::sendDueBytes()
{
    const auto now = Clock::now();
    while (!m_pending.empty()) {
        PendingAnswer &answer = m_pending.front();
        const auto due = std::max(answer.start, m_lineFreeAt);
        if (due > now)
            return;
        if (answer.sent == 0)
            log("tx", answer.bytes);
        if (m_options.fast) {
            [[maybe_unused]] const ssize_t all =
                ::write(m_terminal.masterFd(), answer.bytes.data(), answer.bytes.size());
            m_pending.pop_front();
            continue;
        }
        // A receiver that does not read loses what overflows, as on a line.
        [[maybe_unused]] const ssize_t written =
            ::write(m_terminal.masterFd(), answer.bytes.data() + answer.sent, 1);
        m_lineFreeAt = due + CHARACTER_TIME;
        if (++answer.sent == answer.bytes.size())
            m_pending.pop_front();
    }
}

void ModuleSimulator::log(const char *direction, const std::string &bytes) const
{
    if (m_options.log)
        std::fprintf(stderr, "dgh-sim: %s %s\n", direction, escaped(bytes).c_str());
}
