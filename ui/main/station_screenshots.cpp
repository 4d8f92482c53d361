// Drives the real station windows as an operator would and saves what they
// show: every group polling the module simulator (the flow module at 90000
// Hz), a long log file name in panel 1, the chart zoomed, then with both
// cursors, the Logger and pH Calibration dialogs, the Comm Port input box and
// the message box it leads to. The station's clock runs eight times fast for
// the chart; its waits and timers are the real ones. Run it under an X server
// with a window manager, so that the shots show the windows' frames and
// titles (scripts/screenshot does); offscreen it grabs the windows alone.
//
//   station-screenshots OUTPUT_FOLDER [SUFFIX]

#include "platform/qt/PortMap.h"
#include "platform/qt/QSettingsStore.h"
#include "platform/qt/QtSerialPortAdapter.h"
#include "platform/qt/widgets/QtInputBox.h"
#include "platform/qt/widgets/QtMessageBox.h"
#include "review/ReviewWindow.h"
#include "sim/SimulatorProcess.h"
#include "ui/chart/ChartPlot.h"
#include "ui/chart/GraphModeSelector.h"
#include "ui/main/MainWindow.h"
#include "ui/main/Station.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QInputDialog>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <cmath>
#include <cstdio>
#include <thread>

namespace {

// Real waits, a wall clock eight times fast: minutes of chart in seconds.
class FastClock : public Clock
{
public:
    FastClock() { m_started.start(); }
    std::chrono::nanoseconds monotonic() const override
    {
        return std::chrono::steady_clock::now().time_since_epoch();
    }
    void sleepFor(std::chrono::nanoseconds duration) override
    {
        std::this_thread::sleep_for(duration);
    }
    QDateTime currentDateTime() const override { return m_start.addMSecs(m_started.elapsed() * 8); }

private:
    QDateTime m_start{QDate(2026, 12, 8), QTime(13, 20, 0)};
    QElapsedTimer m_started;
};

void settle(int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(10);
    }
}

QString g_folder;
QString g_suffix;

// The window with its frame where a window manager draws one.
void shoot(QWidget *window, const QString &name)
{
    settle(400);
    QPixmap picture;
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        const QRect frame = window->frameGeometry();
        picture =
            window->screen()->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height());
    } else {
        picture = window->grab();
    }
    const QString path = QDir(g_folder).filePath(name + g_suffix + QStringLiteral(".png"));
    std::printf("%s %s\n", qPrintable(path), picture.save(path) ? "saved" : "NOT SAVED");
    std::fflush(stdout);
}

void drag(QWidget *canvas, QPointF from, QPointF to, Qt::MouseButton button = Qt::LeftButton)
{
    const QRect area = canvas->contentsRect();
    const auto at = [&](QPointF f) {
        return QPoint(area.left() + int(f.x() * area.width()),
                      area.top() + int(f.y() * area.height()));
    };
    QMouseEvent press(QEvent::MouseButtonPress, at(from), button, button, Qt::NoModifier);
    QApplication::sendEvent(canvas, &press);
    for (int step = 1; step <= 5; ++step) {
        QMouseEvent move(QEvent::MouseMove, at(from + (to - from) * step / 5), Qt::NoButton, button,
                         Qt::NoModifier);
        QApplication::sendEvent(canvas, &move);
    }
    QMouseEvent release(QEvent::MouseButtonRelease, at(to), button, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(canvas, &release);
}

// Runs once a modal window is up: the input box and the message box live
// in nested event loops.
void whenModal(std::function<void(QWidget *)> act)
{
    auto *poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, act] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            poll->stop();
            poll->deleteLater();
            act(modal);
        }
    });
    poll->start(50);
}

// Two runs of a tank's log, 60 s apart, in the US time form: a day and a half
// settling from pH 9 towards 7 with a daily swing, then a day of pH 7 after a
// dosing step; one line damaged by a copy.
void writeDemoLog(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return;
    const auto run = [&file](const QDateTime &start, int minutes, auto ph1, auto ph2) {
        file.write("\r\n\"Kestrom Science DGH Logging Program\",#" +
                   start.date().toString(Qt::ISODate).toLatin1() +
                   "#\r\n\"Version: 1.1\"\r\n\r\n"
                   "\"Offset: 2.5777\",\"Offset2: 2.5777\"\r\n"
                   "\"Slope: 4.5427\",\"Slope2: 4.5427\"\r\n"
                   "\"Serial Number: 180312\",\"Serial Number2: 180313\"\r\n"
                   "\"Calibration Date: 12/1/2026\"\r\n"
                   "\"Log File: /home/lab/logs/tank-7.txt\"\r\n\r\n"
                   "\"Time, Therm1, Therm2, Therm3, pH 1 mVolts, pH 2 mVolts, pH 1 value, "
                   "pH 2 value, Flow Frequency, Liters/min, Liters\"\r\n\r\n");
        for (int i = 0; i < minutes; ++i) {
            const QString time =
                start.addSecs(i * 60).time().toString(QStringLiteral("h:mm:ss AP"));
            const double hours = i / 60.0;
            file.write(
                QStringLiteral("\"%1\",21.5,21.75,22,2545.3,2601.7,%2,%3,172.5,1.5,\"%4\"\r\n")
                    .arg(time)
                    .arg(ph1(hours), 0, 'f', 3)
                    .arg(ph2(hours), 0, 'f', 3)
                    .arg(i * 1.5, 0, 'f', 2)
                    .toLatin1());
            if (i == 900)
                file.write("\"11:00:30 PM\",21.5,21.75,22,2545.3,26\r\n");
        }
    };
    const auto swing = [](double hours) { return 0.15 * std::sin(hours / 24 * 2 * M_PI); };
    run(
        QDateTime(QDate(2026, 12, 6), QTime(8, 0)), 36 * 60,
        [&](double h) { return 7 + 2 * std::exp(-h / 6) + swing(h); },
        [&](double h) { return 6.8 + 1.5 * std::exp(-h / 9) + swing(h + 3); });
    run(
        QDateTime(QDate(2026, 12, 8), QTime(6, 0)), 24 * 60,
        [&](double h) { return 7.05 + (h > 8 ? 0.6 * std::exp(-(h - 8) / 2) : 0) + swing(h); },
        [&](double h) { return 6.9 + swing(h + 3); });
}

} // namespace

int main(int argc, char **argv)
{
    QApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: station-screenshots OUTPUT_FOLDER [SUFFIX]\n");
        return 2;
    }
    g_folder = QString::fromLocal8Bit(argv[1]);
    g_suffix = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
    QDir().mkpath(g_folder);

    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath("config")));
    SimulatorProcess simulator;
    QString error;
    // The pH probe drifts until the buffer calibration writes its answers here.
    const QString answers = home.filePath("answers");
    if (!simulator.start({"--answer", "5=*+90000.00", "--seed", "5", "--answers-from", answers},
                         &error)) {
        std::fprintf(stderr, "station-screenshots: %s\n", qPrintable(error));
        return 1;
    }
    PortMap ports;
    ports.setDevice(1, simulator.devicePath());
    QtSerialPortAdapter port(ports);
    FastClock clock;
    QSettingsStore settings;
    MainWindow window;
    QtMessageBox messages(&window);
    QtInputBox inputs(&window);
    Station station(window, {port, clock, settings, messages, inputs},
                    QCoreApplication::applicationDirPath());
    if (!station.start())
        return 1;
    window.show();

    // A log file deep in a folder tree: its name fills panel 1.
    const QString folder =
        home.filePath("laboratory-2/station-records/tank-farm-north/december-2026/continuous");
    QDir().mkpath(folder);
    StationOptions options;
    options.pollFlow = options.pollPh = options.pollTherm = options.plot = true;
    options.logFile = folder + "/tank-7-ph-and-flow-monitoring-run.csv";
    options.logMode = StationOptions::LogMode::Overwrite;
    options.logIntervalSeconds = 1;
    if (!station.applyOptions(options, &error)) {
        std::fprintf(stderr, "station-screenshots: %s\n", qPrintable(error));
        return 1;
    }
    const MainWindow::Controls &c = window.controls();
    // Twenty minutes of chart, or as long as SCREENSHOT_SECONDS says.
    const int seconds = qEnvironmentVariableIsSet("SCREENSHOT_SECONDS")
        ? qEnvironmentVariableIntValue("SCREENSHOT_SECONDS")
        : 150;
    settle(seconds * 1000);
    shoot(&window, "station");

    QWidget *canvas = c.CWGraph1->canvas();
    drag(canvas, {0.45, 0.25}, {0.85, 0.7});
    c.CWGraph1->replot();
    shoot(&window, "chart-zoomed");

    drag(canvas, {0.5, 0.5}, {0.5, 0.5}, Qt::RightButton); // following again
    c.GraphMode->setValue(2);
    settle(300);
    drag(canvas, {0.5, 0.5}, {0.3, 0.45});
    c.GraphMode->setValue(3);
    c.CWGraph1->replot();
    shoot(&window, "chart-cursors");

    c.mnuStop->trigger();
    c.mnuLogSetup->trigger();
    QWidget *logger = window.findChild<QDialog *>(QStringLiteral("FrmLogKestrom"));
    logger->findChild<QRadioButton *>(QStringLiteral("optDatafile_1"))->click();
    logger->findChild<QRadioButton *>(QStringLiteral("optAppend_0"))->click();
    shoot(logger, "logger");
    logger->close();

    c.mnuPhCal->trigger();
    QWidget *calibration = window.findChild<QDialog *>(QStringLiteral("frmCalkestrom"));
    calibration->findChild<QRadioButton *>(QStringLiteral("option1_1"))->click();
    shoot(calibration, "calibration");
    calibration->close();

    // A recorded log of two runs under review, both cursors measuring the
    // first night.
    const QString demoLog = home.filePath("tank-7.txt");
    writeDemoLog(demoLog);
    auto *review = new ReviewWindow({demoLog});
    review->show();
    QElapsedTimer loading;
    loading.start();
    while (!review->isLoaded() && loading.elapsed() < 20000)
        settle(50);
    auto *reviewMode = review->findChild<GraphModeSelector *>();
    reviewMode->setValue(2);
    ChartGraph &reviewGraph = review->graph();
    reviewGraph.setCursorX(1, 0.75);
    reviewGraph.setCursorY(1, 8.5);
    reviewMode->setValue(3);
    reviewGraph.setCursorX(2, 1.25);
    reviewGraph.setCursorY(2, 7.2);
    review->plot().replot();
    shoot(review, "review");
    review->close();

    // A three-buffer calibration of probe 1: 7.00, 4.01 and 9.18 at 24.6 degC,
    // the last a little off the line.
    c.mnuBufferCal->trigger();
    auto *assistant = window.findChild<QDialog *>(QStringLiteral("frmBufferAssistant"));
    const char *const millivolts[] = {"2453.00", "1654.40", "3039.50"};
    const int bufferRows[] = {0, 1, 2};
    for (const int row : bufferRows) {
        QFile file(answers);
        file.open(QIODevice::WriteOnly);
        file.write(QByteArray("1=*+0024.60\n6=*+") + millivolts[row] + "\n");
        file.close();
        if (row == 2)
            assistant->findChild<QComboBox *>(QStringLiteral("cmbBuffer_2"))
                ->setCurrentText(QStringLiteral("9.18"));
        settle(11000); // ten fresh readings
        assistant->findChild<QPushButton *>(QStringLiteral("cmdCapture_%1").arg(row))->click();
    }
    shoot(assistant, "buffer-assistant");
    assistant->close();

    // Comm Port to a port that is not there: the input box, then the message.
    whenModal([](QWidget *box) {
        box->findChild<QLineEdit *>()->setText(QStringLiteral("99"));
        shoot(box, "commport");
        whenModal([](QWidget *message) {
            shoot(message, "message");
            message->close();
        });
        static_cast<QDialog *>(box)->accept();
    });
    c.mnuComPort->trigger();

    station.exit();
    return 0;
}
