#pragma once

#include <QString>

#include <chrono>

class Clock;
class Faults;
class SerialPort;

// One command-and-answer transaction with a module on the shared line:
// SendCommand, then ReadAnswer, which waits ANSWER_WAIT_MS and takes what has
// arrived. Runs on the calling thread and blocks it for the wait.
class ModuleLink
{
public:
    static constexpr float ANSWER_WAIT_MS = 35.0f;
    static constexpr int CHARACTER_MASK = 127;
    static inline const QString TIMEOUT = QStringLiteral("TIMEOUT");

    // After an answer that did not complete, how long the line must stay
    // quiet, and how long settling may take at most. A line that never falls
    // quiet (noise, a babbling device) may take SETTLE_MAX_MS of settling in
    // any second, however many answers fail, so that a read cycle still fits
    // its second and the logger's ticks come on time.
    static constexpr float SETTLE_QUIET_MS = 50.0f;
    static constexpr int SETTLE_MAX_MS = 300;

    ModuleLink(SerialPort &port, Faults &faults, Clock &clock);

    // "$" + address + "RD" + carriage return.
    static QString commandFrame(const QString &address);
    // Characters 3 to 10 (1-based) of an answer; empty for a short answer.
    static QString valueField(const QString &answer);

    void SendCommand(const QString &command);
    QString ReadAnswer();
    void WaitMs(float ms);

    // While on, an answer that did not complete is followed by a wait for the
    // line to fall quiet, so that its late rest is never taken for the next
    // module's answer. An operator's message box gives that time otherwise.
    void setSettling(bool on) { m_settling = on; }

private:
    void discardStaleBytes();
    void settle();

    SerialPort &m_port;
    Faults &m_faults;
    Clock &m_clock;
    bool m_settling = false;
    // Settling time still at hand, refilled at SETTLE_MAX_MS per second.
    std::chrono::nanoseconds m_settleCredit = std::chrono::milliseconds(SETTLE_MAX_MS);
    std::chrono::nanoseconds m_creditCountedAt{};
};
