#pragma once

#include "logging/LogFile.h"
#include "platform/Broadcast.h"
#include "platform/qt/ErrorOutput.h"

#include <QDateTime>
#include <QString>

#include <deque>

class Clock;

// One thing that happened to an unattended station, as its journal keeps it.
struct StationEvent
{
    QDateTime time;
    QString source; // "5", "6", "7", "1", "2", "3", "port", "log" or "settings"
    QString kind;   // "fault", "still failing", "answering again", "port lost", ...
    QString text;

    // The journal's line: the local date and time in ISO 8601 with its UTC
    // offset, the source, the kind and the text in double quotes (a quote
    // inside doubled, a line break made a blank), then LF.
    QByteArray line() const;
};

// The event journal of the unattended station: every event appended to a
// file as one whole line, printed on standard error, and kept in memory for
// the window that lists the recent ones. While a log run writes FILE the
// journal is FILE.events (emptied when the run overwrites FILE); otherwise
// $XDG_STATE_HOME/kestrom-dgh/events.log. The file is only created by the
// first event, so an attended station leaves none.
//
// Nobody names the journal beside a log, so it may sit in a folder others
// write to: it is never opened through a symbolic link, only ever a regular
// file, and where it cannot be used the events go to the station's own
// journal instead, with a word on standard error. Events that could not be
// written at all (a full disk) are counted, and the count is the first line
// once writing works again.
class EventJournal
{
public:
    static constexpr int RECENT_EVENTS = 500;

    explicit EventJournal(const Clock &clock);

    // The journal beside a log run's file, and back to the station's own.
    void followLogRun(const QString &logFileName, LogFile::Mode mode);
    void followNoRun();
    QString fileName() const { return m_target; }
    static QString stationFileName();

    // Good news (a source that works again, an orderly stop) is told on
    // standard error as information, everything else as a warning.
    void record(const QString &source, const QString &kind, const QString &text,
                ErrorOutput::Priority priority = ErrorOutput::Priority::Warning);
    const std::deque<StationEvent> &recent() const { return m_recent; }

    // Raised after each event is recorded.
    Broadcast<const StationEvent &> recorded;

private:
    void append(const QByteArray &line);
    bool openTarget(LogFile::Mode mode, QString *reason);
    void tellOnce(const QString &problem);

    const Clock &m_clock;
    QString m_target;
    LogFile m_file;
    std::deque<StationEvent> m_recent;
    bool m_failing = false;
    long long m_unwritten = 0;
};
