// Drives the real station windows as an operator would and saves what they
// show: every group polling the module simulator (the flow module at 90000
// Hz, the pH modules off for a while), a long log file name in panel 1, the
// chart zoomed, then with both cursors, the Logger and pH Calibration
// dialogs, alarms armed through Alarm Limits (some active, one module stale)
// and the Alarms window, a recorded log under review (pH with both cursors,
// then several columns with its journal shaded), the buffer assistant, the
// Comm Port input box and the message box it leads to. The station's clock
// runs eight times fast for the chart; its waits and timers are the real
// ones. Run it under an X server
// with a window manager, so that the shots show the windows' frames and
// titles (scripts/screenshot does); offscreen it grabs the windows alone.
//
//   station-screenshots OUTPUT_FOLDER [SUFFIX]

#include "platform/qt/PortMap.h"
#include "platform/qt/QSettingsStore.h"
#include "platform/qt/QtSerialPortAdapter.h"
#include "platform/qt/widgets/QtInputBox.h"
#include "platform/qt/widgets/QtMessageBox.h"
#include "platform/qt/widgets/ToggleButton.h"
#include "review/ReviewWindow.h"
#include "sim/SimulatorProcess.h"
#include "ui/chart/ChartPlot.h"
#include "ui/chart/GraphModeSelector.h"
#include "ui/main/MainWindow.h"
#include "ui/main/Station.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
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
#include <QToolButton>
#include <QTreeWidget>

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
// dosing step; the room's and the tank's temperatures and the flow with it;
// one line damaged by a copy. Probe 1 failed one evening: its pH stood still
// until it answered again, as the journal beside the log tells, with a flow
// gauge failing now and then, an alarm and a lost port.
void writeDemoLog(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return;
    const QDateTime firstStart(QDate(2026, 12, 6), QTime(8, 0));
    const QDateTime failed(QDate(2026, 12, 6), QTime(21, 10));
    const QDateTime answered(QDate(2026, 12, 6), QTime(23, 40));
    double litres = 0;
    const auto run = [&](const QDateTime &start, int minutes, auto ph1, auto ph2) {
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
        double held = 0;
        for (int i = 0; i < minutes; ++i) {
            const QDateTime at = start.addSecs(i * 60);
            const QString time = at.time().toString(QStringLiteral("h:mm:ss AP"));
            const double hours = firstStart.secsTo(at) / 3600.0;
            const double day = std::sin((hours - 9) / 24 * 2 * M_PI);
            double p1 = ph1(i / 60.0);
            if (at >= failed && at < answered)
                p1 = held; // no answer: the last value again
            held = p1;
            const double hertz = 172.5 + 6 * std::sin(hours * 1.7) + (i % 7) * 0.4;
            const double perMinute = hertz * 60 / 6900;
            litres += perMinute;
            file.write(QStringLiteral("\"%1\",%2,%3,%4,%5,%6,%7,%8,%9,%10,\"%11\"\r\n")
                           .arg(time)
                           .arg(21.5 + 1.5 * day, 0, 'f', 2)
                           .arg(22.8 + 0.6 * day, 0, 'f', 2)
                           .arg(19.9 + 0.2 * day, 0, 'f', 2)
                           .arg(2545.3 + (p1 - 7) * 58, 0, 'f', 1)
                           .arg(2601.7 + (ph2(i / 60.0) - 7) * 58, 0, 'f', 1)
                           .arg(p1, 0, 'f', 3)
                           .arg(ph2(i / 60.0), 0, 'f', 3)
                           .arg(hertz, 0, 'f', 1)
                           .arg(perMinute, 0, 'f', 3)
                           .arg(litres, 0, 'f', 1)
                           .toLatin1());
            if (i == 900)
                file.write("\"11:00:30 PM\",21.5,21.75,22,2545.3,26\r\n");
        }
    };
    const auto swing = [](double hours) { return 0.15 * std::sin(hours / 24 * 2 * M_PI); };
    run(
        firstStart, 36 * 60, [&](double h) { return 7 + 2 * std::exp(-h / 6) + swing(h); },
        [&](double h) { return 6.8 + 1.5 * std::exp(-h / 9) + swing(h + 3); });
    run(
        QDateTime(QDate(2026, 12, 8), QTime(6, 0)), 24 * 60,
        [&](double h) { return 7.05 + (h > 8 ? 0.6 * std::exp(-(h - 8) / 2) : 0) + swing(h); },
        [&](double h) { return 6.9 + swing(h + 3); });

    QFile journal(fileName + QStringLiteral(".events"));
    if (!journal.open(QIODevice::WriteOnly))
        return;
    journal.write(
        "2026-12-06T08:00:10+01:00,alarm,active,\"ph1.high: pH 1 9.12 above 8.5\"\n"
        "2026-12-06T08:20:00+01:00,alarm,acknowledged,\"ph1.high: acknowledged\"\n"
        "2026-12-06T11:05:40+01:00,alarm,normal,\"ph1.high: pH 1 8.44\"\n"
        "2026-12-06T21:10:00+01:00,6,fault,\"Probe 1 (module 6): no answer\"\n"
        "2026-12-06T21:10:10+01:00,6,still failing,\"Probe 1 (module 6): no answer since "
        "21:10:00 (10 times in a row)\"\n"
        "2026-12-06T23:40:00+01:00,6,answering again,\"Works again after 9000 faults\"\n"
        "2026-12-07T09:02:00+01:00,5,intermittent,\"Flow (module 5): no answer: 3 times in 10 "
        "minutes; from now on counted, and told at most once an hour\"\n"
        "2026-12-07T10:02:00+01:00,5,still intermittent,\"Flow (module 5): no answer: 14 faults "
        "in 9 episodes since 09:02:00\"\n"
        "2026-12-07T11:30:00+01:00,5,steady,\"No fault for 10 minutes: 3 faults in 2 episodes "
        "since 10:02:00\"\n"
        "2026-12-08T13:00:00+01:00,port,port lost,\"Port 1 lost: Input/output error\"\n"
        "2026-12-08T13:25:00+01:00,port,port reopened,\"Port 1 open (Works again after 25 "
        "faults)\"\n");
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
    // Twenty minutes of chart, or as long as SCREENSHOT_SECONDS says, with
    // the pH modules switched off for two of them: their points carry no
    // new reading, drawn as rings.
    const int seconds = qEnvironmentVariableIsSet("SCREENSHOT_SECONDS")
        ? qEnvironmentVariableIntValue("SCREENSHOT_SECONDS")
        : 150;
    settle(seconds * 600);
    c.cwbPh->click();
    settle(15000);
    c.cwbPh->click();
    settle(seconds * 400);
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
    // first night; then with the temperatures and the flow under it, and
    // what the journal beside it tells shaded behind.
    const QString demoLog = home.filePath("tank-7.txt");
    writeDemoLog(demoLog);
    auto *review = new ReviewWindow({demoLog});
    review->show();
    const auto loaded = [review] {
        QElapsedTimer loading;
        loading.start();
        while (!review->isLoaded() && loading.elapsed() < 20000)
            settle(50);
    };
    loaded();
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

    reviewMode->setValue(0);
    review->resize(1000, 820);
    for (const char *box : {"chkTherm1", "chkTherm2", "chkFlowRate"}) {
        review->findChild<QCheckBox *>(QLatin1String(box))->click();
        loaded();
    }
    shoot(review, "review-columns");
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

    // Alarms armed through Alarm Limits on a station left unattended: probe 1
    // above its high limit, the flow above its own (acknowledged), and
    // thermistor 3 refusing every answer, so its value grows stale.
    station.setUnattended(true);
    {
        QFile file(answers);
        file.open(QIODevice::WriteOnly);
        file.write("1=*+0024.60\n3=?\n6=*+03000.00\n");
    }
    c.mnuAlarmLimits->trigger();
    auto *limits = window.findChild<QDialog *>(QStringLiteral("frmAlarmLimits"));
    const QPair<const char *, const char *> fields[] = {
        {"ph1.low", "6.5"},    {"ph1.high", "8.5"},     {"ph1.deadband", "0.05"},
        {"ph2.high", "8.5"},   {"flow.high", "500"},    {"liters.high", "1900"},
        {"therm3.high", "30"}, {"deviation.ph", "2.5"}, {"stale.seconds", "5"}};
    for (const auto &[key, value] : fields)
        limits->findChild<QLineEdit *>(QString::fromLatin1(key))
            ->setText(QString::fromLatin1(value));
    limits->findChild<QLineEdit *>(QStringLiteral("command"))
        ->setText(QStringLiteral("/usr/local/bin/page-operator"));
    shoot(limits, "alarm-limits");
    limits->findChild<QPushButton *>(QStringLiteral("cmdAlarmLimitsSave"))->click();
    settle(9000);
    c.mnuAlarms->trigger();
    auto *list = window.findChild<QDialog *>(QStringLiteral("frmAlarms"));
    auto *rows = list->findChild<QTreeWidget *>(QStringLiteral("lstAlarms"));
    for (int row = 0; row < rows->topLevelItemCount(); ++row)
        if (rows->topLevelItem(row)->text(0).contains(QStringLiteral("flow.high")))
            rows->topLevelItem(row)->setSelected(true);
    list->findChild<QPushButton *>(QStringLiteral("cmdAcknowledge"))->click();
    list->close();
    settle(1500);
    shoot(&window, "alarms");
    window.findChild<QToolButton *>(QStringLiteral("alarmIndicator"))->click();
    for (QDialog *opened : window.findChildren<QDialog *>(QStringLiteral("frmAlarms")))
        if (opened->isVisible())
            list = opened;
    settle(1000); // the window manager frames it
    shoot(list, "alarms-list");
    list->close();

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
