#pragma once

#include "alarms/ui/AlarmsView.h"
#include "alarms/ui/LiveView.h"
#include "calibration/CalibrationHistory.h"
#include "calibration/CalibrationStore.h"
#include "calibration/ui/BufferAssistant.h"
#include "calibration/ui/CalibrationDialog.h"
#include "channels/ChannelAcquisition.h"
#include "channels/FlowChannel.h"
#include "channels/PhChannel.h"
#include "channels/ReadingAge.h"
#include "channels/ThermistorChannel.h"
#include "events/EventJournal.h"
#include "events/EventsView.h"
#include "events/FaultReporter.h"
#include "events/PortWatch.h"
#include "logging/LogSetup.h"
#include "logging/Logger.h"
#include "logging/ui/FrmLogKestrom.h"
#include "platform/Handlers.h"
#include "platform/qt/widgets/QtButton.h"
#include "platform/qt/widgets/QtKnob.h"
#include "platform/qt/widgets/QtLabel.h"
#include "platform/qt/widgets/QtOptionGroup.h"
#include "platform/qt/widgets/QtSlide.h"
#include "platform/qt/widgets/QtStatusBar.h"
#include "platform/qt/widgets/QtSwitch.h"
#include "platform/qt/widgets/QtTimer.h"
#include "platform/qt/widgets/SingleDialog.h"
#include "publishing/HaAnnouncer.h"
#include "publishing/Publishing.h"
#include "service/ServiceNotifier.h"
#include "service/StationOptions.h"
#include "station/ModuleLink.h"
#include "station/StationState.h"
#include "ui/chart/ChartGraph.h"
#include "ui/chart/ChartStore.h"
#include "ui/chart/StripChart.h"
#include "ui/main/ComPortCommand.h"
#include "ui/main/MainWindow.h"

#include <QTimer>

class Clock;
class StationConfig;
class InputBox;
class MessageBox;
class SerialPort;
class ServiceManager;
class SettingsStore;

// The station put together: the adapters over frmMain's controls, the shared
// record, the module link, the channel readers, the chart, the logger, the
// calibration and the menu commands. The program's main() builds one over
// the real platform; tests build one over fakes. The window and the
// platform must outlive it.
//
// Who hears what: the channel readers take the switches, reset buttons,
// knobs and option groups of their groups; StripChart the plot switch and
// timer, the pH knobs, "Reset Scale", the mode selector and the cursor;
// Logger the logger timer and "Stop Logging"; this class the read timer, the
// other menu entries and the fault indicator.
//
// Every fault goes through one FaultReporter: a message box while attended
// (the default), the event journal while unattended.
class Station
{
public:
    struct Platform
    {
        SerialPort &port;
        Clock &clock;
        SettingsStore &settings;
        MessageBox &messages;
        InputBox &inputs;
        // Makes the MQTT publisher; the one over libmosquitto when empty.
        Publishing::MakePublisher makePublisher = {};
        // The station's own settings file as read at start, which the MQTT
        // dialog writes; none in a test that gives none.
        StationConfig *config = nullptr;
        // What the service manager (systemd) is told; none in a test that
        // gives none.
        ServiceManager *serviceManager = nullptr;
    };

    Station(MainWindow &window, const Platform &platform, const QString &programFolder);
    ~Station();
    Station(const Station &) = delete;
    Station &operator=(const Station &) = delete;

    // The start-up sequence, then the read timer. False when a step failed:
    // its error has been told and the program must end with a failure status.
    bool start();

    // Unattended, no fault holds the station up: each is journaled, a
    // failing module is polled again and a lost port reopened. Also the
    // operator's checkable File menu entry; it takes effect from the next
    // read cycle.
    void setUnattended(bool on);

    // The unattended start: the switches as the operator would turn them
    // on. False with the reason when something asked for cannot be done.
    bool applyOptions(const StationOptions &options, QString *error);

    // File > Exit, closing the window and SIGTERM: no further handler runs,
    // the log file ends with its last whole record, the unattended station's
    // journal says why it stopped, the port is let go and the event loop is
    // asked to end.
    void exit(const QString &why = QStringLiteral("Stopped"));

    // The shared record, for a test of the whole window to look into.
    const StationState &state() const { return m_state; }

private:
    void wireMenus();
    void readTick();
    void unattendedChanged();
    QString serviceStatus() const;

    MainWindow &m_window;
    Platform m_platform;
    QString m_programFolder;
    StationState m_state;

    // Adapters first: the logic below holds references to them.
    QtLabel m_lblHz, m_lblLitersPerMin, m_liters;
    QtLabel m_lblmV, m_lblpH, m_lblmV1, m_lblpH1;
    QtLabel m_lblTherm1, m_lblTherm2, m_lblTherm3;
    QtSlide m_CWSlideFlow, m_CWSlideLiters;
    QtSlide m_CWSlideTherm1, m_CWSlideTherm2, m_CWSlideTherm3;
    QtKnob m_CWKnobflow, m_CWtherMin, m_CWtherMax, m_CWpHmin, m_CWpHmax;
    QtKnob m_GraphMode;
    QtButton m_Command1;
    QtSwitch m_cwbFlow, m_CWButton3, m_cwbPh, m_cwbTherm, m_cwbReset, m_cwPlot;
    QtOptionGroup m_optTherm, m_optTherm1;
    QtTimer m_tmrRd, m_tmrPlot, m_tmrLogger;
    QtStatusBar m_StatusBar1;
    QtButton m_mnuReview, m_mnuMqtt, m_mnuExit, m_mnuLogSetup, m_mnuStop, m_mnuPhCal,
        m_mnuBufferCal, m_mnuComPort;
    QtSwitch m_mnuUnattended;

    EventJournal m_journal;
    FaultReporter m_faults;
    FaultMessageBox m_settingsMessages;
    PortWatch m_portWatch;
    EventsView m_eventsView;
    ModuleLink m_link;
    FlowChannel m_flow;
    PhChannel m_ph;
    ThermistorChannel m_thermistors;
    ChannelAcquisition m_channels;
    CalibrationStore m_calibration;
    CalibrationHistory m_calibrationHistory;
    SingleDialog<CalibrationDialog> m_calibrationDialog;
    SingleDialog<BufferAssistant> m_bufferAssistant;
    ChartStore m_chartStore;
    ChartGraph m_graph;
    StripChart m_chart;
    Logger m_logger;
    LogSetup m_logSetup;
    SingleDialog<FrmLogKestrom> m_logSetupWindow;
    ComPortCommand m_comPort;
    Publishing m_publishing;
    QTimer m_watchdogTimer;
    QtTimer m_tmrWatchdog{&m_watchdogTimer};
    ServiceNotifier m_service;
    ReadingAge m_readingAge;
    AlarmsView m_alarms;
    LiveView m_liveView;
    HaAnnouncer m_haAnnouncer;
    QMetaObject::Connection m_closedByFrame;
    bool m_exiting = false;
    Handlers m_handlers;
};
