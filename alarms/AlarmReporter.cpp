#include "alarms/AlarmReporter.h"

#include "alarms/AlarmCommand.h"
#include "events/EventJournal.h"
#include "platform/Clock.h"

namespace {
const QString Source = QStringLiteral("alarm");
}

AlarmReporter::AlarmReporter(EventJournal &journal, AlarmCommand &command, const Clock &clock)
    : m_journal(journal)
    , m_command(command)
    , m_clock(clock)
{
}

void AlarmReporter::transitioned(const AlarmTransition &transition)
{
    const std::chrono::nanoseconds now = m_clock.monotonic();
    Chatter &chatter = m_chatter[transition.name];
    chatter.state = transition.state;
    chatter.description = transition.description;
    if (chatter.chattering) {
        ++chatter.counted;
        return;
    }
    while (!chatter.toldAt.empty() && now - chatter.toldAt.front() >= WINDOW)
        chatter.toldAt.pop_front();
    if (static_cast<int>(chatter.toldAt.size()) >= TOLD_PER_WINDOW) {
        chatter.chattering = true;
        chatter.counted = 1;
        chatter.lastLine = now;
        chatter.toldAt.clear();
        m_journal.record(Source, QStringLiteral("chattering"),
                         QStringLiteral("%1 (%2): %3 changes in %4 minutes; from now on its "
                                        "changes are counted and told once every %4 minutes; "
                                        "now %5")
                             .arg(transition.name, transition.description)
                             .arg(TOLD_PER_WINDOW + 1)
                             .arg(WINDOW.count())
                             .arg(AlarmStates::name(transition.state)));
        return;
    }
    chatter.toldAt.push_back(now);
    m_journal.record(Source, transition.kind, transition.text);
    m_command.run(transition);
    told.notify(transition);
}

void AlarmReporter::tick()
{
    const std::chrono::nanoseconds now = m_clock.monotonic();
    for (auto it = m_chatter.begin(); it != m_chatter.end(); ++it) {
        Chatter &chatter = it.value();
        if (!chatter.chattering || now - chatter.lastLine < WINDOW)
            continue;
        chatter.lastLine = now;
        const QString head = QStringLiteral("%1 (%2): ").arg(it.key(), chatter.description);
        if (chatter.counted > 0) {
            m_journal.record(Source, QStringLiteral("chattering"),
                             head +
                                 QStringLiteral("%1 changes in the last %2 minutes; now %3")
                                     .arg(chatter.counted)
                                     .arg(WINDOW.count())
                                     .arg(AlarmStates::name(chatter.state)));
            chatter.counted = 0;
            continue;
        }
        chatter.chattering = false;
        m_journal.record(Source, QStringLiteral("settled"),
                         head +
                             QStringLiteral("no change for %1 minutes; each change is told "
                                            "again; now %2")
                                 .arg(WINDOW.count())
                                 .arg(AlarmStates::name(chatter.state)));
    }
}
