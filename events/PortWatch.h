#pragma once

#include <QString>

#include <chrono>

class Clock;
class EventJournal;
class Faults;
class SerialPort;

// Keeps the line of an unattended station: before each read cycle it finds
// out whether the port is open. A closed port is reported (as "Port Not
// open"), and one that closed itself after an error is opened again every
// RETRY_INTERVAL, resolving its device afresh each time, so an adapter
// plugged back in under a new name behind the same link is found. A USB
// adapter is taken back only if it is the same one (vendor, product and
// serial number): another that took its name is journaled once and left
// alone. A port that the operator closed is left to the operator.
class PortWatch
{
public:
    static constexpr std::chrono::seconds RETRY_INTERVAL{2};

    PortWatch(SerialPort &port, Faults &faults, EventJournal &journal, const Clock &clock);

    // True when the cycle may talk to the line.
    bool lineReady();

private:
    bool sameAdapter();

    SerialPort &m_port;
    Faults &m_faults;
    EventJournal &m_journal;
    const Clock &m_clock;
    std::chrono::nanoseconds m_nextAttempt{};
    QString m_otherAdapterTold;
};
