#include "logging/FaultReporter.h"

#include "logging/EventJournal.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"

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
    ++trouble.count;
    trouble.text = text;
    const auto now = m_clock.monotonic();
    if (trouble.count == 1) {
        m_journal.record(source, firstKind(source), text);
        trouble.lastTold = now;
    } else if (trouble.count == STILL_FAILING_AFTER ||
               (trouble.count > STILL_FAILING_AFTER &&
                now - trouble.lastTold >= STILL_FAILING_EVERY)) {
        m_journal.record(source, QStringLiteral("still failing"),
                         QStringLiteral("%1 (%2 times in a row)").arg(text).arg(trouble.count));
        trouble.lastTold = now;
    }
    changed.notify();
    return false;
}

void FaultReporter::recovered(const QString &source, const QString &detail)
{
    const auto found = m_troubles.constFind(source);
    if (found == m_troubles.constEnd())
        return;
    const long long count = found->count;
    m_troubles.erase(found);
    QString text =
        QStringLiteral("Works again after %1 %2").arg(count).arg(count == 1 ? "fault" : "faults");
    if (!detail.isEmpty())
        text = detail + QStringLiteral(" (") + text + QLatin1Char(')');
    m_journal.record(source, recoveredKind(source), text);
    changed.notify();
}
