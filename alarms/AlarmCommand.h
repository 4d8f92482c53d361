#pragma once

#include "alarms/Alarm.h"

#include <QObject>
#include <QProcessEnvironment>
#include <QSet>
#include <QStringList>
#include <QTimer>

#include <chrono>
#include <deque>

class AlarmProcess;
class Clock;
class EventJournal;

// Runs the operator's alarm command once per transition, as a program of
// its own: no shell, standard input empty, an environment of PATH, HOME,
// LANG and the KESTROM_DGH_* variables below only, its output read and
// thrown away (the first bytes kept for a failure's message). One runs at a
// time, the others wait in a bounded queue; the read cycle never waits for
// any. A run still going after TIME_LIMIT is ended, with every process it
// started. Past RUNS_PER_WINDOW runs within WINDOW, further transitions are
// held back and counted. Each trouble (a command that cannot be run, a
// failing exit status, a run ended for its time, a flood of output, runs
// held back or let go) is journaled once, with its reason, until a run
// works again.
//
//   KESTROM_DGH_STATION      the station's name (its MQTT id, else the host name)
//   KESTROM_DGH_ALARM        the alarm's name, "ph1.high"
//   KESTROM_DGH_DESCRIPTION  "pH 1 high"
//   KESTROM_DGH_EVENT        the transition: active, acknowledged, returned,
//                            normal, shelved or unshelved
//   KESTROM_DGH_STATE        the state it is in now: active, acknowledged,
//                            returned, normal or shelved
//   KESTROM_DGH_VALUE        its value (digits and a period; empty before any)
//   KESTROM_DGH_LIMIT        its limit
//   KESTROM_DGH_UNIT         pH, °C, L/min, L or s
//   KESTROM_DGH_TIME         when, ISO 8601 with the UTC offset
//   KESTROM_DGH_MESSAGE      the journal's line for it
class AlarmCommand : public QObject
{
public:
    static constexpr int QUEUE_LIMIT = 20;
    static constexpr int RUNS_PER_WINDOW = 10;
    static constexpr std::chrono::minutes WINDOW{10};
    static constexpr std::chrono::seconds TIME_LIMIT{30};
    // Output beyond this is a flood, told once.
    static constexpr qint64 OUTPUT_TOLD_AFTER = 64 * 1024;
    static constexpr int OUTPUT_KEPT = 200;
    static inline const QString PATH = QStringLiteral("/usr/local/bin:/usr/bin:/bin");

    // Both must outlive it.
    AlarmCommand(EventJournal &journal, const Clock &clock);
    ~AlarmCommand() override;

    // The command line: a program and its arguments, split as a shell would
    // split words (quotes group), but never run through one. Empty: none.
    void setCommand(const QString &commandLine);
    const QString &command() const { return m_commandLine; }
    void setStationName(const QString &name) { m_station = name; }
    // Tests shorten it.
    void setTimeLimit(std::chrono::milliseconds limit) { m_timeLimit = limit; }

    void run(const AlarmTransition &transition);

    // Runs ended (whatever their outcome) and transitions held back, since start.
    int finishedRuns() const { return m_finishedRuns; }
    int heldBack() const { return m_heldBackTotal; }
    int waiting() const { return static_cast<int>(m_queue.size()); }

private:
    void startNext();
    void finished(const QString &problemKind, const QString &problem);
    void readOutput();
    void timedOut();
    void tell(const QString &kind, const QString &text);
    void tellTrouble(const QString &key, const QString &kind, const QString &text);
    QString cannotRun(QString *program) const;
    QProcessEnvironment environment(const AlarmTransition &transition) const;

    EventJournal &m_journal;
    const Clock &m_clock;
    QString m_commandLine;
    QStringList m_arguments;
    QString m_station;
    std::chrono::milliseconds m_timeLimit = TIME_LIMIT;
    std::deque<AlarmTransition> m_queue;
    std::deque<std::chrono::nanoseconds> m_accepted; // within WINDOW
    AlarmProcess *m_process = nullptr;
    QTimer m_timer;
    QString m_running; // the alarm and transition of the run under way
    QByteArray m_output;
    qint64 m_outputBytes = 0;
    bool m_timedOut = false;
    int m_finishedRuns = 0;
    int m_heldBack = 0; // since it was last told
    int m_heldBackTotal = 0;
    int m_dropped = 0;
    int m_failedRuns = 0; // since the last run that worked
    QSet<QString> m_told;
};
