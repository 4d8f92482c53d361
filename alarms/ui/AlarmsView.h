#pragma once

#include "alarms/AlarmCommand.h"
#include "alarms/AlarmReporter.h"
#include "alarms/Alarms.h"
#include "alarms/ui/AlarmLimitsDialog.h"
#include "alarms/ui/AlarmsWindow.h"
#include "alarms/ui/DesktopNotifier.h"
#include "config/StationConfig.h"
#include "platform/Handlers.h"
#include "platform/qt/widgets/SingleDialog.h"

#include <QMetaObject>
#include <QTimer>

class AlarmIndicator;
class EventJournal;
class Publishing;
class QAction;
class QStatusBar;

// The station's alarms put together: armed from station.conf's [alarms]
// at start and again from "Alarm Limits...", checked after every read
// cycle and each second between them, and every transition told to the
// journal, the alarm command, the desktop and, while publishing, retained
// on MQTT "alarms/<name>". In the window: the status-bar indicator and the
// Alarms window it opens, "Alarms..." and "Alarm Limits...".
class AlarmsView
{
public:
    struct Menus
    {
        QAction *alarms;
        QAction *limits;
    };

    // All must outlive it. `config`: the settings file as read at start;
    // without one, the usual place, read when the limits are edited.
    AlarmsView(const StationState &state, const ReadingAge &ages, const SerialPort &port,
               const Clock &clock, EventJournal &journal, Publishing &publishing,
               const StationConfig *config, QStatusBar *statusBar, const Menus &menus,
               QWidget *window);
    ~AlarmsView();
    AlarmsView(const AlarmsView &) = delete;
    AlarmsView &operator=(const AlarmsView &) = delete;

    void cycleRead(const CycleReads &reads) { m_alarms.cycleRead(reads); }
    // --alarm-command: in force over the file's command from now on.
    void setCommandLine(const QString &command);
    // For the command's KESTROM_DGH_STATION.
    void setStationName(const QString &name) { m_command.setStationName(name); }

    Alarms &alarms() { return m_alarms; }
    const Alarms &alarms() const { return m_alarms; }
    AlarmsWindow *show() { return m_window.show(); }
    AlarmLimitsDialog *showLimits() { return m_limits.show(); }

private:
    void arm(const AlarmSettings &settings);
    QString saveLimits(const QVector<StationConfig::Change> &changes);
    void publishStates();

    EventJournal &m_journal;
    Publishing &m_publishing;
    const Clock &m_clock;
    StationConfig m_config;
    Alarms m_alarms;
    AlarmCommand m_command;
    AlarmReporter m_reporter;
    DesktopNotifier m_desktop;
    AlarmIndicator *m_indicator;
    QStringList m_notes;
    bool m_commandFromCommandLine = false;
    SingleDialog<AlarmsWindow> m_window;
    SingleDialog<AlarmLimitsDialog> m_limits;
    QTimer m_tick;
    QVector<QMetaObject::Connection> m_connections;
    Handlers m_handlers;
};
