#include "ui/main/Station.h"

#include "platform/MessageBox.h"
#include "platform/SerialPort.h"
#include "platform/qt/widgets/MarkedSlider.h"
#include "platform/qt/widgets/PanelStatusBar.h"
#include "platform/qt/widgets/ToggleButton.h"
#include "review/ReviewWindow.h"
#include "ui/chart/ChartPlot.h"
#include "ui/chart/GraphModeSelector.h"
#include "ui/main/StartupSequence.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QLabel>
#include <QTimer>
#include <qwt_knob.h>

Station::Station(MainWindow &window, const Platform &platform, const QString &programFolder)
    : m_window(window)
    , m_platform(platform)
    , m_programFolder(programFolder)
    , m_lblHz(window.controls().lblHz)
    , m_lblLitersPerMin(window.controls().lblLitersPerMin)
    , m_liters(window.controls().liters)
    , m_lblmV(window.controls().lblmV)
    , m_lblpH(window.controls().lblpH)
    , m_lblmV1(window.controls().lblmV1)
    , m_lblpH1(window.controls().lblpH1)
    , m_lblTherm1(window.controls().lblTherm1)
    , m_lblTherm2(window.controls().lblTherm2)
    , m_lblTherm3(window.controls().lblTherm3)
    , m_CWSlideFlow(window.controls().CWSlideFlow)
    , m_CWSlideLiters(window.controls().CWSlideLiters)
    , m_CWSlideTherm1(window.controls().CWSlideTherm1)
    , m_CWSlideTherm2(window.controls().CWSlideTherm2)
    , m_CWSlideTherm3(window.controls().CWSlideTherm3)
    , m_CWKnobflow(window.controls().CWKnobflow)
    , m_CWtherMin(window.controls().CWtherMin)
    , m_CWtherMax(window.controls().CWtherMax)
    , m_CWpHmin(window.controls().CWpHmin)
    , m_CWpHmax(window.controls().CWpHmax)
    , m_GraphMode(window.controls().GraphMode)
    , m_Command1(window.controls().Command1)
    , m_cwbFlow(window.controls().cwbFlow)
    , m_CWButton3(window.controls().CWButton3)
    , m_cwbPh(window.controls().cwbPh)
    , m_cwbTherm(window.controls().cwbTherm)
    , m_cwbReset(window.controls().cwbReset)
    , m_cwPlot(window.controls().cwPlot)
    , m_optTherm(window.controls().optTherm)
    , m_optTherm1(window.controls().optTherm1)
    , m_tmrRd(window.controls().tmrRd)
    , m_tmrPlot(window.controls().tmrPlot)
    , m_tmrLogger(window.controls().tmrLogger)
    , m_StatusBar1(window.controls().StatusBar1)
    , m_mnuReview(window.controls().mnuReview)
    , m_mnuMqtt(window.controls().mnuMqtt)
    , m_mnuExit(window.controls().mnuExit)
    , m_mnuLogSetup(window.controls().mnuLogSetup)
    , m_mnuStop(window.controls().mnuStop)
    , m_mnuPhCal(window.controls().mnuPhCal)
    , m_mnuBufferCal(window.controls().mnuBufferCal)
    , m_mnuComPort(window.controls().mnuComPort)
    , m_mnuUnattended(window.controls().mnuUnattended)
    , m_journal(platform.clock)
    , m_faults(platform.messages, m_journal, platform.clock)
    , m_settingsMessages(m_faults, Faults::SETTINGS)
    , m_portWatch(platform.port, m_faults, m_journal, platform.clock)
    , m_eventsView(m_journal, m_faults, window.controls().StatusBar1, programFolder, &window)
    , m_link(platform.port, m_faults, platform.clock)
    , m_flow(m_state, m_link, m_faults,
             {m_cwbFlow, m_CWButton3, m_CWKnobflow, m_lblHz, m_lblLitersPerMin, m_liters,
              m_CWSlideFlow, m_CWSlideLiters})
    , m_ph(m_state, m_link, m_faults,
           {m_cwbPh, m_optTherm, m_optTherm1, m_lblmV, m_lblpH, m_lblmV1, m_lblpH1})
    , m_thermistors(m_state, m_link, m_faults,
                    {m_cwbTherm, m_cwbReset, m_CWtherMin, m_CWtherMax, m_lblTherm1, m_lblTherm2,
                     m_lblTherm3, m_CWSlideTherm1, m_CWSlideTherm2, m_CWSlideTherm3})
    , m_channels(m_state, m_flow, m_ph, m_thermistors)
    , m_calibration(platform.settings, m_state, m_settingsMessages)
    , m_calibrationHistory(platform.clock)
    , m_calibrationDialog([this] {
        return new CalibrationDialog(m_calibration, m_state, m_platform.messages, &m_window,
                                     &m_calibrationHistory);
    })
    , m_bufferAssistant([this] {
        return new BufferAssistant(
            m_state,
            [this](int probe, const QString &offset, const QString &slope, const QString &buffers) {
                m_calibrationDialog.show()->fillIn(
                    probe, offset, slope, m_platform.clock.currentDateTime().date(), buffers);
            },
            &m_window);
    })
    , m_graph(*window.controls().CWGraph1, m_chartStore, platform.clock)
    , m_chart(m_state, platform.clock,
              {m_graph, m_cwPlot, m_tmrPlot, m_CWpHmin, m_CWpHmax, m_GraphMode, m_StatusBar1,
               m_Command1})
    , m_logger(m_state, m_tmrLogger, m_StatusBar1, m_mnuStop, m_mnuLogSetup, m_liters, m_faults,
               platform.clock, programFolder)
    , m_logSetup(m_logger, platform.messages)
    , m_logSetupWindow([this] { return new FrmLogKestrom(m_logSetup, nullptr, &m_window); })
    , m_comPort(platform.port, platform.inputs, platform.messages)
    , m_publishing(m_state, platform.clock, platform.config, platform.makePublisher,
                   Publishing::addLamp(window.controls().StatusBar1), &window)
    , m_service(platform.serviceManager, m_tmrWatchdog)
    , m_readingAge(m_state, platform.clock)
    , m_alarms(m_state, m_readingAge, platform.port, platform.clock, m_journal, m_publishing,
               platform.config, window.controls().StatusBar1,
               {window.controls().mnuAlarms, window.controls().mnuAlarmLimits}, &window)
    , m_liveView(m_readingAge, platform.port, m_alarms.alarms(),
                 {window.controls().lblHz, window.controls().lblLitersPerMin,
                  window.controls().liters, window.controls().lblmV, window.controls().lblpH,
                  window.controls().lblmV1, window.controls().lblpH1, window.controls().lblTherm1,
                  window.controls().lblTherm2, window.controls().lblTherm3},
                 window.menuBar())
    , m_haAnnouncer(m_publishing, m_state, [this] {
        QStringList names;
        for (const Alarm &alarm : m_alarms.alarms().alarms())
            names << alarm.definition.name;
        return names;
    })
{
    m_handlers.install(m_tmrRd.tick, [this] { readTick(); });
    // What follows a read beyond the window hears the cycle; the chart and
    // the logger read the shared record on timers of their own.
    m_handlers.install(m_channels.cycleRead, [this](const CycleReads &reads) {
        m_readingAge.cycleRead(reads);
        m_alarms.cycleRead(reads);
        m_publishing.cycleRead(reads);
        m_haAnnouncer.cycleRead();
        m_service.cycleCompleted(serviceStatus());
    });
    m_handlers.install(m_logger.runBegan, [this](const QString &fileName, LogFile::Mode mode) {
        m_journal.followLogRun(fileName, mode);
    });
    m_handlers.install(m_logger.runEnded, [this] { m_journal.followNoRun(); });
    wireMenus();
    m_handlers.install(m_journal.recorded,
                       [this](const StationEvent &event) { m_publishing.eventRecorded(event); });
    m_closedByFrame = QObject::connect(&window, &MainWindow::closedByFrame, &window, [this] {
        exit(QStringLiteral("Stopped: the window was closed"));
    });
}

Station::~Station()
{
    // The timers belong to the window, which may outlive the logic they call.
    m_tmrRd.setEnabled(false);
    m_tmrPlot.setEnabled(false);
    m_tmrLogger.setEnabled(false);
    QObject::disconnect(m_closedByFrame);
}

void Station::wireMenus()
{
    m_handlers.install(m_mnuReview.clicked, [this] { ReviewWindow::chooseAndOpen(&m_window); });
    m_handlers.install(m_mnuMqtt.clicked, [this] { m_publishing.showDialog(); });
    m_handlers.install(m_mnuExit.clicked,
                       [this] { exit(QStringLiteral("Stopped from File > Exit")); });
    m_handlers.install(m_mnuLogSetup.clicked, [this] { m_logSetupWindow.show(); });
    m_handlers.install(m_mnuPhCal.clicked, [this] { m_calibrationDialog.show(); });
    m_handlers.install(m_mnuBufferCal.clicked, [this] { m_bufferAssistant.show(); });
    m_handlers.install(m_mnuComPort.clicked, [this] { m_comPort.run(); });
    m_handlers.install(m_mnuUnattended.changed, [this] { unattendedChanged(); });
}

void Station::setUnattended(bool on)
{
    m_mnuUnattended.setValue(on);
}

void Station::unattendedChanged()
{
    const bool on = m_mnuUnattended.value();
    m_faults.setUnattended(on);
    m_link.setSettling(on);
}

void Station::readTick()
{
    // The port is closed while Comm Port asks for a number: a tick then
    // would only pile messages over the operator's input box.
    if (m_comPort.isRunning())
        return;
    const bool anyPolled = m_state.flowEnabled == FlagOn || m_state.phEnabled == FlagOn ||
        m_state.thermEnabled == FlagOn;
    if (anyPolled && m_faults.isUnattended() && !m_portWatch.lineReady()) {
        // Waiting for its port is the station's work here, not a hang: a
        // restart would only find the port missing at start-up.
        m_service.cycleCompleted(serviceStatus());
        return;
    }
    m_channels.ReadCycle();
}

QString Station::serviceStatus() const
{
    const LogFile &log = m_logger.logFile();
    return ServiceNotifier::statusText(m_state, m_alarms.alarms().activeCount(),
                                       log.isOpen() ? log.fileName() : QString());
}

bool Station::start()
{
    StartupSequence startup(
        {m_platform.port, m_StatusBar1, m_CWtherMax, m_CWtherMin, m_CWpHmax, m_faults},
        m_programFolder, [this] { m_calibration.LoadCalibration(); });
    if (!startup.run())
        return false;
    m_tmrRd.setInterval(ChannelAcquisition::READ_INTERVAL_MS);
    m_tmrRd.setEnabled(true);
    return true;
}
bool Station::applyOptions(const StationOptions &options, QString *error)
{
    if (options.pollFlow)
        m_cwbFlow.setValue(true);
    if (options.pollPh)
        m_cwbPh.setValue(true);
    if (options.pollTherm)
        m_cwbTherm.setValue(true);
    if (options.plot)
        m_cwPlot.setValue(true);
    m_alarms.setStationName(options.mqtt.stationIdOrHostName());
    m_alarms.setCommandLine(options.alarmCommand);
    m_publishing.setEnvironmentPassword(options.mqttEnvironmentPassword);
    m_publishing.start(options.mqtt);
    if (options.logMode != StationOptions::LogMode::None) {
        const LogFile::Mode mode = options.logMode == StationOptions::LogMode::Append
            ? LogFile::Mode::Append
            : LogFile::Mode::Overwrite;
        QString reason;
        if (!m_logSetup.startWithoutDialog(options.logFile, mode, options.logIntervalSeconds,
                                           &reason, options.rotateDaily)) {
            if (error)
                *error = reason;
            return false;
        }
    }
    if (error)
        error->clear();
    m_service.startUpDone();
    return true;
}

void Station::exit(const QString &why)
{
    if (m_exiting)
        return;
    m_exiting = true;
    m_service.stopping(why);
    m_faults.closeAccounts();
    m_tmrRd.setEnabled(false);
    m_tmrPlot.setEnabled(false);
    m_tmrLogger.setEnabled(false);
    m_logger.closeLogFile();
    if (m_faults.isUnattended())
        m_journal.record(QStringLiteral("station"), QStringLiteral("stopped"), why,
                         ErrorOutput::Priority::Info);
    m_platform.port.close();
    m_window.hide();
    QCoreApplication::quit();
}
