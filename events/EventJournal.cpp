#include "events/EventJournal.h"

#include "platform/Clock.h"
#include "station/IsoTime.h"

#include <QDir>
#include <QFileInfo>

QByteArray StationEvent::line() const
{
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    quoted.replace(QLatin1Char('\r'), QLatin1Char(' '))
        .replace(QLatin1Char('\n'), QLatin1Char(' '));
    return (IsoTime::withOffset(time) + QLatin1Char(',') + source + QLatin1Char(',') + kind +
            QStringLiteral(",\"") + quoted + QStringLiteral("\"\n"))
        .toUtf8();
}

EventJournal::EventJournal(const Clock &clock) : m_clock(clock), m_target(stationFileName())
{
}

QString EventJournal::stationFileName()
{
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    // XDG says a relative path there is invalid and must be ignored.
    if (state.isEmpty() || QDir::isRelativePath(state))
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return state + QStringLiteral("/kestrom-dgh/events.log");
}

void EventJournal::followLogRun(const QString &logFileName, LogFile::Mode mode)
{
    m_file.close();
    m_target = logFileName + QStringLiteral(".events");
    // The events of an overwritten run would only mislead.
    QString reason;
    const bool there = QFileInfo(m_target).exists() || QFileInfo(m_target).isSymLink();
    if (mode == LogFile::Mode::Overwrite && there && !openTarget(mode, &reason))
        tellOnce(reason);
}

void EventJournal::followNoRun()
{
    m_file.close();
    m_target = stationFileName();
}

void EventJournal::record(const QString &source, const QString &kind, const QString &text,
                          ErrorOutput::Priority priority)
{
    StationEvent event{m_clock.currentDateTime(), source, kind, text};
    const QByteArray line = event.line();
    ErrorOutput::write(priority, "kestrom-dgh: " + line);
    append(line);
    m_recent.push_back(std::move(event));
    if (m_recent.size() > RECENT_EVENTS)
        m_recent.pop_front();
    recorded.notify(m_recent.back());
}

// Opens the journal; one beside a log that cannot be used gives way to the
// station's own, so that its events are kept all the same.
bool EventJournal::openTarget(LogFile::Mode mode, QString *reason)
{
    QDir().mkpath(QFileInfo(m_target).absolutePath());
    if (m_file.openOwn(m_target, mode, reason))
        return true;
    const QString own = stationFileName();
    if (m_target == own)
        return false;
    ErrorOutput::write(ErrorOutput::Priority::Warning,
                       QStringLiteral("kestrom-dgh: the event journal \"%1\" is not used: %2 "
                                      "Events go to \"%3\".")
                           .arg(m_target, *reason, own));
    m_target = own;
    QDir().mkpath(QFileInfo(m_target).absolutePath());
    return m_file.openOwn(m_target, LogFile::Mode::Append, reason);
}

void EventJournal::append(const QByteArray &line)
{
    QString reason;
    if (!m_file.isOpen() && !openTarget(LogFile::Mode::Append, &reason)) {
        ++m_unwritten;
        tellOnce(reason);
        return;
    }
    QByteArray bytes;
    if (m_unwritten > 0) {
        const StationEvent lost{m_clock.currentDateTime(), QStringLiteral("journal"),
                                QStringLiteral("not written"),
                                QStringLiteral("%1 %2 could not be written before this line")
                                    .arg(m_unwritten)
                                    .arg(m_unwritten == 1 ? "event" : "events")};
        bytes = lost.line();
    }
    if (!m_file.writeBytes(bytes + line, &reason)) {
        // Opened afresh next time: the file may have been removed meanwhile.
        m_file.close();
        ++m_unwritten;
        tellOnce(reason);
        return;
    }
    if (!bytes.isEmpty())
        ErrorOutput::write(ErrorOutput::Priority::Warning, "kestrom-dgh: " + bytes);
    m_unwritten = 0;
    m_failing = false;
}

// One line on standard error for a journal that cannot be written, not one
// per event; the station goes on.
void EventJournal::tellOnce(const QString &problem)
{
    if (m_failing)
        return;
    m_failing = true;
    ErrorOutput::write(ErrorOutput::Priority::Error,
                       QStringLiteral("kestrom-dgh: cannot write the event journal \"%1\": %2")
                           .arg(m_target, problem));
}
