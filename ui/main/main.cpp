// The composition root of kestrom-dgh: reads the command line over the
// settings file, builds the real platform (serial port, clock, settings,
// message boxes, the service manager) and the main window, and hands them to
// the station.

#include "calibration/CalibrationStore.h"
#include "config/StationConfig.h"
#include "platform/qt/ErrorOutput.h"
#include "platform/qt/PortMap.h"
#include "platform/qt/QSettingsStore.h"
#include "platform/qt/QtSerialPortAdapter.h"
#include "platform/qt/SystemClock.h"
#include "platform/qt/widgets/QtInputBox.h"
#include "platform/qt/widgets/QtMessageBox.h"
#include "review/LogLoader.h"
#include "review/ReviewWindow.h"
#include "service/CommandLine.h"
#include "service/ConfigOptions.h"
#include "service/MqttSettingsMove.h"
#include "service/StartupSummary.h"
#include "service/SystemdServiceManager.h"
#include "sim/SimulatorProcess.h"
#include "ui/main/MainWindow.h"
#include "ui/main/QuitOnSignal.h"
#include "ui/main/Station.h"

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>

namespace {

// Ends the event loop after the window's first paint (start-up timing).
class FirstPaintQuit : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !m_done) {
            m_done = true;
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool m_done = false;
};

void print(FILE *stream, const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

void tell(ErrorOutput::Priority priority, const QString &text)
{
    ErrorOutput::write(priority, QStringLiteral("kestrom-dgh: ") + text);
}

// Qt's own warnings reach the journal with their priority too.
void qtMessageToJournal(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    using P = ErrorOutput::Priority;
    const P priority = type == QtDebugMsg || type == QtInfoMsg ? P::Info
        : type == QtWarningMsg                                 ? P::Warning
                                                               : P::Error;
    ErrorOutput::write(priority, message);
    if (type == QtFatalMsg)
        std::abort();
}

// Qt ends the program when it finds no display; better to say why first.
bool displayThere(const CommandLine::Result &parsed)
{
    return parsed.platformGiven || !qEnvironmentVariableIsEmpty("DISPLAY") ||
        !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
        !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

void tellNoDisplay(bool review)
{
    const QString why = QStringLiteral("no display to open a window on (DISPLAY, "
                                       "WAYLAND_DISPLAY and QT_QPA_PLATFORM are unset)");
    tell(ErrorOutput::Priority::Error,
         review ? why + QStringLiteral("; review the log on a machine with one.")
                : why +
                 QStringLiteral("; to run the station without one, start it with "
                                "--headless."));
}

// The settings file the command line names (else the usual one), read whole,
// and the command line over it. False when something in either does not do:
// each problem is told, with its line.
bool readSettings(const StationOptions &commandLine, StationConfig *config, StationOptions *options)
{
    const bool named = !commandLine.configFile.isEmpty();
    QStringList problems;
    QStringList warnings;
    QString problem;
    // A service (a file named to it, or one systemd runs) must not start on
    // what it cannot read. The desktop's own file only adds to the station:
    // one that does not read is told, and the station starts without it.
    const bool service =
        named || commandLine.headless || qEnvironmentVariableIsSet("INVOCATION_ID");
    if (!config->load(named ? commandLine.configFile : StationConfig::defaultPath(), &problem))
        (service ? problems : warnings) << problem;
    else if (named && !config->exists())
        problems << QStringLiteral("%1 cannot be read: it does not exist").arg(config->path());
    const StationOptions fromFile = ConfigOptions::read(*config, &problems, &warnings);
    for (const QString &warning : qAsConst(warnings))
        tell(ErrorOutput::Priority::Warning, warning);
    for (const QString &each : qAsConst(problems))
        tell(ErrorOutput::Priority::Error, each);
    *options = ConfigOptions::merge(fromFile, commandLine);
    return problems.isEmpty();
}

// The program, up to its windows' end.
int run(int argc, char *argv[])
{
    if (ErrorOutput::toJournal())
        qInstallMessageHandler(&qtMessageToJournal);
    // Read before any window system is needed, so --help, --version, a bad
    // option and --check-config work without a display.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLine::Result parsed = CommandLine::parse(arguments);
    StationOptions commandLine = parsed.options;
    // Out of the environment before any thread or child process exists.
    commandLine.mqttEnvironmentPassword = MqttSettings::takePasswordFromEnvironment();
    switch (parsed.action) {
    case CommandLine::Action::ShowHelp: {
        const QCoreApplication core(argc, argv); // the usage line names the program
        print(stdout, CommandLine::helpText());
        return 0;
    }
    case CommandLine::Action::ShowVersion:
        print(stdout, QStringLiteral("kestrom-dgh %1\n").arg(QStringLiteral(DGH_VERSION)));
        return 0;
    case CommandLine::Action::Fail:
        tell(ErrorOutput::Priority::Error,
             QStringLiteral("%1\nTry 'kestrom-dgh --help'.").arg(parsed.error));
        return 2;
    case CommandLine::Action::Run:
    case CommandLine::Action::CheckConfig:
    case CommandLine::Action::Review: break;
    }

    QApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
    if (parsed.action == CommandLine::Action::Review) {
        if (!displayThere(parsed)) {
            tellNoDisplay(true);
            return 2;
        }
        // Only the logs under review: no port, no settings, no station.
        QApplication app(argc, argv);
        FirstPaintQuit quitWhenShown;
        QPointer<ReviewWindow> review = new ReviewWindow(commandLine.reviewFiles);
        if (commandLine.exitWhenShown)
            review->installEventFilter(&quitWhenShown);
        review->show();
        const int status = QApplication::exec();
        delete review; // closed, it went by itself
        return status;
    }

    // Nothing is touched (no simulator, no port, no file written) before
    // both are read and found good.
    StationConfig config;
    StationOptions options;
    if (!readSettings(commandLine, &config, &options))
        return 2;
    const bool checkOnly = parsed.action == CommandLine::Action::CheckConfig;
    if (!checkOnly && !options.headless && !displayThere(parsed)) {
        tellNoDisplay(false);
        return 2;
    }
    QSettingsStore settings;
    const MqttSettingsMove move = MqttSettingsMove::run(
        config, settings, QSettingsStore::fileName(CalibrationStore::APPLICATION), !checkOnly);
    if (!move.message.isEmpty())
        tell(move.outcome == MqttSettingsMove::Outcome::Moved ? ErrorOutput::Priority::Info
                                                              : ErrorOutput::Priority::Warning,
             move.message);
    if (!commandLine.mqtt.enabled() && move.outcome != MqttSettingsMove::Outcome::Nothing)
        options.mqtt = move.settings;
    // A broker asked for in a way that cannot work is a bad setting.
    const QString mqttProblem = options.mqtt.enabled() ? options.mqtt.problem() : QString();
    if (!mqttProblem.isEmpty()) {
        tell(ErrorOutput::Priority::Error,
             commandLine.mqtt.enabled()
                 ? QStringLiteral("--mqtt: %1\nTry 'kestrom-dgh --help'.").arg(mqttProblem)
                 : QStringLiteral("%1 [mqtt]: %2").arg(config.path(), mqttProblem));
        return 2;
    }

    PortMap ports;
    for (const auto &device : qAsConst(options.devices))
        ports.setDevice(device.first, device.second);

    if (checkOnly) {
        print(stdout,
              QStringLiteral("Settings file: %1%2\n")
                      .arg(config.path(),
                           config.exists() ? QString() : QStringLiteral(" (none there)")) +
                  StartupSummary::text(options, ports));
        return 0;
    }

    if (options.headless)
        qputenv("QT_QPA_PLATFORM", "offscreen"); // no display server is asked for at all
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kestrom-dgh"));
    QApplication::setApplicationVersion(QStringLiteral(DGH_VERSION));

    // Declared before the port, so it is stopped after the port let go of it.
    // Port 1 is a link of our own to the simulator's pty: a simulator that
    // ended is started again behind it, and the pty it left, which another
    // program may get next, is never reopened.
    SimulatorProcess simulator;
    QTemporaryDir simulatorFolder(QDir::tempPath() + QStringLiteral("/kestrom-dgh-XXXXXX"));
    if (options.simulate) {
        QString error;
        const QString link = simulatorFolder.filePath(QStringLiteral("modules"));
        if (!simulatorFolder.isValid() ||
            !simulator.start({QStringLiteral("--link"), link}, &error)) {
            tell(ErrorOutput::Priority::Error,
                 QStringLiteral("cannot start the module simulator: %1")
                     .arg(simulatorFolder.isValid() ? error : simulatorFolder.errorString()));
            return 1;
        }
        simulator.restartWhenItEnds(link, [](const QString &text, bool givenUp) {
            tell(givenUp ? ErrorOutput::Priority::Error : ErrorOutput::Priority::Warning, text);
        });
        ports.setDevice(1, link);
    }

    QtSerialPortAdapter port(ports);
    SystemClock clock;
    MainWindow window;
    QtMessageBox messages(&window);
    QtInputBox inputs(&window);
    SystemdServiceManager systemd;

    Station station(window, {port, clock, settings, messages, inputs, {}, &config, &systemd},
                    QCoreApplication::applicationDirPath());
    station.setUnattended(options.unattended);
    if (!station.start())
        return 1;
    const QuitOnSignal quitOnSignal([&station](int signal) {
        station.exit(
            QStringLiteral("Stopped by %1")
                .arg(signal == SIGINT ? QStringLiteral("SIGINT") : QStringLiteral("SIGTERM")));
    });
    if (!options.headless)
        window.show();

    QString error;
    if (!station.applyOptions(options, &error)) {
        tell(ErrorOutput::Priority::Error, error);
        return 1;
    }

    FirstPaintQuit quitWhenShown;
    if (options.exitWhenShown)
        window.installEventFilter(&quitWhenShown);
    return QApplication::exec();
}

} // namespace

int main(int argc, char *argv[])
{
    const int status = run(argc, argv);
    // A review window's reader may still be on its way out; what it uses of
    // Qt is torn down once main returns.
    if (!LogLoader::waitForReaders(std::chrono::seconds(3))) {
        tell(ErrorOutput::Priority::Warning,
             QStringLiteral("a log under review is still being read: its disk does not answer; "
                            "ending without waiting for it"));
        std::fflush(nullptr);
        std::_Exit(status);
    }
    return status;
}
