// The composition root of kestrom-dgh: reads the command line, builds the
// real platform (serial port, clock, settings, message boxes) and the main
// window, and hands them to the station.

#include "config/StationConfig.h"
#include "platform/qt/PortMap.h"
#include "platform/qt/QSettingsStore.h"
#include "platform/qt/QtSerialPortAdapter.h"
#include "platform/qt/SystemClock.h"
#include "platform/qt/widgets/QtInputBox.h"
#include "platform/qt/widgets/QtMessageBox.h"
#include "review/ReviewWindow.h"
#include "service/CommandLine.h"
#include "sim/SimulatorProcess.h"
#include "ui/main/MainWindow.h"
#include "ui/main/QuitOnSignal.h"
#include "ui/main/Station.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QTimer>

#include <cstdio>

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

} // namespace

int main(int argc, char *argv[])
{
    // Read before any window system is needed, so --help, --version and a
    // bad option work without a display.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLine::Result parsed = CommandLine::parse(arguments);
    StationOptions options = parsed.options;
    // Out of the environment before any thread or child process exists.
    options.mqttEnvironmentPassword = MqttSettings::takePasswordFromEnvironment();
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
        print(stderr,
              QStringLiteral("kestrom-dgh: %1\nTry 'kestrom-dgh --help'.\n").arg(parsed.error));
        return 2;
    case CommandLine::Action::Run:
    case CommandLine::Action::Review: break;
    }
    // A broker asked for in a way that cannot work is a bad command line.
    const QString mqttProblem = options.mqtt.enabled() ? options.mqtt.problem() : QString();
    if (!mqttProblem.isEmpty()) {
        print(stderr,
              QStringLiteral("kestrom-dgh: --mqtt: %1\nTry 'kestrom-dgh --help'.\n")
                  .arg(mqttProblem));
        return 2;
    }

    QApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kestrom-dgh"));
    QApplication::setApplicationVersion(QStringLiteral(DGH_VERSION));

    FirstPaintQuit quitWhenShown;
    if (parsed.action == CommandLine::Action::Review) {
        // Only the logs under review: no port, no settings, no station.
        QPointer<ReviewWindow> review = new ReviewWindow(options.reviewFiles);
        if (options.exitWhenShown)
            review->installEventFilter(&quitWhenShown);
        review->show();
        const int status = QApplication::exec();
        delete review; // closed, it went by itself
        return status;
    }

    PortMap ports;
    for (const auto &device : options.devices)
        ports.setDevice(device.first, device.second);

    // Declared before the port, so it is stopped after the port let go of it.
    SimulatorProcess simulator;
    if (options.simulate) {
        QString error;
        if (!simulator.start({}, &error)) {
            print(
                stderr,
                QStringLiteral("kestrom-dgh: cannot start the module simulator: %1\n").arg(error));
            return 1;
        }
        ports.setDevice(1, simulator.devicePath());
    }

    // Read once; a file that does not read is told, and what it would have
    // set is left at its default.
    StationConfig config;
    QString configProblem;
    if (!config.load(options.configFile.isEmpty() ? StationConfig::defaultPath()
                                                  : options.configFile,
                     &configProblem))
        print(stderr, QStringLiteral("kestrom-dgh: %1\n").arg(configProblem));

    QtSerialPortAdapter port(ports);
    SystemClock clock;
    QSettingsStore settings;
    MainWindow window;
    QtMessageBox messages(&window);
    QtInputBox inputs(&window);

    Station station(window, {port, clock, settings, messages, inputs, {}, &config},
                    QCoreApplication::applicationDirPath());
    station.setUnattended(options.unattended);
    if (!station.start())
        return 1;
    const QuitOnSignal quitOnSignal([&station] { station.exit(); });
    window.show();

    QString error;
    if (!station.applyOptions(options, &error)) {
        print(stderr, QStringLiteral("kestrom-dgh: %1\n").arg(error));
        return 1;
    }

    if (options.exitWhenShown)
        window.installEventFilter(&quitWhenShown);
    return QApplication::exec();
}
