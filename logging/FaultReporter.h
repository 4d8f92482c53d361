#pragma once

#include "platform/Notifier.h"
#include "station/Faults.h"

#include <QHash>

#include <chrono>

class Clock;
class EventJournal;
class MessageBox;

// The station's faults, told to the operator in a message box (the default)
// or, unattended, journaled without holding anything up: a source's first
// fault, then once after STILL_FAILING_AFTER in a row and from then on at
// most once per STILL_FAILING_EVERY, and once more when it works again. A
// module that fails for a night leaves a few lines, not thousands. While the
// port is down its modules' silence is not held against them.
class FaultReporter : public Faults
{
public:
    static constexpr int STILL_FAILING_AFTER = 10;
    static constexpr std::chrono::hours STILL_FAILING_EVERY{1};

    FaultReporter(MessageBox &messages, EventJournal &journal, const Clock &clock);

    bool isUnattended() const override { return m_unattended; }
    // Each change starts the counts afresh.
    void setUnattended(bool on);

    bool failed(const QString &source, const QString &text, const QString &title) override;
    using Faults::failed;
    void recovered(const QString &source, const QString &detail = QString()) override;

    // Faults reported while unattended, since start.
    long long faultCount() const { return m_faultCount; }
    // Whether any source has failed and not yet recovered.
    bool anyFailing() const { return !m_troubles.isEmpty(); }

    // Raised after each fault or recovery reported while unattended.
    Notifier<> changed;

private:
    struct Trouble
    {
        long long count = 0;
        QString text;
        std::chrono::nanoseconds lastTold{};
    };

    static QString firstKind(const QString &source);
    static QString recoveredKind(const QString &source);
    static bool isModule(const QString &source);

    MessageBox &m_messages;
    EventJournal &m_journal;
    const Clock &m_clock;
    bool m_unattended = false;
    QHash<QString, Trouble> m_troubles;
    long long m_faultCount = 0;
};
