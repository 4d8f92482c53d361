#include "service/ServiceNotifier.h"

#include "platform/Timer.h"
#include "service/ServiceManager.h"
#include "station/StationState.h"

#include <QStringList>

#include <algorithm>
#include <climits>

namespace {

// A status is one line, whatever a file name in it holds.
QByteArray oneLine(QString text)
{
    return text.replace(QLatin1Char('\n'), QLatin1Char(' ')).toUtf8();
}

} // namespace

ServiceNotifier::ServiceNotifier(ServiceManager *manager, Timer &pingTimer)
    : m_manager(manager)
    , m_pingTimer(pingTimer)
{
    m_handlers.install(m_pingTimer.tick, [this] { ping(); });
}

void ServiceNotifier::startUpDone()
{
    m_startUpDone = true;
}

void ServiceNotifier::cycleCompleted(const QString &status)
{
    if (!m_manager || m_stopping)
        return;
    m_cycleSincePing = true;
    if (!m_startUpDone || (m_ready && status == m_status))
        return;
    m_status = status;
    QByteArray message = "STATUS=" + oneLine(status);
    if (!m_ready) {
        m_ready = true;
        message.prepend("READY=1\n");
        // Half the manager's interval, as sd_watchdog_enabled(3) advises.
        const quint64 usec = m_manager->watchdogUsec();
        if (usec > 0) {
            const quint64 halfMs = std::clamp<quint64>(usec / 2000, 1, INT_MAX);
            m_pingTimer.setInterval(static_cast<int>(halfMs));
            m_pingTimer.setEnabled(true);
        }
    }
    m_manager->notify(message);
}

void ServiceNotifier::ping()
{
    if (!m_manager || m_stopping || !m_cycleSincePing)
        return;
    m_cycleSincePing = false;
    m_manager->notify("WATCHDOG=1");
}

void ServiceNotifier::stopping(const QString &why)
{
    if (!m_manager || m_stopping)
        return;
    m_stopping = true;
    m_pingTimer.setEnabled(false);
    m_manager->notify("STOPPING=1\nSTATUS=" + oneLine(why));
}

QString ServiceNotifier::statusText(const StationState &state, int alarms, const QString &logFile)
{
    const int modules = (state.flowEnabled == FlagOn ? 1 : 0) +
        (state.phEnabled == FlagOn ? 2 : 0) + (state.thermEnabled == FlagOn ? 3 : 0);
    QStringList parts;
    parts << (modules == 0 ? QStringLiteral("polling nothing")
                           : QStringLiteral("polling %1 %2")
                                 .arg(modules)
                                 .arg(modules == 1 ? "module" : "modules"));
    if (alarms > 0)
        parts << QStringLiteral("%1 %2").arg(alarms).arg(alarms == 1 ? "alarm" : "alarms");
    parts << (logFile.isEmpty() ? QStringLiteral("not logging")
                                : QStringLiteral("logging %1").arg(logFile));
    return parts.join(QStringLiteral(", "));
}
