#pragma once

#include "platform/Notifier.h"
#include "platform/qt/ErrorOutput.h"
#include "station/Faults.h"

#include <QDateTime>
#include <QHash>

#include <chrono>
#include <deque>

class Clock;
class EventJournal;
class MessageBox;

// The station's faults, told to the operator in a message box (the default)
// or, unattended, journaled without holding anything up: a source's first
// fault, then once after STILL_FAILING_AFTER in a row and from then on at
// most once per STILL_FAILING_EVERY, and once more when it works again. A
// module that fails for a night leaves a few lines, not thousands. While the
// port is down its modules' silence is not held against them.
//
// A source that fails now and then is bounded too: its INTERMITTENT_EPISODES-th
// episode within INTERMITTENT_WINDOW gives one "intermittent" line ("flapping"
// for the port); from then on its short episodes are only counted, told at
// most once per STILL_FAILING_EVERY ("still intermittent"), and once more
// when it has held for STEADY_AFTER ("steady"). Each of those two lines says
// how many faults in how many episodes it accounts for since the line before.
// An episode that reaches STILL_FAILING_AFTER in a row is told as it would be
// otherwise ("still failing", then "answering again"), so a stretch of stale
// readings of that length is always found between two lines.
class FaultReporter : public Faults
{
public:
    static constexpr int STILL_FAILING_AFTER = 10;
    static constexpr std::chrono::hours STILL_FAILING_EVERY{1};
    static constexpr int INTERMITTENT_EPISODES = 3;
    static constexpr std::chrono::minutes INTERMITTENT_WINDOW{10};
    static constexpr std::chrono::minutes STEADY_AFTER{10};

    FaultReporter(MessageBox &messages, EventJournal &journal, const Clock &clock);

    bool isUnattended() const override { return m_unattended; }
    // Each change starts the counts afresh.
    void setUnattended(bool on);

    bool failed(const QString &source, const QString &text, const QString &title) override;
    using Faults::failed;
    void recovered(const QString &source, const QString &detail = QString()) override;

    // The station stops: each intermittent source's faults not yet counted
    // by a line get one, so the journal accounts for every fault.
    void closeAccounts();

    // Faults reported while unattended, since start.
    long long faultCount() const { return m_faultCount; }
    // Whether any source has failed and not yet recovered.
    bool anyFailing() const { return !m_troubles.isEmpty(); }

    // Raised after each fault or recovery reported while unattended.
    Notifier<> changed;

private:
    // The episode under way: from a source's first fault to its recovery.
    struct Trouble
    {
        long long count = 0;
        QString text;
        std::chrono::nanoseconds lastTold{};
        QDateTime started;
        // Journaled: its first fault, or (while intermittent) its length.
        bool told = false;
    };
    // What a source did lately, across its episodes.
    struct History
    {
        std::deque<std::chrono::nanoseconds> episodeStarts; // within the window
        bool intermittent = false;
        // Faults and episodes no line has accounted for yet, while intermittent.
        long long faults = 0;
        long long episodes = 0;
        std::chrono::nanoseconds lastTold{};
        std::chrono::nanoseconds lastFault{};
        QDateTime countedSince;
    };

    void startEpisode(const QString &source, Trouble &trouble, History &history);
    void tellCounts(const QString &source, History &history, const QString &kind,
                    const QString &text,
                    ErrorOutput::Priority priority = ErrorOutput::Priority::Warning);
    static QString firstKind(const QString &source);
    static QString recoveredKind(const QString &source);
    static QString intermittentKind(const QString &source);
    static bool isModule(const QString &source);

    MessageBox &m_messages;
    EventJournal &m_journal;
    const Clock &m_clock;
    bool m_unattended = false;
    QHash<QString, Trouble> m_troubles;
    QHash<QString, History> m_history;
    long long m_faultCount = 0;
};
