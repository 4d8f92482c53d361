#include "events/FaultReporter.h"

#include "events/EventJournal.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"

namespace {

QString plural(long long count, const char *one, const char *many)
{
    return QStringLiteral("%1 %2").arg(count).arg(QLatin1String(count == 1 ? one : many));
}

QString timeOfDay(const QDateTime &time)
{
    return time.toString(QStringLiteral("HH:mm:ss"));
}

} // namespace

FaultReporter::FaultReporter(MessageBox &messages, EventJournal &journal, const Clock &clock)
    : m_messages(messages)
    , m_journal(journal)
    , m_clock(clock)
{
}

void FaultReporter::setUnattended(bool on)
{
    m_unattended = on;
    m_troubles.clear();
    m_history.clear();
    changed.notify();
}

bool FaultReporter::isModule(const QString &source)
{
    return source != PORT && source != LOG && source != SETTINGS;
}

QString FaultReporter::firstKind(const QString &source)
{
    return source == PORT ? QStringLiteral("port lost") : QStringLiteral("fault");
}

QString FaultReporter::recoveredKind(const QString &source)
{
    if (source == PORT)
        return QStringLiteral("port reopened");
    if (source == LOG)
        return QStringLiteral("writing again");
    return QStringLiteral("answering again");
}

QString FaultReporter::intermittentKind(const QString &source)
{
    return source == PORT ? QStringLiteral("flapping") : QStringLiteral("intermittent");
}

bool FaultReporter::failed(const QString &source, const QString &text, const QString &title)
{
    if (!m_unattended) {
        m_messages.show(text, title);
        return true;
    }
    if (isModule(source) && m_troubles.contains(PORT))
        return false; // no line, no answer: the port's fault, journaled as such
    ++m_faultCount;
    Trouble &trouble = m_troubles[source];
    History &history = m_history[source];
    const auto now = m_clock.monotonic();
    ++trouble.count;
    trouble.text = text;
    history.lastFault = now;
    if (trouble.count == 1) {
        startEpisode(source, trouble, history);
    } else if (!trouble.told) {
        // A short episode of an intermittent source is only counted, until
        // it lasts long enough to be an outage of its own.
        ++history.faults;
        if (trouble.count == STILL_FAILING_AFTER) {
            history.faults -= trouble.count;
            --history.episodes;
            trouble.told = true;
            trouble.lastTold = now;
            m_journal.record(source, QStringLiteral("still failing"),
                             QStringLiteral("%1 since %2 (%3 times in a row)")
                                 .arg(text, timeOfDay(trouble.started))
                                 .arg(trouble.count));
        }
    } else if (trouble.count == STILL_FAILING_AFTER ||
               (trouble.count > STILL_FAILING_AFTER &&
                now - trouble.lastTold >= STILL_FAILING_EVERY)) {
        m_journal.record(source, QStringLiteral("still failing"),
                         QStringLiteral("%1 (%2 times in a row)").arg(text).arg(trouble.count));
        trouble.lastTold = now;
    }
    if (history.intermittent && history.faults > 0 && now - history.lastTold >= STILL_FAILING_EVERY)
        tellCounts(source, history, QStringLiteral("still ") + intermittentKind(source), text);
    changed.notify();
    return false;
}

void FaultReporter::startEpisode(const QString &source, Trouble &trouble, History &history)
{
    const auto now = m_clock.monotonic();
    trouble.started = m_clock.currentDateTime();
    if (history.intermittent) {
        ++history.faults;
        ++history.episodes;
        return;
    }
    while (!history.episodeStarts.empty() &&
           now - history.episodeStarts.front() > INTERMITTENT_WINDOW)
        history.episodeStarts.pop_front();
    history.episodeStarts.push_back(now);
    if (static_cast<int>(history.episodeStarts.size()) < INTERMITTENT_EPISODES) {
        trouble.told = true;
        trouble.lastTold = now;
        m_journal.record(source, firstKind(source), trouble.text);
        return;
    }
    history.episodeStarts.clear();
    history.intermittent = true;
    history.faults = 1;
    history.episodes = 1;
    history.countedSince = trouble.started;
    history.lastTold = now;
    m_journal.record(source, intermittentKind(source),
                     QStringLiteral("%1: %2 in %3 minutes; from now on counted, and told at most "
                                    "once an hour")
                         .arg(trouble.text, plural(INTERMITTENT_EPISODES, "time", "times"))
                         .arg(INTERMITTENT_WINDOW.count()));
}

void FaultReporter::tellCounts(const QString &source, History &history, const QString &kind,
                               const QString &text, ErrorOutput::Priority priority)
{
    m_journal.record(source, kind,
                     QStringLiteral("%1: %2 in %3 since %4")
                         .arg(text, plural(history.faults, "fault", "faults"),
                              plural(history.episodes, "episode", "episodes"),
                              timeOfDay(history.countedSince)),
                     priority);
    history.faults = 0;
    history.episodes = 0;
    history.countedSince = m_clock.currentDateTime();
    history.lastTold = m_clock.monotonic();
}

void FaultReporter::closeAccounts()
{
    for (auto history = m_history.begin(); history != m_history.end(); ++history) {
        if (!history->intermittent || history->faults == 0)
            continue;
        const auto trouble = m_troubles.constFind(history.key());
        tellCounts(history.key(), *history,
                   QStringLiteral("still ") + intermittentKind(history.key()),
                   trouble != m_troubles.constEnd() ? trouble->text
                                                    : QStringLiteral("At the station's stop"));
    }
}

void FaultReporter::recovered(const QString &source, const QString &detail)
{
    const auto found = m_troubles.constFind(source);
    if (found != m_troubles.constEnd()) {
        const Trouble trouble = *found;
        m_troubles.erase(found);
        if (trouble.told) {
            QString text = QStringLiteral("Works again after %1")
                               .arg(plural(trouble.count, "fault", "faults"));
            if (!detail.isEmpty())
                text = detail + QStringLiteral(" (") + text + QLatin1Char(')');
            m_journal.record(source, recoveredKind(source), text, ErrorOutput::Priority::Info);
        }
        changed.notify();
        return;
    }
    const auto history = m_history.find(source);
    if (history != m_history.end() && history->intermittent &&
        m_clock.monotonic() - history->lastFault >= STEADY_AFTER) {
        tellCounts(source, *history, QStringLiteral("steady"),
                   QStringLiteral("No fault for %1 minutes").arg(STEADY_AFTER.count()),
                   ErrorOutput::Priority::Info);
        m_history.erase(history);
        changed.notify();
    }
}
