#include "e2e/FixedAnswers.h"
#include "fakes/Reference.h"
#include "sim/PseudoTerminal.h"
#include "sim/SimulatorProcess.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <cmath>
#include <csignal>
#include <memory>
#include <random>
#include <thread>
#include <unistd.h>

// The whole station logging unattended: kestrom-dgh polls dgh-sim's fixed
// answers on a pty and logs every second; the file it leaves is then read as
// an operator's spreadsheet would, and checked against the answers converted
// here, apart from the station's code.
class TestLoggingStation : public QObject
{
    Q_OBJECT

private slots:
    void logsWhatTheModulesSent();
    void journalThatCannotBeWritten();
    void babblingLineKeepsEveryRecord();
    void endedSimulatorIsStartedAgain();
};

namespace {

QStringList splitRecord(const QByteArray &line)
{
    return QString::fromLatin1(line).split(QLatin1Char(','));
}

} // namespace

void TestLoggingStation::logsWhatTheModulesSent()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    // A calibration the operator saved earlier, in the store's own file.
    const QString config = dir.filePath(QStringLiteral("config"));
    QVERIFY(QDir().mkpath(config));
    QFile ini(config + QStringLiteral("/Kestrom Science DGH Driver.ini"));
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.write("[Coefficients]\noffset=2.5000\nslope=4.6\nserial%20number=\"SN-\\\"A\\\"\"\n"
              "offset2=2.6\nslope2=4.4\nserial%20number2=SN-B\ndate=2025-03-14\n");
    ini.close();

    SimulatorProcess sim(DGH_SIM_PATH);
    QString error;
    QVERIFY2(sim.start(fixedAnswers(), &error), qPrintable(error));

    const QString logPath = dir.filePath(QStringLiteral("run.csv"));
    QProcess station;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), config);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("en_US.UTF-8"));
    station.setProcessEnvironment(env);
    station.start(QStringLiteral(KESTROM_DGH_PATH),
                  {"--device", "1=" + sim.devicePath(), "--poll", "flow,ph,therm", "--log", logPath,
                   "--overwrite", "--interval", "1"});
    QVERIFY(station.waitForStarted());
    QTest::qWait(4500);
    station.terminate();
    QVERIFY(station.waitForFinished(10000));
    QCOMPARE(station.exitStatus(), QProcess::NormalExit);
    QCOMPARE(station.exitCode(), 0);

    QFile log(logPath);
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QByteArray bytes = log.readAll();
    QVERIFY(bytes.endsWith("\r\n"));
    QList<QByteArray> lines = bytes.split('\n');
    lines.removeLast(); // after the final line end
    for (const QByteArray &line : lines)
        QVERIFY2(line.endsWith('\r'), line.constData()); // CR LF throughout, nothing torn

    auto lineAt = [&](int i) { return lines.value(i).chopped(1); };
    QCOMPARE(lineAt(0), QByteArray());
    QVERIFY(lineAt(1).startsWith("\"Kestrom Science DGH Logging Program\",#"));
    QCOMPARE(lineAt(4), QByteArray("\"Offset: 2.5\",\"Offset2: 2.6\""));
    QCOMPARE(lineAt(5), QByteArray("\"Slope: 4.6\",\"Slope2: 4.4\""));
    QCOMPARE(lineAt(6), QByteArray("\"Serial Number: SN-\"A\"\",\"Serial Number2: SN-B\""));
    QCOMPARE(lineAt(7), QByteArray("\"Calibration Date: 3/14/2025\""));
    QCOMPARE(lineAt(8), "\"Log File: " + logPath.toLocal8Bit() + "\"");
    QCOMPARE(lineAt(11), QByteArray());

    const int records = lines.size() - 12;
    QVERIFY2(records >= 3, qPrintable(QString::number(records)));
    // Within a cycle pH is read before the thermistors, so the first cycle
    // compensates at 0 degC; by the last record thermistor 1's 21.37 applies.
    const QStringList last = splitRecord(lineAt(lines.size() - 1));
    QCOMPARE(last.size(), 11);
    QVERIFY(QRegularExpression(QStringLiteral("^\"\\d{1,2}:\\d\\d:\\d\\d [AP]M\"$"))
                .match(last[0])
                .hasMatch());
    QCOMPARE(last[1].toDouble(), 21.37);
    QCOMPARE(last[2].toDouble(), 22.5);
    QCOMPARE(last[3].toDouble(), 23.0);
    QCOMPARE(last[4].toDouble(), 2450.0);
    QCOMPARE(last[5].toDouble(), 2600.0);
    QCOMPARE(last[6].toDouble(), referencePh(2450.0, 2.5, 4.6, 21.37));
    QCOMPARE(last[7].toDouble(), referencePh(2600.0, 2.6, 4.4, 21.37));
    QCOMPARE(last[8].toDouble(), 172.5);
    QCOMPARE(last[9].toDouble(), halfEven(172.5 * 60 / 6900, 2));
    // The total is the flow label's text: some whole number of reads of 172.5 Hz.
    bool totalMatches = false;
    for (int reads = 1; reads <= 10; ++reads) {
        const QString expected = QStringLiteral("\"%1\"").arg(halfEven(reads * 172.5 / 6900, 2));
        totalMatches = totalMatches || last[10] == expected;
    }
    QVERIFY2(totalMatches, qPrintable(last[10]));
}

// Unattended, with a probe and a thermistor that never answer, the
// journal's place beside the log taken by a folder and the station's own
// journal's folder by a file: one line on standard error for each, not one
// per fault, and the log goes on as ever.
void TestLoggingStation::journalThatCannotBeWritten()
{
    QTemporaryDir dir;
    const QString logPath = dir.filePath(QStringLiteral("run.csv"));
    QVERIFY(QDir().mkpath(logPath + QStringLiteral(".events")));
    QFile blocker(dir.filePath(QStringLiteral("state")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    SimulatorProcess sim(DGH_SIM_PATH);
    QString error;
    const QStringList silent{"--silent", "7", "--silent", "3"};
    QVERIFY2(sim.start(fixedAnswers() + silent, &error), qPrintable(error));

    QProcess station;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_STATE_HOME"), blocker.fileName());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    station.setProcessEnvironment(env);
    station.start(QStringLiteral(KESTROM_DGH_PATH),
                  {"--unattended", "--device", "1=" + sim.devicePath(), "--poll", "ph,therm",
                   "--log", logPath, "--overwrite", "--interval", "1"});
    QVERIFY(station.waitForStarted());
    QTest::qWait(6000);
    station.terminate();
    QVERIFY(station.waitForFinished(10000));
    QCOMPARE(station.exitCode(), 0);

    const QString errors = QString::fromLocal8Bit(station.readAllStandardError());
    QCOMPARE(errors.count(QStringLiteral("run.csv.events\" is not used: Is a directory")), 1);
    QCOMPARE(errors.count(QStringLiteral("cannot write the event journal")), 1);
    // Both faults are still told on standard error, as every event is.
    QVERIFY2(errors.contains(QStringLiteral("NO VALID RETURN FROM pH MODULE")) &&
                 errors.contains(QStringLiteral(",3,fault,")),
             qPrintable(errors));
    QFile log(logPath);
    QVERIFY(log.open(QIODevice::ReadOnly));
    QVERIFY(log.readAll().count(",2450,") >= 4);
}

// Unattended on a line that never falls quiet (random bytes at 1920 a
// second, nothing that answers): every failed answer may not make the cycle
// wait for quiet, or the cycle outgrows its second and the logger's ticks
// are lost. The log's one record per tick holds.
void TestLoggingStation::babblingLineKeepsEveryRecord()
{
    QTemporaryDir dir;
    PseudoTerminal line;
    std::string failure;
    QVERIFY2(line.open(&failure), failure.c_str());
    std::atomic<bool> babbling{true};
    std::thread babbler([&] {
        std::mt19937 random(7);
        char bytes[96];
        while (babbling) {
            for (char &byte : bytes)
                byte = static_cast<char>(random());
            if (::write(line.masterFd(), bytes, sizeof bytes) < 0)
                break;
            char sent[256]; // the station's commands, read off so the pty never fills
            while (::read(line.masterFd(), sent, sizeof sent) > 0) { }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    });
    const auto stopBabbling = qScopeGuard([&] {
        babbling = false;
        babbler.join();
    });

    const QString logPath = dir.filePath(QStringLiteral("run.csv"));
    QProcess station;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    station.setProcessEnvironment(env);
    station.setStandardErrorFile(dir.filePath(QStringLiteral("station.err")));
    station.start(QStringLiteral(KESTROM_DGH_PATH),
                  {"--unattended", "--device", "1=" + QString::fromStdString(line.slavePath()),
                   "--poll", "flow,ph,therm", "--log", logPath, "--overwrite", "--interval", "1"});
    QVERIFY(station.waitForStarted());
    const auto records = [&] {
        QFile log(logPath);
        return log.open(QIODevice::ReadOnly) ? log.readAll().count("\r\n") - 12 : 0;
    };
    QTRY_VERIFY_WITH_TIMEOUT(records() >= 1, 10000);
    const int first = records();
    QTest::qWait(40000);
    const int logged = records() - first;
    station.terminate();
    QVERIFY(station.waitForFinished(10000));
    QVERIFY2(logged >= 38, qPrintable(QString::number(logged)));
}

namespace {

// The dgh-sim processes whose parent is pid, and the command line of one.
QList<qint64> simulatorsOf(qint64 pid)
{
    QList<qint64> found;
    const QStringList entries = QDir("/proc").entryList(QDir::Dirs);
    for (const QString &entry : entries) {
        QFile stat("/proc/" + entry + "/stat");
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray line = stat.readAll();
        const QList<QByteArray> rest = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (line.contains("(dgh-sim)") && rest.size() > 1 && rest[1].toLongLong() == pid)
            found << entry.toLongLong();
    }
    return found;
}

QString linkOf(qint64 simulator)
{
    QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(simulator));
    cmdline.open(QIODevice::ReadOnly);
    const QList<QByteArray> arguments = cmdline.readAll().split('\0');
    const int at = arguments.indexOf("--link");
    return at >= 0 && at + 1 < arguments.size() ? QString::fromLocal8Bit(arguments[at + 1])
                                                : QString();
}

} // namespace

// --simulate, unattended: the simulator is killed, and its pty number is
// taken, where it comes free, by another program that answers every command
// with a value no module sends. The station starts its simulator again,
// polls it through its own link, and never reads the other program.
void TestLoggingStation::endedSimulatorIsStartedAgain()
{
    QTemporaryDir dir;
    const QString logPath = dir.filePath(QStringLiteral("run.csv"));
    QProcess station;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_STATE_HOME"), dir.filePath(QStringLiteral("state")));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    station.setProcessEnvironment(env);
    station.start(QStringLiteral(KESTROM_DGH_PATH),
                  {"--simulate", "--unattended", "--poll", "ph", "--log", logPath, "--overwrite",
                   "--interval", "1"});
    QVERIFY(station.waitForStarted());
    const auto log = [&] {
        QFile file(logPath);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    QTRY_VERIFY_WITH_TIMEOUT(log().count("\r\n") >= 14, 15000);
    const QList<qint64> first = simulatorsOf(station.processId());
    QCOMPARE(first.size(), 1);
    const QString pty = QFileInfo(linkOf(first[0])).canonicalFilePath();
    QVERIFY2(pty.startsWith("/dev/pts/"), qPrintable(pty));

    // Killed, and its pty number taken by another program at once.
    QVERIFY(::kill(pid_t(first[0]), SIGKILL) == 0);
    QTRY_VERIFY_WITH_TIMEOUT(!QFileInfo::exists("/proc/" + QString::number(first[0]) + "/stat") ||
                                 simulatorsOf(station.processId()) != first,
                             5000);
    // The number is free once the station too has let go of the dead pty,
    // unless the new simulator has it already (then there is nothing to take).
    std::vector<std::unique_ptr<PseudoTerminal>> others;
    PseudoTerminal *decoy = nullptr;
    QElapsedTimer trying;
    trying.start();
    while (!decoy && trying.elapsed() < 3000) {
        auto terminal = std::make_unique<PseudoTerminal>();
        std::string failure;
        QVERIFY2(terminal->open(&failure), failure.c_str());
        if (QString::fromStdString(terminal->slavePath()) == pty)
            decoy = terminal.get();
        others.push_back(std::move(terminal));
        if (!decoy && others.size() % 4 == 0) {
            others.clear(); // give the lower numbers back and look again
            QTest::qWait(20);
        }
    }
    std::atomic<bool> answering{true};
    std::thread answerer([&] {
        while (answering && decoy) {
            char command[64];
            if (::read(decoy->masterFd(), command, sizeof command) > 0)
                (void)!::write(decoy->masterFd(), "*+09999.99\r", 11);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    });
    const auto stopAnswering = qScopeGuard([&] {
        answering = false;
        answerer.join();
    });

    const int before = log().count("\r\n");
    QTRY_VERIFY_WITH_TIMEOUT(log().count("\r\n") >= before + 8, 20000);
    const QList<qint64> now = simulatorsOf(station.processId());
    station.terminate();
    QVERIFY(station.waitForFinished(10000));
    QCOMPARE(now.size(), 1);
    QVERIFY(now != first);
    QVERIFY2(!log().contains("9999.99"), log().right(600).constData());
    const QList<QByteArray> records = log().split('\n');
    const QList<QByteArray> last = records.at(records.size() - 2).split(',');
    QVERIFY2(last.size() == 11 && last[4].toDouble() > 0,
             records.at(records.size() - 2).constData());
    QVERIFY(station.readAllStandardError().contains("module simulator ended; it is started again"));
}

QTEST_GUILESS_MAIN(TestLoggingStation)
#include "test_logging_station.moc"
