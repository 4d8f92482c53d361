#include "config/StationConfig.h"
#include "service/CommandLine.h"
#include "service/ConfigOptions.h"

#include <QTemporaryDir>
#include <QtTest>

// station.conf as a person writes it, with the command line over it: what a
// run is asked to do, each bad value named by its line, and what is only
// warned about.
class TestConfigOptions : public QObject
{
    Q_OBJECT

private slots:
    void merged_data();
    void merged();

private:
    QTemporaryDir m_dir;
};

namespace {

// The options in one line, for a row to name.
QString described(const StationOptions &options)
{
    QStringList ports;
    for (const auto &device : options.devices)
        ports << QStringLiteral("%1:%2").arg(device.first).arg(device.second);
    QStringList groups;
    if (options.pollFlow)
        groups << "flow";
    if (options.pollPh)
        groups << "ph";
    if (options.pollTherm)
        groups << "therm";
    QStringList parts;
    parts << "ports=" + ports.join(',');
    if (options.simulate)
        parts << "simulate";
    if (options.headless)
        parts << "headless";
    if (options.unattended)
        parts << "unattended";
    parts << "poll=" + groups.join(',');
    if (options.plot)
        parts << "plot";
    if (options.logMode != StationOptions::LogMode::None)
        parts << QStringLiteral("log=%1,%2,%3")
                     .arg(options.logFile == QDir::current().absoluteFilePath("tank.csv")
                              ? QStringLiteral("./tank.csv")
                              : QFileInfo(options.logFile).fileName(),
                          options.logMode == StationOptions::LogMode::Append ? "append"
                                                                             : "overwrite")
                     .arg(options.logIntervalSeconds) +
                (options.rotateDaily ? ",daily" : "");
    if (!options.mqtt.host.isEmpty())
        parts << QStringLiteral("mqtt=%1:%2,%3%4")
                     .arg(options.mqtt.host)
                     .arg(options.mqtt.port)
                     .arg(options.mqtt.stationId, options.mqtt.tls ? ",tls" : "");
    return parts.join(' ');
}

} // namespace

// clang-format off
void TestConfigOptions::merged_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("options");   // as described(), "" where a problem stops the run
    QTest::addColumn<QString>("problem");   // part of the one problem, "" for none
    QTest::addColumn<int>("warnings");

    const QByteArray service = "; the tank room\n[station]\nheadless = yes\n[port]\ndevice.1 = /dev/serial/by-id/usb-A1\n"
                               "[polling]\ngroups = flow, ph, therm\n[log]\nfile = /var/lib/kestrom-dgh/tank.csv\nmode = append\ninterval = 1\nrotate = daily\n"
                               "[mqtt]\nbroker = hub.lan:8883\nstation-id = tank-7\ntls = yes\n[alarms]\nph1.low = 6.5\n";
    QTest::newRow("nothing")              << QByteArray() << QStringList{} << "ports= poll=" << "" << 0;
    QTest::newRow("asAService")           << service << QStringList{}
                                          << "ports=1:/dev/serial/by-id/usb-A1 headless unattended poll=flow,ph,therm log=tank.csv,append,1,daily mqtt=hub.lan:8883,tank-7,tls" << "" << 0;
    QTest::newRow("bareDeviceName")       << QByteArray("[port]\ndevice.3 = ttyUSB1\n") << QStringList{} << "ports=3:/dev/ttyUSB1 poll=" << "" << 0;
    QTest::newRow("relativeLogFromHere")  << QByteArray("[log]\nfile = logs/../tank.csv\nmode = Overwrite\ninterval = 0.5\n") << QStringList{}
                                          << "ports= poll= log=./tank.csv,overwrite,0.5" << "" << 0;
    QTest::newRow("modeWithoutFileIdle")  << QByteArray("[log]\nmode = append\ninterval = 5\n") << QStringList{} << "ports= poll=" << "" << 0;
    // The command line wins, group by group.
    QTest::newRow("pollReplacesGroups")   << QByteArray("[polling]\ngroups = flow, therm\nplot = yes\n") << QStringList{"--poll", "ph"} << "ports= poll=ph plot" << "" << 0;
    QTest::newRow("logReplacesWholeLog")  << service << QStringList{"--log", "/tmp/other.csv", "--overwrite", "--interval", "60"}
                                          << "ports=1:/dev/serial/by-id/usb-A1 headless unattended poll=flow,ph,therm log=other.csv,overwrite,60 mqtt=hub.lan:8883,tank-7,tls" << "" << 0;
    QTest::newRow("mqttReplacesWholeMqtt") << QByteArray("[mqtt]\nbroker = hub.lan\nstation-id = tank-7\ntls = yes\n") << QStringList{"--mqtt", "[fd00::7]:1884"}
                                          << "ports= poll= mqtt=fd00::7:1884," << "" << 0;
    QTest::newRow("devicePerPort")        << QByteArray("[port]\ndevice.1 = /dev/ttyUSB0\ndevice.2 = /dev/ttyS1\n") << QStringList{"--device", "1=/dev/pts/3"}
                                          << "ports=2:/dev/ttyS1,1:/dev/pts/3 poll=" << "" << 0;
    QTest::newRow("simulateOverPort1")    << QByteArray("[port]\ndevice.1 = /dev/ttyUSB0\ndevice.2 = /dev/ttyS1\n") << QStringList{"--simulate"}
                                          << "ports=2:/dev/ttyS1 simulate poll=" << "" << 0;
    QTest::newRow("port1OverSimulate")    << QByteArray("[port]\nsimulate = yes\n") << QStringList{"--device", "1=/dev/ttyUSB0"}
                                          << "ports=1:/dev/ttyUSB0 poll=" << "" << 0;
    QTest::newRow("switchesAdd")          << QByteArray("[station]\nunattended = no\n[polling]\nplot = no\n") << QStringList{"--plot", "--headless"}
                                          << "ports= headless unattended poll= plot" << "" << 0;
    QTest::newRow("fileUnattended")       << QByteArray("[station]\nunattended = on\n") << QStringList{} << "ports= unattended poll=" << "" << 0;
    // Bad values: named by their line, and the run does not start.
    QTest::newRow("notABoolean")          << QByteArray("[station]\n\nheadless = maybe\n")   << QStringList{} << "" << "line 3: [station] headless = \"maybe\"" << 0;
    QTest::newRow("unknownGroup")         << QByteArray("[polling]\ngroups = flow, oxygen\n") << QStringList{} << "" << "line 2: [polling] groups: 'oxygen'" << 0;
    QTest::newRow("portZero")             << QByteArray("[port]\ndevice.0 = /dev/ttyS0\n")    << QStringList{} << "" << "line 2: [port] device.0" << 0;
    QTest::newRow("portWithoutPath")      << QByteArray("[port]\ndevice.2 =\n")               << QStringList{} << "" << "line 2: [port] device.2" << 0;
    QTest::newRow("port1AndSimulate")     << QByteArray("[port]\ndevice.1 = /dev/ttyUSB0\nsimulate = yes\n") << QStringList{} << "" << "line 2: [port] device.1: port 1 is the simulator's" << 0;
    QTest::newRow("logWithoutMode")       << QByteArray("[log]\nfile = /data/t.csv\ninterval = 1\n") << QStringList{} << "" << "line 2: [log] file needs mode" << 0;
    QTest::newRow("logModeSideways")      << QByteArray("[log]\nfile = /data/t.csv\nmode = sideways\ninterval = 1\n") << QStringList{} << "" << "line 3: [log] mode = \"sideways\"" << 0;
    QTest::newRow("logWithoutInterval")   << QByteArray("[log]\nfile = /data/t.csv\nmode = append\n") << QStringList{} << "" << "line 2: [log] file needs interval" << 0;
    QTest::newRow("logIntervalNotListed") << QByteArray("[log]\nfile = /data/t.csv\nmode = append\ninterval = 7\n") << QStringList{} << "" << "line 4: [log] interval = 7 is not one of" << 0;
    QTest::newRow("logRotateWeekly")      << QByteArray("[log]\nfile = /data/t.csv\nmode = append\ninterval = 1\nrotate = weekly\n") << QStringList{} << "" << "line 5: [log] rotate = \"weekly\"" << 0;
    QTest::newRow("logIntervalComma")     << QByteArray("[log]\nfile = /data/t.csv\nmode = append\ninterval = 0,5\n") << QStringList{} << "" << "line 4: [log] interval = \"0,5\" is not a number" << 0;
    QTest::newRow("brokerJunk")           << QByteArray("[mqtt]\nbroker = [::1]x:1883\n")  << QStringList{} << "" << "line 2: [mqtt] broker = \"[::1]x:1883\": '[::1]x:1883' is not HOST or HOST:PORT" << 0;
    QTest::newRow("brokerPortTooHigh")    << QByteArray("[mqtt]\nbroker = hub:65536\n")     << QStringList{} << "" << "line 2: [mqtt] broker" << 0;
    QTest::newRow("stationIdSlash")       << QByteArray("[mqtt]\nbroker = hub\nstation-id = tank/7\n") << QStringList{} << "" << "line 3: [mqtt] station-id" << 0;
    QTest::newRow("tlsMaybe")             << QByteArray("[mqtt]\nbroker = hub\ntls = maybe\n") << QStringList{} << "" << "line 3: [mqtt] tls = \"maybe\"" << 0;
    QTest::newRow("passwordWithoutUser")  << QByteArray("[mqtt]\nbroker = hub\npassword-file = /etc/pw\n") << QStringList{} << "" << "line 3: [mqtt] password-file" << 0;
    QTest::newRow("discoveryWildcard")    << QByteArray("[mqtt]\nbroker = hub\nstation-id = t7\ndiscovery = ha/#\n") << QStringList{} << "" << "line 4: [mqtt] discovery" << 0;
    QTest::newRow("lineThatIsNoSetting")  << QByteArray("[polling]\ngroups = ph\nplot\n")    << QStringList{} << "" << "line 3: this line is no setting" << 0;
    // Unknown keys and sections are told, and the rest goes on.
    QTest::newRow("unknownKey")           << QByteArray("[polling]\ngroups = ph\ncolour = red\n") << QStringList{} << "ports= poll=ph" << "" << 1;
    QTest::newRow("unknownSection")       << QByteArray("[tank]\nvolume = 200\nshape = round\n[polling]\ngroups = ph\n") << QStringList{} << "ports= poll=ph" << "" << 1;
    QTest::newRow("oldSpellingOfId")      << QByteArray("[mqtt]\nbroker = hub\nstation id = t7\n") << QStringList{} << "ports= poll= mqtt=hub:1883," << "" << 1;
    QTest::newRow("alarmsAreTheirOwn")    << QByteArray("[alarms]\nph9.anything = 1\n")     << QStringList{} << "ports= poll=" << "" << 0;
}
// clang-format on

void TestConfigOptions::merged()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, arguments);
    QFETCH(QString, options);
    QFETCH(QString, problem);
    QFETCH(int, warnings);

    QFile conf(m_dir.filePath(QTest::currentDataTag() + QStringLiteral(".conf")));
    QVERIFY(conf.open(QIODevice::WriteOnly));
    conf.write(file);
    conf.close();
    StationConfig config;
    QStringList problems;
    QStringList told;
    QString loadProblem;
    if (!config.load(conf.fileName(), &loadProblem))
        problems << loadProblem;
    const StationOptions fromFile = ConfigOptions::read(config, &problems, &told);
    const CommandLine::Result commandLine =
        CommandLine::parse(QStringList{"kestrom-dgh"} + arguments);
    QCOMPARE(commandLine.action, CommandLine::Action::Run);

    QVERIFY2(told.size() == warnings, qPrintable(told.join('\n')));
    for (const QString &warning : qAsConst(told))
        QVERIFY2(warning.startsWith(conf.fileName() + " line "), qPrintable(warning));
    if (!problem.isEmpty()) {
        QVERIFY2(problems.size() == 1 && problems[0].startsWith(conf.fileName()) &&
                     problems[0].contains(problem),
                 qPrintable(problems.join('\n')));
        return;
    }
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join('\n')));
    QCOMPARE(described(ConfigOptions::merge(fromFile, commandLine.options)), options);
}

QTEST_GUILESS_MAIN(TestConfigOptions)
#include "test_config_options.moc"
