#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <pty.h>
#include <sys/stat.h>
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
    void settingsFile_data();
    void settingsFile();
    void mqttSettingsMoveOnce();

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
    QTest::newRow("headlessIsNoReview") << QStringList{"--review", "x.csv", "--headless"} << 2 << "" << "--headless";
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

// clang-format off
void TestStationProgram::settingsFile_data()
{
    // In `conf` and `arguments`: "PTY" a free pseudo-terminal, "LOG" a log
    // file that must not be there after a refusal, "CONF" the file itself.
    QTest::addColumn<QByteArray>("conf");       // "<fifo>", "<huge>", "<none>": no file, only its name
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("display");          // false: DISPLAY, WAYLAND_DISPLAY, QT_QPA_PLATFORM unset
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("stdoutPart");
    QTest::addColumn<QString>("stderrPart");

    const QByteArray service = "[station]\nheadless = yes\n[port]\ndevice.1 = PTY\n[polling]\ngroups = flow, ph, therm\n"
                               "[log]\nfile = LOG\nmode = append\ninterval = 1\n";
    const QStringList check{"--config", "CONF", "--check-config"};
    QTest::newRow("checkSaysWhatItWouldDo") << service << check << true << 0
                                            << "Port 1: PTY\nPolling: flow (5), pH (6, 7), thermistors (1, 2, 3)\nChart: not started\nLog: LOG, appended to, a record every 1 s\n" << "";
    QTest::newRow("checkWithoutDisplay")    << service << check << false << 0 << "Window: none (headless)" << "";
    QTest::newRow("checkCommandLineWins")   << service << check + QStringList{"--poll", "therm"} << true << 0 << "Polling: thermistors (1, 2, 3)\n" << "";
    QTest::newRow("unknownKeyWarned")       << QByteArray("[polling]\ngroups = ph\ncolour = red\n") << check << true << 0 << "Polling: pH (6, 7)\n" << "CONF line 3: [polling] colour";
    QTest::newRow("badValueTouchesNothing") << QByteArray("[polling]\ngroups = ph\n[mqtt]\nbroker = 127.0.0.1\ntls = maybe\n")
                                            << QStringList{"--config", "CONF", "--device", "1=PTY", "--log", "LOG", "--overwrite", "--interval", "1", "--exit-when-shown"}
                                            << true << 2 << "" << "CONF line 5: [mqtt] tls = \"maybe\"";
    QTest::newRow("badValueInCheck")        << QByteArray("[log]\nfile = LOG\nmode = append\ninterval = 3\n") << check << true << 2 << "" << "CONF line 4: [log] interval = 3";
    QTest::newRow("fifoRefusedAtOnce")      << QByteArray("<fifo>") << QStringList{"--config", "CONF", "--device", "1=PTY", "--exit-when-shown"} << true << 2 << "" << "FIFO";
    QTest::newRow("hugeRefused")            << QByteArray("<huge>") << check << true << 2 << "" << "too large";
    // The desktop's own file only adds to the station: one that does not read is told, and it starts.
    QTest::newRow("desktopFifoTold")        << QByteArray("<ownFifo>") << QStringList{"--device", "1=PTY", "--exit-when-shown"} << true << 0 << "" << "FIFO";
    QTest::newRow("namedFileMissing")       << QByteArray("<none>") << QStringList{"--config", "CONF", "--headless", "--device", "1=PTY"} << false << 2 << "" << "CONF cannot be read: it does not exist";
    QTest::newRow("noDisplaySaysHeadless")  << QByteArray("<none>") << QStringList{"--device", "1=PTY", "--log", "LOG", "--overwrite", "--interval", "1"} << false << 2 << "" << "start it with --headless";
    QTest::newRow("reviewNeedsADisplay")    << QByteArray("<none>") << QStringList{"--review", "LOG"} << false << 2 << "" << "no display";
}
// clang-format on

// station.conf read by the program: what --check-config says, and a bad
// value, an unreadable file or a missing display refused with exit status 2
// before anything is touched, in one line each.
void TestStationProgram::settingsFile()
{
    QFETCH(QByteArray, conf);
    QFETCH(QStringList, arguments);
    QFETCH(bool, display);
    QFETCH(int, exitCode);
    QFETCH(QString, stdoutPart);
    QFETCH(QString, stderrPart);

    const QString tag = QString::fromLatin1(QTest::currentDataTag());
    const QString confPath = m_dir.filePath(tag + QStringLiteral(".conf"));
    const QString logPath = m_dir.filePath(tag + QStringLiteral(".csv"));
    const auto fill = [&](QString text) {
        return text.replace(QStringLiteral("CONF"), confPath)
            .replace(QStringLiteral("LOG"), logPath)
            .replace(QStringLiteral("PTY"), m_pty);
    };
    const QString ownPath = m_dir.filePath(QStringLiteral("config/kestrom-dgh/station.conf"));
    QFile::remove(ownPath);
    if (conf == "<fifo>") {
        QCOMPARE(::mkfifo(QFile::encodeName(confPath).constData(), 0600), 0);
    } else if (conf == "<ownFifo>") {
        QVERIFY(QDir().mkpath(QFileInfo(ownPath).path()));
        QCOMPARE(::mkfifo(QFile::encodeName(ownPath).constData(), 0600), 0);
    } else if (conf != "<none>") {
        QFile file(confPath);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(conf == "<huge>" ? "[polling]\n" + QByteArray(2 << 20, ';')
                                    : fill(QString::fromUtf8(conf)).toUtf8());
    }
    for (QString &argument : arguments)
        argument = fill(argument);
    QProcess station;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_dir.filePath(QStringLiteral("config")));
    env.remove(QStringLiteral("INVOCATION_ID")); // not a service of systemd's
    if (!display)
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(name);
    station.setProcessEnvironment(env);
    station.start(QStringLiteral(KESTROM_DGH_PATH), arguments);
    QVERIFY(station.waitForFinished(20000));
    const QString out = QString::fromLocal8Bit(station.readAllStandardOutput());
    const QString err = QString::fromLocal8Bit(station.readAllStandardError());
    QCOMPARE(station.exitStatus(), QProcess::NormalExit);
    QVERIFY2(station.exitCode() == exitCode,
             qPrintable(QStringLiteral("exit %1: %2").arg(station.exitCode()).arg(err)));
    QVERIFY2(out.contains(fill(stdoutPart)), qPrintable(out));
    if (stderrPart.isEmpty())
        QVERIFY2(!err.contains(QStringLiteral("kestrom-dgh:")), qPrintable(err));
    else
        QVERIFY2(err.startsWith(QStringLiteral("kestrom-dgh: ")) && err.contains(fill(stderrPart)),
                 qPrintable(err));
    if (exitCode == 2) {
        QVERIFY2(err.count(QLatin1Char('\n')) == 1, qPrintable(err));
        QVERIFY(!QFileInfo::exists(logPath));
    }
}

// The MQTT settings an earlier station kept in the calibration's file move
// to station.conf at the first start, and only then; the calibration's file
// keeps every byte.
void TestStationProgram::mqttSettingsMoveOnce()
{
    QTemporaryDir home;
    const QString calibrationPath = home.filePath("Kestrom Science DGH Driver.ini");
    const QByteArray calibration = "[Coefficients]\r\noffset=2.6\r\nserial%20number=SN 7\r\n\r\n"
                                   "[MQTT]\r\nbroker=127.0.0.1:1\r\nstation%20id=tank-7\r\n";
    QFile file(calibrationPath);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(calibration);
    file.close();
    const QString confPath = home.filePath("kestrom-dgh/station.conf");

    const auto run = [&](const QStringList &arguments, QString *out, QString *err,
                         bool display = true) {
        QProcess station;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", home.path());
        if (!display)
            for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
                env.remove(name);
        station.setProcessEnvironment(env);
        station.start(QStringLiteral(KESTROM_DGH_PATH), arguments);
        station.waitForFinished(20000);
        *out = QString::fromLocal8Bit(station.readAllStandardOutput());
        *err = QString::fromLocal8Bit(station.readAllStandardError());
        return station.exitCode();
    };
    QString out;
    QString err;
    QCOMPARE(run({"--check-config"}, &out, &err), 0);
    QVERIFY2(out.contains("MQTT: publishing to 127.0.0.1:1 as tank-7\n"), qPrintable(out));
    QVERIFY2(err.contains("would move to " + confPath + " [mqtt]"), qPrintable(err));
    QVERIFY(!QFileInfo::exists(confPath));
    // A start refused for want of a display moves nothing either.
    QCOMPARE(run({"--device", "1=" + m_pty}, &out, &err, false), 2);
    QVERIFY(!QFileInfo::exists(confPath));

    QCOMPARE(run({"--device", "1=" + m_pty, "--exit-when-shown"}, &out, &err), 0);
    QVERIFY2(err.contains("now live in " + confPath + " [mqtt]"), qPrintable(err));
    QFile conf(confPath);
    QVERIFY(conf.open(QIODevice::ReadOnly));
    QVERIFY(conf.readAll().contains("broker=127.0.0.1:1\nstation-id=tank-7\n"));

    QCOMPARE(run({"--check-config"}, &out, &err), 0);
    QVERIFY2(out.contains("MQTT: publishing to 127.0.0.1:1 as tank-7\n"), qPrintable(out));
    QVERIFY2(!err.contains("MQTT settings"), qPrintable(err));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), calibration);
}

QTEST_GUILESS_MAIN(TestStationProgram)
#include "test_station_program.moc"
