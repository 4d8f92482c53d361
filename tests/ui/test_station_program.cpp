#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <pty.h>
#include <unistd.h>

// kestrom-dgh as a whole program: what it prints and how it ends for the
// command lines an operator or a start script would give it.
class TestStationProgram : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void commandLine_data();
    void commandLine();

private:
    QTemporaryDir m_dir;
    QString m_emptyFile;
    QString m_pty;
    int m_master = -1;
    int m_slave = -1;
};

void TestStationProgram::initTestCase()
{
    char name[256] = {};
    QVERIFY(::openpty(&m_master, &m_slave, name, nullptr, nullptr) == 0);
    m_pty = QString::fromLocal8Bit(name);
    m_emptyFile = m_dir.filePath(QStringLiteral("empty"));
    QFile empty(m_emptyFile);
    QVERIFY(empty.open(QIODevice::WriteOnly));
}

void TestStationProgram::cleanupTestCase()
{
    ::close(m_slave);
    ::close(m_master);
}

// clang-format off
void TestStationProgram::commandLine_data()
{
    QTest::addColumn<QStringList>("arguments"); // "PTY": a free pseudo-terminal; "BLANK": an empty file
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("stdoutPart"); // "" for nothing printed at all
    QTest::addColumn<QString>("stderrPart"); // "" for no complaint of the station's own

    QTest::newRow("version")        << QStringList{"--version"} << 0 << "kestrom-dgh 2.1.0" << "";
    QTest::newRow("help")           << QStringList{"--help"} << 0 << "--poll <LIST>" << "";
    QTest::newRow("unknownOption")  << QStringList{"--fast"} << 2 << "" << "Unknown option 'fast'";
    QTest::newRow("unknownGroup")   << QStringList{"--poll", "flow,oxygen"} << 2 << "" << "'oxygen'";
    QTest::newRow("intervalNotListed") << QStringList{"--log", "x.csv", "--append", "--interval", "3"} << 2 << "" << "'3'";
    QTest::newRow("badDevice")      << QStringList{"--device", "COM1"} << 2 << "" << "'COM1'";
    QTest::newRow("startsOnAPty")   << QStringList{"--device", "1=PTY", "--exit-when-shown"} << 0 << "" << "";
    QTest::newRow("withSimulator")  << QStringList{"--simulate", "--exit-when-shown"} << 0 << "" << "";
    // The simulator answers, so a read tick before the window shows has no message to wait on.
    QTest::newRow("pollsAndPlots")  << QStringList{"--simulate", "--poll", "flow,ph,therm", "--plot", "--exit-when-shown"} << 0 << "" << "";
    QTest::newRow("passwordNoUser") << QStringList{"--device", "1=PTY", "--mqtt", "127.0.0.1", "--mqtt-password-file", "BLANK", "--exit-when-shown"} << 2 << "" << "--mqtt-user";
    QTest::newRow("passwordEmpty")  << QStringList{"--device", "1=PTY", "--mqtt", "127.0.0.1", "--mqtt-user", "station", "--mqtt-password-file", "BLANK", "--exit-when-shown"} << 2 << "" << "holds no password";
    QTest::newRow("logFileRefused") << QStringList{"--device", "1=PTY", "--log", "/nonexistent/folder/run.csv", "--overwrite", "--interval", "1", "--exit-when-shown"} << 1 << "" << "/nonexistent/folder/run.csv";
}
// clang-format on

void TestStationProgram::commandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, stdoutPart);
    QFETCH(QString, stderrPart);

    arguments.replaceInStrings(QStringLiteral("PTY"), m_pty);
    arguments.replaceInStrings(QStringLiteral("BLANK"), m_emptyFile);
    QProcess station;
    station.start(QStringLiteral(KESTROM_DGH_PATH), arguments);
    QVERIFY(station.waitForFinished(20000));
    const QString out = QString::fromLocal8Bit(station.readAllStandardOutput());
    const QString err = QString::fromLocal8Bit(station.readAllStandardError());
    QCOMPARE(station.exitStatus(), QProcess::NormalExit);
    QVERIFY2(station.exitCode() == exitCode,
             qPrintable(QStringLiteral("exit %1: %2").arg(station.exitCode()).arg(err)));
    if (stdoutPart.isEmpty())
        QVERIFY2(out.isEmpty(), qPrintable(out));
    else
        QVERIFY2(out.contains(stdoutPart), qPrintable(out));
    // Qt itself may say things about the display; the station's own lines
    // begin with its name.
    if (stderrPart.isEmpty())
        QVERIFY2(!err.contains(QStringLiteral("kestrom-dgh:")), qPrintable(err));
    else
        QVERIFY2(err.contains(QStringLiteral("kestrom-dgh: ")) && err.contains(stderrPart),
                 qPrintable(err));
}

QTEST_GUILESS_MAIN(TestStationProgram)
#include "test_station_program.moc"
