#include "sim/SimulatorProcess.h"
#include "sim/StationLink.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

class TestDghSimProcess : public QObject
{
    Q_OBJECT

private slots:
    void printsItsTerminalFirst();
    void linkFollowsTheRun();
    void stopsCleanlyOnSignal_data();
    void stopsCleanlyOnSignal();
    void endsWithTheProgramThatStartedIt();
    void refusesBadArguments_data();
    void refusesBadArguments();
    void missingProgramIsReported();
    void neverTheBuildTreesByDefault();
    void brokerPasswordNotInherited();
    void transaction_data();
    void transaction();
    void defaultReadingsArePlausible_data();
    void defaultReadingsArePlausible();

private:
    QTemporaryDir m_dir;
};

void TestDghSimProcess::printsItsTerminalFirst()
{
    SimulatorProcess simulator(DGH_SIM_PATH);
    QString error;
    QVERIFY2(simulator.start({}, &error), qPrintable(error));
    QVERIFY2(simulator.devicePath().startsWith("/dev/pts/"), qPrintable(simulator.devicePath()));
    const int fd = ::open(QFile::encodeName(simulator.devicePath()).constData(), O_RDWR | O_NOCTTY);
    QVERIFY(fd >= 0);
    QVERIFY(::isatty(fd));
    ::close(fd);
}

void TestDghSimProcess::linkFollowsTheRun()
{
    const QString link = m_dir.filePath("COM1");
    {
        SimulatorProcess simulator(DGH_SIM_PATH);
        QString error;
        QVERIFY2(simulator.start({"--link", link}, &error), qPrintable(error));
        QCOMPARE(QFileInfo(link).symLinkTarget(), simulator.devicePath());
        simulator.stop();
        QVERIFY(!QFileInfo(link).isSymLink());
    }
    // A file that is not a link is never replaced.
    QFile plain(link);
    QVERIFY(plain.open(QIODevice::WriteOnly));
    plain.close();
    SimulatorProcess simulator(DGH_SIM_PATH);
    QString error;
    QVERIFY(!simulator.start({"--link", link}, &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(QFileInfo(link).isFile());
    QFile::remove(link);
}

// clang-format off
void TestDghSimProcess::stopsCleanlyOnSignal_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::newRow("interrupt") << SIGINT;
    QTest::newRow("terminate") << SIGTERM;
}
// clang-format on

void TestDghSimProcess::stopsCleanlyOnSignal()
{
    QFETCH(int, signalNumber);
    const QString link = m_dir.filePath("signalled");
    QProcess process;
    process.start(QStringLiteral(DGH_SIM_PATH), {"--link", link});
    QVERIFY(process.waitForStarted(5000));
    QTRY_VERIFY_WITH_TIMEOUT(process.canReadLine(), 5000);
    QVERIFY(QFileInfo(link).isSymLink());

    QCOMPARE(::kill(pid_t(process.processId()), signalNumber), 0);
    QVERIFY(process.waitForFinished(3000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
    QVERIFY(!QFileInfo(link).isSymLink());
}

void TestDghSimProcess::endsWithTheProgramThatStartedIt()
{
    // A shell starts the simulator and is then killed outright, as a
    // crashing station would be.
    const QString link = m_dir.filePath("orphan");
    QProcess shell;
    shell.start("/bin/sh",
                {"-c", "\"$0\" --exit-with-parent --link \"$1\" & wait",
                 QStringLiteral(DGH_SIM_PATH), link});
    QVERIFY(shell.waitForStarted(5000));
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(link).isSymLink(), 5000);

    shell.kill();
    QVERIFY(shell.waitForFinished(3000));
    // It stopped the clean way: its link is gone.
    QTRY_VERIFY_WITH_TIMEOUT(!QFileInfo(link).isSymLink(), 5000);
}

// clang-format off
void TestDghSimProcess::refusesBadArguments_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("unknownOption") << QStringList{"--bogus"};
    QTest::newRow("unknownFault")  << QStringList{"--fault", "gremlins"};
    QTest::newRow("badRate")       << QStringList{"--fault", "late@2"};
    QTest::newRow("longAddress")   << QStringList{"--silent", "12"};
    QTest::newRow("missingValue")  << QStringList{"--answer"};
}
// clang-format on

void TestDghSimProcess::refusesBadArguments()
{
    QFETCH(QStringList, arguments);
    QProcess process;
    process.start(QStringLiteral(DGH_SIM_PATH), arguments);
    QVERIFY(process.waitForFinished(5000));
    QCOMPARE(process.exitCode(), 2);
    QVERIFY(process.readAllStandardOutput().isEmpty()); // no terminal named
    QVERIFY(process.readAllStandardError().startsWith("dgh-sim: "));

    SimulatorProcess simulator(DGH_SIM_PATH);
    QString error;
    QVERIFY(!simulator.start(arguments, &error));
    QVERIFY(!error.isEmpty());
}

// The station starts a simulator installed with it, never one a build left
// behind: nothing lies beside this test, so nothing is found.
void TestDghSimProcess::neverTheBuildTreesByDefault()
{
    const QString program = SimulatorProcess::defaultProgram();
    QVERIFY2(program != QStringLiteral(DGH_SIM_PATH), qPrintable(program));
    QCOMPARE(QFileInfo(program).absolutePath(), QCoreApplication::applicationDirPath());
}

void TestDghSimProcess::brokerPasswordNotInherited()
{
    qputenv("KESTROM_DGH_MQTT_PASSWORD", "s3cret-for-the-broker");
    SimulatorProcess simulator(DGH_SIM_PATH);
    QString error;
    const bool started = simulator.start({}, &error);
    qunsetenv("KESTROM_DGH_MQTT_PASSWORD");
    QVERIFY2(started, qPrintable(error));
    QFile environment(QStringLiteral("/proc/%1/environ").arg(simulator.processId()));
    QVERIFY(environment.open(QIODevice::ReadOnly));
    const QByteArray variables = environment.readAll();
    QVERIFY(variables.contains("PATH="));
    QVERIFY(!variables.contains("s3cret-for-the-broker"));
}

void TestDghSimProcess::missingProgramIsReported()
{
    SimulatorProcess simulator(m_dir.filePath("no-such-program"));
    QString error;
    QVERIFY(!simulator.start({}, &error));
    QVERIFY2(error.contains("no-such-program"), qPrintable(error));
    QVERIFY(simulator.devicePath().isEmpty());
}

// clang-format off
void TestDghSimProcess::transaction_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("answer");

    const QStringList fixed{"--answer", "1=*+0021.37"};
    QTest::newRow("fixedAnswer") << fixed << "1" << "*+0021.37";
    QTest::newRow("silent")      << QStringList{"--silent", "2"} << "2" << "TIMEOUT";
    QTest::newRow("noise")       << (fixed + QStringList{"--fault", "noise"})     << "1" << "*+0021.37";
    QTest::newRow("highBitStar") << (fixed + QStringList{"--fault", "highbit"})   << "1" << "*+0021.37";
    QTest::newRow("refusal")     << (fixed + QStringList{"--fault", "refusal"})   << "1" << "?1 SYNTAX ERROR";
    QTest::newRow("crLf")        << (fixed + QStringList{"--fault", "crlf"})      << "1" << "TIMEOUT";
    QTest::newRow("truncated")   << (fixed + QStringList{"--fault", "truncated"}) << "1" << "TIMEOUT";
    QTest::newRow("noAnswer")    << (fixed + QStringList{"--fault", "none"})      << "1" << "TIMEOUT";
    QTest::newRow("late")        << (fixed + QStringList{"--fault", "late"})      << "1" << "TIMEOUT";
    QTest::newRow("noSuchModule") << QStringList{} << "4" << "TIMEOUT";
}
// clang-format on

void TestDghSimProcess::transaction()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, address);
    QFETCH(QString, answer);

    SimulatorProcess simulator(DGH_SIM_PATH);
    QString error;
    QVERIFY2(simulator.start(arguments + QStringList{"--seed", "3"}, &error), qPrintable(error));
    StationLink line(simulator.devicePath());
    QCOMPARE(line.port.open(), SerialPort::NoError);
    ModuleLink &link = line.link;

    // ReadAnswer takes only what arrived within its 35 ms wait.
    link.SendCommand(ModuleLink::commandFrame(address));
    QCOMPARE(link.ReadAnswer(), answer);
    QVERIFY(line.messages.texts.isEmpty());
}

// clang-format off
void TestDghSimProcess::defaultReadingsArePlausible_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("probe");
    QTest::addColumn<double>("low");  // degC, Hz, or pH for the probes
    QTest::addColumn<double>("high");

    QTest::newRow("thermistor1") << "1" << false << 18.0 << 26.0;
    QTest::newRow("thermistor2") << "2" << false << 18.0 << 26.0;
    QTest::newRow("thermistor3") << "3" << false << 18.0 << 26.0;
    QTest::newRow("flow")        << "5" << false << 50.0 << 300.0;
    QTest::newRow("probe1")      << "6" << true  << 5.0  << 9.0;
    QTest::newRow("probe2")      << "7" << true  << 5.0  << 9.0;
}
// clang-format on

void TestDghSimProcess::defaultReadingsArePlausible()
{
    QFETCH(QString, address);
    QFETCH(bool, probe);
    QFETCH(double, low);
    QFETCH(double, high);

    SimulatorProcess simulator(DGH_SIM_PATH);
    QString error;
    QVERIFY2(simulator.start({}, &error), qPrintable(error));
    StationLink line(simulator.devicePath());
    QCOMPARE(line.port.open(), SerialPort::NoError);
    ModuleLink &link = line.link;

    for (int i = 0; i < 5; ++i) {
        link.SendCommand(ModuleLink::commandFrame(address));
        const QString answer = link.ReadAnswer();
        QVERIFY2(answer.startsWith("*+"), qPrintable(answer));
        bool isNumber = false;
        const double value = ModuleLink::valueField(answer).toDouble(&isNumber);
        QVERIFY2(isNumber, qPrintable(answer));
        // Probes: pH by the electrode equation, default calibration, 20 degC.
        const double shown =
            probe ? 7.0 + (value / 1000.0 - 2.5777) / (0.000198416 * 4.5427 * 293.15) : value;
        QVERIFY2(shown >= low && shown <= high, qPrintable(answer));
    }
}

QTEST_GUILESS_MAIN(TestDghSimProcess)
#include "test_dgh_sim_process.moc"
