#pragma once

#include "platform/Handlers.h"

#include <QByteArray>
#include <QString>

class ServiceManager;
struct StationState;
class Timer;

// What the service manager hears of the station: READY=1 once start-up is
// done and the first read cycle has completed (so polling has begun), a
// STATUS= line whenever what the station does changes, WATCHDOG=1 from a
// timer at half the interval the manager asks for, but only when a read
// cycle completed since the last ping (a station whose cycles have stopped
// is not alive, whatever its event loop does), and STOPPING=1 on the way
// out. Without a manager it does nothing.
class ServiceNotifier
{
public:
    // `manager` may be null; `pingTimer` is this notifier's alone.
    ServiceNotifier(ServiceManager *manager, Timer &pingTimer);

    // Start-up is done: READY=1 goes with the next completed cycle.
    void startUpDone();
    // A read cycle completed; `status` says what the station now does.
    void cycleCompleted(const QString &status);
    // The station ends; the reason goes with STOPPING=1.
    void stopping(const QString &why);

    // "polling 6 modules, 2 alarms, logging /var/lib/kestrom-dgh/tank.csv":
    // the modules of the groups switched on, the alarms in force (left out
    // when none) and the log file, if one is open.
    static QString statusText(const StationState &state, int alarms, const QString &logFile);

private:
    void ping();

    ServiceManager *m_manager;
    Timer &m_pingTimer;
    bool m_startUpDone = false;
    bool m_ready = false;
    bool m_stopping = false;
    bool m_cycleSincePing = false;
    QString m_status;
    Handlers m_handlers;
};
