#include "ui/main/Station.h"

#include "platform/MessageBox.h"
#include "platform/SerialPort.h"
#include "platform/qt/widgets/PanelStatusBar.h"
#include "ui/chart/ChartPlot.h"
#include "ui/main/MainWindow.h"
#include "ui/main/StartupSequence.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QLabel>
#include <QTimer>
#include <qwt_abstract_slider.h>
#include <qwt_knob.h>
#include <qwt_slider.h>

namespace {

QLabel *label(MainWindow &w, const char *name)
{
    return w.control<QLabel>(QString::fromLatin1(name));
}
QwtSlider *slider(MainWindow &w, const char *name)
{
    return w.control<QwtSlider>(QString::fromLatin1(name));
}
QwtKnob *knob(MainWindow &w, const char *name)
{
    return w.control<QwtKnob>(QString::fromLatin1(name));
}
QAbstractButton *button(MainWindow &w, const char *name)
{
    return w.control<QAbstractButton>(QString::fromLatin1(name));
}
QButtonGroup *group(MainWindow &w, const char *name)
{
    return w.control<QButtonGroup>(QString::fromLatin1(name));
}
QTimer *timer(MainWindow &w, const char *name)
{
    return w.control<QTimer>(QString::fromLatin1(name));
}
QAction *action(MainWindow &w, const char *name)
{
    return w.control<QAction>(QString::fromLatin1(name));
}

} // namespace

Station::Station(MainWindow &window, const Platform &platform, const QString &programFolder)
    : m_window(window)
    , m_platform(platform)
    , m_programFolder(programFolder)
    , m_lblHz(label(window, "lblHz"))
    , m_lblLitersPerMin(label(window, "lblLitersPerMin"))
    , m_liters(label(window, "liters"))
    , m_lblmV(label(window, "lblmV"))
    , m_lblpH(label(window, "lblpH"))
    , m_lblmV1(label(window, "lblmV1"))
    , m_lblpH1(label(window, "lblpH1"))
    , m_lblTherm1(label(window, "lblTherm1"))
    , m_lblTherm2(label(window, "lblTherm2"))
    , m_lblTherm3(label(window, "lblTherm3"))
    , m_CWSlideFlow(slider(window, "CWSlideFlow"))
    , m_CWSlideLiters(slider(window, "CWSlideLiters"))
    , m_CWSlideTherm1(slider(window, "CWSlideTherm1"))
    , m_CWSlideTherm2(slider(window, "CWSlideTherm2"))
    , m_CWSlideTherm3(slider(window, "CWSlideTherm3"))
    , m_CWKnobflow(knob(window, "CWKnobflow"))
    , m_CWtherMin(knob(window, "CWtherMin"))
    , m_CWtherMax(knob(window, "CWtherMax"))
    , m_CWpHmin(knob(window, "CWpHmin"))
    , m_CWpHmax(knob(window, "CWpHmax"))
    , m_GraphMode(window.control<QwtAbstractSlider>(QStringLiteral("GraphMode")))
    , m_Command1(button(window, "Command1"))
    , m_cwbFlow(button(window, "cwbFlow"))
    , m_CWButton3(button(window, "CWButton3"))
    , m_cwbPh(button(window, "cwbPh"))
    , m_cwbTherm(button(window, "cwbTherm"))
    , m_cwbReset(button(window, "cwbReset"))
    , m_cwPlot(button(window, "cwPlot"))
    , m_optTherm(group(window, "optTherm"))
    , m_optTherm1(group(window, "optTherm1"))
    , m_tmrRd(timer(window, "tmrRd"))
    , m_tmrPlot(timer(window, "tmrPlot"))
    , m_tmrLogger(timer(window, "tmrLogger"))
    , m_StatusBar1(window.control<PanelStatusBar>(QStringLiteral("StatusBar1")))
    , m_mnuExit(action(window, "mnuExit"))
    , m_mnuLogSetup(action(window, "mnuLogSetup"))
    , m_mnuStop(action(window, "mnuStop"))
    , m_mnuPhCal(action(window, "mnuPhCal"))
    , m_mnuComPort(action(window, "mnuComPort"))
    , m_link(platform.port, platform.messages, platform.clock)
    , m_channels(m_state, m_link, platform.messages,
                 FlowPanel{m_cwbFlow, m_CWButton3, m_CWKnobflow, m_lblHz, m_lblLitersPerMin,
                           m_liters, m_CWSlideFlow, m_CWSlideLiters},
                 PhPanel{m_cwbPh, m_optTherm, m_optTherm1, m_lblmV, m_lblpH, m_lblmV1, m_lblpH1},
                 ThermistorPanel{m_cwbTherm, m_cwbReset, m_CWtherMin, m_CWtherMax, m_lblTherm1,
                                 m_lblTherm2, m_lblTherm3, m_CWSlideTherm1, m_CWSlideTherm2,
                                 m_CWSlideTherm3})
    , m_calibration(platform.settings, m_state, platform.messages)
    , m_calibrationDialog(m_calibration, m_state, platform.messages)
    , m_chart(m_state, platform.clock,
              {*window.control<ChartPlot>(QStringLiteral("CWGraph1")), m_cwPlot, m_tmrPlot,
               m_CWpHmin, m_CWpHmax, m_GraphMode, m_StatusBar1})
    , m_logger(m_state, m_tmrLogger, m_StatusBar1, m_mnuStop, m_mnuLogSetup, m_liters,
               platform.messages, platform.clock, programFolder)
    , m_logSetup(m_logger, platform.messages)
    , m_logSetupWindow(m_logSetup, &window)
    , m_comPort(platform.port, platform.inputs, platform.messages)
{
    m_tmrRd.tick.setHandler([this] { m_channels.ReadCycle(); });
    wireMenus();
    m_closedByFrame =
        QObject::connect(&window, &MainWindow::closedByFrame, &window, [this] { exit(); });
}

Station::~Station()
{
    // The timers belong to the window, which may outlive the logic they call.
    m_tmrRd.setEnabled(false);
    m_tmrPlot.setEnabled(false);
    m_tmrLogger.setEnabled(false);
    m_tmrRd.tick.setHandler(nullptr);
    QObject::disconnect(m_closedByFrame);
}

void Station::wireMenus()
{
    m_mnuExit.clicked.setHandler([this] { exit(); });
    m_mnuLogSetup.clicked.setHandler([this] { m_logSetupWindow.show(); });
    m_mnuPhCal.clicked.setHandler([this] { m_calibrationDialog.open(&m_window); });
    m_mnuComPort.clicked.setHandler([this] { m_comPort.run(); });
    m_Command1.clicked.setHandler([this] { m_chart.ResetPhScale(); });
}

bool Station::start()
{
    StartupSequence startup(
        {m_platform.port, m_StatusBar1, m_CWtherMax, m_CWtherMin, m_CWpHmax, m_platform.messages},
        m_programFolder, [this] { m_calibration.LoadCalibration(); });
    if (!startup.run())
        return false;
    m_tmrRd.setInterval(1000);
    m_tmrRd.setEnabled(true);
    // Enabled with interval 0: it stays silent until logging sets an interval.
    m_tmrLogger.setInterval(0);
    m_tmrLogger.setEnabled(true);
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
    if (options.logMode != StationOptions::LogMode::None) {
        const LogFile::Mode mode = options.logMode == StationOptions::LogMode::Append
            ? LogFile::Mode::Append
            : LogFile::Mode::Overwrite;
        QString reason;
        if (!m_logSetup.startUnattended(options.logFile, mode, options.logIntervalSeconds,
                                        &reason)) {
            if (error)
                *error = reason;
            return false;
        }
    }
    if (error)
        error->clear();
    return true;
}

void Station::exit()
{
    if (m_exiting)
        return;
    m_exiting = true;
    m_tmrRd.setEnabled(false);
    m_tmrPlot.setEnabled(false);
    m_tmrLogger.setEnabled(false);
    m_logger.closeLogFile();
    m_platform.port.close();
    m_window.hide();
    QCoreApplication::quit();
}
