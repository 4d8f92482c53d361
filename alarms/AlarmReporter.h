#pragma once

#include "alarms/Alarm.h"
#include "platform/Broadcast.h"

#include <QHash>

#include <chrono>
#include <deque>

class AlarmCommand;
class Clock;
class EventJournal;

// Tells each alarm transition to the event journal (which prints it on
// standard error and hands it to MQTT "events"), to the alarm command and
// to whoever hears `told`: every one, until an alarm chatters, that is,
// changes more than TOLD_PER_WINDOW times within WINDOW. Its further
// transitions are then counted and told in one "chattering" line per
// WINDOW with its state, and once it has had a WINDOW without any, in one
// "settled" line; so a value flapping for a day leaves a few hundred lines,
// not a hundred thousand.
class AlarmReporter
{
public:
    static constexpr int TOLD_PER_WINDOW = 10;
    static constexpr std::chrono::minutes WINDOW{10};

    // All must outlive it.
    AlarmReporter(EventJournal &journal, AlarmCommand &command, const Clock &clock);

    void transitioned(const AlarmTransition &transition);
    // Now and then (every second will do): the counts of chattering alarms.
    void tick();

    // A transition told in full.
    Broadcast<const AlarmTransition &> told;

private:
    struct Chatter
    {
        std::deque<std::chrono::nanoseconds> toldAt; // within WINDOW
        bool chattering = false;
        int counted = 0; // since the last line
        std::chrono::nanoseconds lastLine{};
        AlarmState state = AlarmState::Normal;
        QString description;
    };

    EventJournal &m_journal;
    AlarmCommand &m_command;
    const Clock &m_clock;
    QHash<QString, Chatter> m_chatter;
};
