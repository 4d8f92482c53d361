// Reviewing logs beside a station that logs, against dgh-sim on a pty.
//
// A FIFO named for review: the whole station runs in this process (the real
// window, port and logger) and a review window of its own opens the FIFO
// and closes again, nobody ever writing to it; a second program,
// "kestrom-dgh --review FIFO", does the same and ends. The station's log
// keeps growing all the while.
//
// Logs of other regional settings: the station program logs under a
// locale of each row; this process reads the log back under another one.

#include "e2e/FixedAnswers.h"
#include "fakes/FakeMessageBox.h"
#include "fakes/FakeSettingsStore.h"
#include "fakes/FakeWidgets.h"
#include "platform/qt/PortMap.h"
#include "platform/qt/QtSerialPortAdapter.h"
#include "platform/qt/SystemClock.h"
#include "review/LogLoader.h"
#include "review/ReviewWindow.h"
#include "sim/SimulatorProcess.h"
#include "ui/main/MainWindow.h"
#include "ui/main/Station.h"

#include <QFile>
#include <QPointer>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <sys/stat.h>

class TestReviewStation : public QObject
{
    Q_OBJECT

private slots:
    void fifoReviewedWhileLogging();
    void regionalLogsReadBack_data();
    void regionalLogsReadBack();
};

namespace {

constexpr int HeaderLines = 12;

// Record lines written so far: the lines after a run's header.
int recordsIn(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    return std::max(0, int(file.readAll().count("\r\n")) - HeaderLines);
}

struct Loaded
{
    std::shared_ptr<ChartStore> points;
    QVector<LogReader::Run> runs;
    qint64 problemCount = -1;
    QStringList problems;
    QString failure = QStringLiteral("not read whole");
};

Loaded load(const QString &fileName, const QLocale &locale)
{
    Loaded loaded;
    bool done = false;
    LogLoader loader({fileName}, locale);
    loader.sliceRead.setHandler([&](const LogLoader::Slice &slice) {
        if (slice.points)
            loaded.points = slice.points;
        for (const LogReader::Problem &problem : slice.problems)
            loaded.problems << QString::number(problem.line) + QStringLiteral(": ") + problem.why;
        if (slice.fileDone) {
            loaded.runs = slice.runs;
            loaded.problemCount = slice.problemCount;
            loaded.failure = slice.failure;
        }
        done = slice.last;
    });
    loader.start();
    QElapsedTimer waited;
    waited.start();
    while (!done && waited.elapsed() < 20000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    return loaded;
}

} // namespace

void TestReviewStation::fifoReviewedWhileLogging()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString fifo = dir.filePath(QStringLiteral("pipe"));
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString logPath = dir.filePath(QStringLiteral("run.csv"));

    SimulatorProcess sim(DGH_SIM_PATH);
    QString error;
    QVERIFY2(sim.start(fixedAnswers(), &error), qPrintable(error));
    PortMap ports;
    ports.setDevice(1, sim.devicePath());
    QtSerialPortAdapter port(ports);
    SystemClock clock;
    FakeSettingsStore settings;
    FakeMessageBox messages;
    FakeInputBox inputs;
    MainWindow window;
    Station station(window, {port, clock, settings, messages, inputs},
                    QStringLiteral(DGH_PROGRAM_FOLDER));
    QVERIFY(station.start());
    StationOptions options;
    options.pollPh = true;
    options.logFile = logPath;
    options.logMode = StationOptions::LogMode::Overwrite;
    options.logIntervalSeconds = 1;
    QVERIFY2(station.applyOptions(options, &error), qPrintable(error));
    window.show();
    QTRY_VERIFY_WITH_TIMEOUT(recordsIn(logPath) >= 2, 10000);

    // As File > Review Log leaves it, then closed by the operator.
    QPointer<ReviewWindow> review = new ReviewWindow({fifo}, &window);
    review->show();
    QTRY_VERIFY_WITH_TIMEOUT(review->isLoaded(), 10000);
    QCOMPARE(review->failure(), QStringLiteral("it is not a regular file: a FIFO (named pipe)"));
    review->close();
    QTRY_VERIFY_WITH_TIMEOUT(review.isNull(), 5000);

    // The reviewer ends at its first paint, often before its reader has
    // even begun: a program that did not wait for the reader tore down what
    // the reader used under it, and crashed now and then on the way out.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    const int before = recordsIn(logPath);
    for (int start = 0; start < 10; ++start) {
        QProcess reviewer;
        reviewer.setProcessEnvironment(env);
        reviewer.start(QStringLiteral(KESTROM_DGH_PATH), {"--review", fifo, "--exit-when-shown"});
        QVERIFY(reviewer.waitForStarted());
        QTRY_COMPARE_WITH_TIMEOUT(reviewer.state(), QProcess::NotRunning, 20000);
        const QByteArray said = reviewer.readAllStandardError();
        QVERIFY2(reviewer.exitStatus() == QProcess::NormalExit && reviewer.exitCode() == 0,
                 said.constData());
    }

    QTRY_VERIFY_WITH_TIMEOUT(recordsIn(logPath) >= before + 3, 10000);
    QVERIFY2(messages.texts.isEmpty(), qPrintable(messages.texts.join(", ")));
    QTRY_COMPARE_WITH_TIMEOUT(LogLoader::readersRunning(), 0, 5000);
}

// clang-format off
void TestReviewStation::regionalLogsReadBack_data()
{
    QTest::addColumn<QString>("written"); // the station's regional settings (LC_ALL)
    QTest::addColumn<QString>("read");    // the review's

    QTest::newRow("koreanReadUs")      << "ko_KR" << "en_US";
    QTest::newRow("chineseReadUs")     << "zh_CN" << "en_US";
    QTest::newRow("arabicReadUs")      << "ar_EG" << "en_US";
    QTest::newRow("persianReadGerman") << "fa_IR" << "de_DE";
    QTest::newRow("germanReadArabic")  << "de_DE" << "ar_EG";
    QTest::newRow("usReadChinese")     << "en_US" << "zh_CN";
}
// clang-format on

void TestReviewStation::regionalLogsReadBack()
{
    QFETCH(QString, written);
    QFETCH(QString, read);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString logPath = dir.filePath(QStringLiteral("run.csv"));
    SimulatorProcess sim(DGH_SIM_PATH);
    QString error;
    QVERIFY2(sim.start(fixedAnswers(), &error), qPrintable(error));

    QProcess station;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("LC_ALL"), written + QStringLiteral(".UTF-8"));
    station.setProcessEnvironment(env);
    const QDateTime started = QDateTime::currentDateTime().addSecs(-1);
    station.start(QStringLiteral(KESTROM_DGH_PATH),
                  {"--device", "1=" + sim.devicePath(), "--poll", "ph", "--log", logPath,
                   "--overwrite", "--interval", "1"});
    QVERIFY(station.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(recordsIn(logPath) >= 3, 15000);
    station.terminate();
    QVERIFY(station.waitForFinished(10000));
    const QDateTime ended = QDateTime::currentDateTime().addSecs(1);

    const Loaded loaded = load(logPath, QLocale(read));
    QCOMPARE(loaded.failure, QString());
    QVERIFY2(loaded.problems.isEmpty(), qPrintable(loaded.problems.join('\n')));
    QCOMPARE(loaded.runs.size(), 1);
    const LogReader::Run &run = loaded.runs.constFirst();
    QVERIFY2(run.date == started.date() || run.date == ended.date(),
             qPrintable(run.header.value(0)));
    QCOMPARE(int(run.records), recordsIn(logPath));
    // Records before the probe's first reading hold no reading of it.
    QFile log(logPath);
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = log.readAll().trimmed().split('\n');
    int beforeReading = 0;
    while (lines.value(HeaderLines - 1 + beforeReading).split(',').value(6) == "0")
        ++beforeReading;
    const PlotSeries &ph1 = loaded.points->series(1).tier(0);
    QCOMPARE(int(ph1.size()), recordsIn(logPath) - beforeReading);
    // Each at the time of day it was written, in order.
    double previous = -1;
    for (qint64 i = 0; i < ph1.size(); ++i) {
        const auto day = static_cast<int>(std::floor(ph1.x(i)));
        const QDateTime at(run.date.addDays(day),
                           QTime(0, 0).addSecs(int(std::lround((ph1.x(i) - day) * 86400))));
        QVERIFY2(at >= started && at <= ended, qPrintable(at.toString(Qt::ISODate)));
        QVERIFY(ph1.x(i) >= previous);
        previous = ph1.x(i);
    }
    // The last record's pH 1 as its line gives it, as the chart keeps it.
    QCOMPARE(ph1.y(ph1.size() - 1), float(lines.last().split(',').value(6).toDouble()));
}

QTEST_MAIN(TestReviewStation)
#include "test_review_station.moc"
