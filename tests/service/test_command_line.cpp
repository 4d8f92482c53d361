#include "service/CommandLine.h"

#include <QtTest>

Q_DECLARE_METATYPE(CommandLine::Action)

class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
    void devicesInOrder();
    void mqttOptions();
    void logOptions_data();
    void logOptions();
};

// clang-format off
void TestCommandLine::parse_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<CommandLine::Action>("action");
    QTest::addColumn<QString>("polled"); // groups to turn on, in flow, ph, therm order
    QTest::addColumn<bool>("plot");
    QTest::addColumn<bool>("simulate");
    QTest::addColumn<QString>("errorPart");

    using A = CommandLine::Action;
    QTest::newRow("nothing")          << QStringList{}                                << A::Run << ""                << false << false << "";
    QTest::newRow("help")             << QStringList{"--help"}                        << A::ShowHelp << ""           << false << false << "";
    QTest::newRow("version")          << QStringList{"--version"}                     << A::ShowVersion << ""        << false << false << "";
    QTest::newRow("pollAll")          << QStringList{"--poll", "flow,ph,therm"}       << A::Run << "flow ph therm"   << false << false << "";
    QTest::newRow("pollOrderFree")    << QStringList{"--poll=therm,flow"}             << A::Run << "flow therm"      << false << false << "";
    QTest::newRow("pollBlanksCase")   << QStringList{"--poll", " PH , Therm"}         << A::Run << "ph therm"        << false << false << "";
    QTest::newRow("pollRepeated")     << QStringList{"--poll", "ph", "--poll", "flow"} << A::Run << "flow ph"        << false << false << "";
    QTest::newRow("pollUnknown")      << QStringList{"--poll", "flow,temp"}           << A::Fail << ""               << false << false << "'temp'";
    QTest::newRow("pollEmptyItem")    << QStringList{"--poll", "flow,,ph"}            << A::Fail << ""               << false << false << "--poll";
    QTest::newRow("pollMissingValue") << QStringList{"--poll"}                        << A::Fail << ""               << false << false << "poll";
    QTest::newRow("plot")             << QStringList{"--plot"}                        << A::Run << ""                << true  << false << "";
    QTest::newRow("simulate")         << QStringList{"--simulate", "--poll", "ph"}    << A::Run << "ph"              << false << true  << "";
    QTest::newRow("unknownOption")    << QStringList{"--fast"}                        << A::Fail << ""               << false << false << "fast";
    QTest::newRow("strayArgument")    << QStringList{"COM1"}                          << A::Fail << ""               << false << false << "COM1";
    QTest::newRow("badDevice")        << QStringList{"--device", "one=/dev/ttyS0"}    << A::Fail << ""               << false << false << "one=/dev/ttyS0";
    QTest::newRow("deviceNoPath")     << QStringList{"--device", "2="}                << A::Fail << ""               << false << false << "--device";
    QTest::newRow("deviceZero")       << QStringList{"--device", "0=/dev/ttyS0"}      << A::Fail << ""               << false << false << "--device";
    QTest::newRow("simulateAndPort1") << QStringList{"--simulate", "--device", "1=/dev/ttyUSB0"} << A::Fail << ""  << false << false << "--simulate";
    QTest::newRow("simulateAndPort2") << QStringList{"--simulate", "--device", "2=/dev/ttyUSB0"} << A::Run << ""   << false << true  << "";
    QTest::newRow("qtOptionsPass")    << QStringList{"-platform", "offscreen", "-geometry", "1200x900", "--poll", "ph"} << A::Run << "ph" << false << false << "";
    QTest::newRow("qtStyleOption")    << QStringList{"-style=fusion", "-reverse"}     << A::Run << ""                << false << false << "";
    QTest::newRow("appendWithoutLog") << QStringList{"--append"}                      << A::Fail << ""               << false << false << "--log";
    QTest::newRow("intervalWithoutLog") << QStringList{"--interval", "5"}             << A::Fail << ""               << false << false << "--log";
    QTest::newRow("mqttBadPort")      << QStringList{"--mqtt", "broker:99999"}          << A::Fail << ""               << false << false << "65535";
    QTest::newRow("mqttIdSlash")      << QStringList{"--mqtt", "broker", "--station-id", "tank/7"} << A::Fail << "" << false << false << "'/', '+' or '#'";
    QTest::newRow("mqttIdHash")       << QStringList{"--mqtt", "broker", "--station-id", "tank#7"} << A::Fail << "" << false << false << "'/', '+' or '#'";
    QTest::newRow("mqttIdControl")    << QStringList{"--mqtt", "broker", "--station-id", "tank\t7"} << A::Fail << "" << false << false << "control characters";
    QTest::newRow("mqttOpenBracket")  << QStringList{"--mqtt", "[::1:1883"}            << A::Fail << ""               << false << false << "is not HOST or HOST:PORT";
    QTest::newRow("mqttAfterBracket") << QStringList{"--mqtt", "[::1]x:1883"}          << A::Fail << ""               << false << false << "is not HOST or HOST:PORT";
    QTest::newRow("mqttIdRightToLeft") << QStringList{"--mqtt", "broker", "--station-id", "tank\u202E7"} << A::Fail << "" << false << false << "U+202E";
    QTest::newRow("mqttIdRightMark")  << QStringList{"--mqtt", "broker", "--station-id", "tank\u200F7"} << A::Fail << "" << false << false << "U+200F";
    QTest::newRow("mqttIdNonChar")    << QStringList{"--mqtt", "broker", "--station-id", "tank\uFFFE"}  << A::Fail << "" << false << false << "U+FFFE";
    QTest::newRow("mqttIdTooLong")    << QStringList{"--mqtt", "broker", "--station-id", QString(70000, 'x')} << A::Fail << "" << false << false << "at most 64";
    QTest::newRow("discoveryWildcard") << QStringList{"--mqtt", "broker", "--station-id", "tank-7", "--mqtt-discovery", "home/+"} << A::Fail << "" << false << false << "'+' or '#'";
    QTest::newRow("discoveryLeadingSlash") << QStringList{"--mqtt", "broker", "--station-id", "tank-7", "--mqtt-discovery", "/homeassistant"} << A::Fail << "" << false << false << "begin or end with '/'";
    QTest::newRow("discoveryIdWithBlank") << QStringList{"--mqtt", "broker", "--station-id", "tank 7", "--mqtt-discovery", "homeassistant"} << A::Fail << "" << false << false << "cannot name a device";
    QTest::newRow("discoveryWithoutMqtt") << QStringList{"--mqtt-discovery", "homeassistant"} << A::Fail << "" << false << false << "only goes with --mqtt";
    QTest::newRow("passwordNoUser")   << QStringList{"--mqtt", "broker", "--mqtt-password-file", "pw"} << A::Fail << "" << false << false << "--mqtt-user";
    QTest::newRow("passwordNoFile")   << QStringList{"--mqtt", "broker", "--mqtt-user", "station", "--mqtt-password-file", ""} << A::Fail << "" << false << false << "file name";
    QTest::newRow("stationIdAlone")   << QStringList{"--station-id", "tank7"}            << A::Fail << ""               << false << false << "--mqtt";
    QTest::newRow("mqttPassword")     << QStringList{"--mqtt", "broker", "--mqtt-password", "x"} << A::Fail << ""     << false << false << "mqtt-password";
    QTest::newRow("review")           << QStringList{"--review", "logs/../tank.csv"}  << A::Review << ""             << false << false << "";
    QTest::newRow("reviewAndPoll")    << QStringList{"--review", "t.csv", "--poll", "ph"} << A::Fail << ""           << false << false << "--poll";
    QTest::newRow("reviewAndDevice")  << QStringList{"--device", "1=/dev/pts/3", "--review", "t.csv"} << A::Fail << "" << false << false << "--device";
    QTest::newRow("reviewNoName")     << QStringList{"--review", " "}                 << A::Fail << ""               << false << false << "file name";
    QTest::newRow("alarmCommandEmpty") << QStringList{"--alarm-command", " "}         << A::Fail << ""               << false << false << "--alarm-command needs a program";
    QTest::newRow("reviewAndAlarmCommand") << QStringList{"--review", "t.csv", "--alarm-command", "page"} << A::Fail << "" << false << false << "--alarm-command";
    QTest::newRow("reviewSeveral")    << QStringList{"--review", "logs/../tank.csv", "--review", "/var/log/dgh/"} << A::Review << "" << false << false << "";
    QTest::newRow("reviewSecondNoName") << QStringList{"--review", "t.csv", "--review", ""} << A::Fail << ""       << false << false << "file name";
}
// clang-format on

void TestCommandLine::parse()
{
    QFETCH(QStringList, arguments);
    QFETCH(CommandLine::Action, action);
    QFETCH(QString, polled);
    QFETCH(bool, plot);
    QFETCH(bool, simulate);
    QFETCH(QString, errorPart);

    const CommandLine::Result result = CommandLine::parse(QStringList{"kestrom-dgh"} + arguments);
    QCOMPARE(result.action, action);
    if (action == CommandLine::Action::Fail) {
        QVERIFY(!result.error.isEmpty());
        QVERIFY2(result.error.contains(errorPart), qPrintable(result.error));
        return;
    }
    QVERIFY(result.error.isEmpty());
    QCOMPARE(result.options.reviewFiles.value(0),
             action == CommandLine::Action::Review ? QDir::current().absoluteFilePath("tank.csv")
                                                   : QString());
    QCOMPARE(result.options.reviewFiles.mid(1),
             arguments.count("--review") > 1 ? QStringList{"/var/log/dgh"} : QStringList{});
    QStringList groups;
    if (result.options.pollFlow)
        groups << "flow";
    if (result.options.pollPh)
        groups << "ph";
    if (result.options.pollTherm)
        groups << "therm";
    QCOMPARE(groups.join(' '), polled);
    QCOMPARE(result.options.plot, plot);
    QCOMPARE(result.options.simulate, simulate);
    QCOMPARE(result.options.logMode, StationOptions::LogMode::None);
}

void TestCommandLine::mqttOptions()
{
    const auto result = CommandLine::parse({"kestrom-dgh", "--mqtt", "plant-broker:8883",
                                            "--station-id", "tank-7", "--mqtt-tls", "--mqtt-user",
                                            "station", "--mqtt-password-file", "secret"});
    QCOMPARE(result.action, CommandLine::Action::Run);
    const MqttSettings &mqtt = result.options.mqtt;
    QCOMPARE(mqtt.host, QString("plant-broker"));
    QCOMPARE(mqtt.port, 8883);
    QCOMPARE(mqtt.stationId, QString("tank-7"));
    QVERIFY(mqtt.tls);
    QCOMPARE(mqtt.user, QString("station"));
    QCOMPARE(mqtt.passwordFile, QDir::current().absoluteFilePath("secret"));
    QCOMPARE(CommandLine::parse({"kestrom-dgh", "--mqtt", "broker"}).options.mqtt.port, 1883);
    // An IPv6 address, bare or with a port in brackets.
    const MqttSettings bare = CommandLine::parse({"kestrom-dgh", "--mqtt", "::1"}).options.mqtt;
    QCOMPARE(bare.host + ' ' + QString::number(bare.port), QString("::1 1883"));
    const MqttSettings bracketed =
        CommandLine::parse({"kestrom-dgh", "--mqtt", "[fd00::7]:8883"}).options.mqtt;
    QCOMPARE(bracketed.host + ' ' + QString::number(bracketed.port), QString("fd00::7 8883"));
}

void TestCommandLine::devicesInOrder()
{
    const auto result =
        CommandLine::parse({"kestrom-dgh", "--device", "3=/dev/ttyUSB1", "--device=1=/dev/pts/7"});
    QCOMPARE(result.action, CommandLine::Action::Run);
    const QList<QPair<int, QString>> expected{{3, "/dev/ttyUSB1"}, {1, "/dev/pts/7"}};
    QCOMPARE(result.options.devices, expected);
}

// clang-format off
void TestCommandLine::logOptions_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("mode"); // StationOptions::LogMode
    QTest::addColumn<double>("seconds");
    QTest::addColumn<QString>("errorPart");
    QTest::addColumn<QString>("file"); // the log file as the station takes it

    const int append = int(StationOptions::LogMode::Append);
    const QString tmpA = "/tmp/a.csv";
    const int overwrite = int(StationOptions::LogMode::Overwrite);
    QTest::newRow("appendEveryMinute")  << QStringList{"--log", "/tmp/a.csv", "--append", "--interval", "60"}    << true  << append    << 60.0 << "" << tmpA;
    QTest::newRow("overwriteHalfSecond") << QStringList{"--log", "/tmp/a.csv", "--overwrite", "--interval", "0.5"} << true << overwrite << 0.5 << "" << tmpA;
    QTest::newRow("bothModes")          << QStringList{"--log", "/tmp/a.csv", "--append", "--overwrite", "--interval", "5"} << false << 0 << 0.0 << "exactly one" << tmpA;
    QTest::newRow("noMode")             << QStringList{"--log", "/tmp/a.csv", "--interval", "5"}                 << false << 0         << 0.0  << "--append" << tmpA;
    QTest::newRow("noInterval")         << QStringList{"--log", "/tmp/a.csv", "--append"}                        << false << 0         << 0.0  << "--interval" << tmpA;
    QTest::newRow("intervalNotListed")  << QStringList{"--log", "/tmp/a.csv", "--append", "--interval", "7"}     << false << 0         << 0.0  << "'7'" << tmpA;
    QTest::newRow("intervalComma")      << QStringList{"--log", "/tmp/a.csv", "--append", "--interval", "0,5"}   << false << 0         << 0.0  << "'0,5'" << tmpA;
    QTest::newRow("intervalWord")       << QStringList{"--log", "/tmp/a.csv", "--append", "--interval", "often"} << false << 0         << 0.0  << "'often'" << tmpA;
    // The header and the status bar name the file in full, wherever the station started.
    QTest::newRow("relativeFile")       << QStringList{"--log", "logs/../tank.csv", "--overwrite", "--interval", "1"} << true << overwrite << 1.0 << "" << QDir::current().absoluteFilePath("tank.csv");
    QTest::newRow("emptyFileName")      << QStringList{"--log", "", "--append", "--interval", "5"}               << false << 0         << 0.0  << "file name" << tmpA;
    QTest::newRow("rotateDaily")        << QStringList{"--log", "/tmp/a.csv", "--append", "--interval", "1", "--rotate", "Daily"} << true << append << 1.0 << "" << tmpA;
    QTest::newRow("rotateWeekly")       << QStringList{"--log", "/tmp/a.csv", "--append", "--interval", "1", "--rotate", "weekly"} << false << 0 << 0.0 << "'weekly'" << tmpA;
    QTest::newRow("rotateWithoutLog")   << QStringList{"--rotate", "daily"}                                      << false << 0         << 0.0  << "--rotate only goes with --log" << tmpA;
}
// clang-format on

void TestCommandLine::logOptions()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, valid);
    QFETCH(int, mode);
    QFETCH(double, seconds);
    QFETCH(QString, errorPart);
    QFETCH(QString, file);

    const auto result = CommandLine::parse(QStringList{"kestrom-dgh"} + arguments);
    if (!valid) {
        QCOMPARE(result.action, CommandLine::Action::Fail);
        QVERIFY2(result.error.contains(errorPart), qPrintable(result.error));
        return;
    }
    QCOMPARE(result.action, CommandLine::Action::Run);
    QCOMPARE(result.options.logFile, file);
    QCOMPARE(int(result.options.logMode), mode);
    QCOMPARE(result.options.logIntervalSeconds, seconds);
    QCOMPARE(result.options.rotateDaily, arguments.contains("--rotate"));
}

QTEST_MAIN(TestCommandLine)
#include "test_command_line.moc"
