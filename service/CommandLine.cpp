#include "service/CommandLine.h"

#include "logging/LogIntervals.h"
#include "platform/qt/PortMap.h"
#include "publishing/HaDiscovery.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>

namespace {

const QString Device = QStringLiteral("device");
const QString Simulate = QStringLiteral("simulate");
const QString Unattended = QStringLiteral("unattended");
const QString Poll = QStringLiteral("poll");
const QString Plot = QStringLiteral("plot");
const QString Log = QStringLiteral("log");
const QString Append = QStringLiteral("append");
const QString Overwrite = QStringLiteral("overwrite");
const QString Interval = QStringLiteral("interval");
const QString Rotate = QStringLiteral("rotate");
const QString Review = QStringLiteral("review");
const QString Config = QStringLiteral("config");
const QString AlarmCommand = QStringLiteral("alarm-command");
const QString Mqtt = QStringLiteral("mqtt");
const QString StationId = QStringLiteral("station-id");
const QString MqttTls = QStringLiteral("mqtt-tls");
const QString MqttUser = QStringLiteral("mqtt-user");
const QString MqttPasswordFile = QStringLiteral("mqtt-password-file");
const QString MqttDiscovery = QStringLiteral("mqtt-discovery");
const QString Headless = QStringLiteral("headless");
const QString CheckConfig = QStringLiteral("check-config");
const QString ExitWhenShown = QStringLiteral("exit-when-shown");

void describe(QCommandLineParser &parser)
{
    parser.setApplicationDescription(QStringLiteral(
        "Monitoring and logging station for DGH serial modules: three thermistors (1-3),\n"
        "a flow gauge (5) and two pH probes (6, 7) on one line at 19200 baud, 8N1."));
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOptions({
        {Device,
         QStringLiteral(
             "Serial port N is the device PATH (repeatable). Without it port N is "
             "~/.config/kestrom-dgh/ports/COM<N> where that exists, else /dev/ttyS<N-1>."),
         QStringLiteral("N=PATH")},
        {Simulate,
         QStringLiteral(
             "Start the module simulator dgh-sim beside the station and use it as port 1.")},
        {Unattended,
         QStringLiteral("Run unattended: no fault holds the station up with a message box. Each is "
                        "journaled (beside the log file as FILE.events, else in "
                        "$XDG_STATE_HOME/kestrom-dgh/events.log) and printed on standard error; a "
                        "failing module is polled again and a lost port reopened. Also "
                        "File > Unattended.")},
        {Headless,
         QStringLiteral("Run with no display server and no window at all (a service, a machine "
                        "reached over SSH); implies --unattended.")},
        {Poll,
         QStringLiteral("After start-up, turn on the switches of the listed groups, "
                        "comma-separated: flow, ph, therm."),
         QStringLiteral("LIST")},
        {Plot, QStringLiteral("After start-up, start the strip chart.")},
        {Log,
         QStringLiteral("After start-up, start logging to FILE, as Logging > Setup would; "
                        "needs --append or --overwrite and --interval."),
         QStringLiteral("FILE")},
        {Append, QStringLiteral("Add the logging run to the end of the log file.")},
        {Overwrite, QStringLiteral("Replace the log file by the logging run.")},
        {Interval,
         QStringLiteral("The log interval in seconds: %1.").arg(LogIntervals::choicesText()),
         QStringLiteral("SECONDS")},
        {Rotate,
         QStringLiteral("With --log FILE, 'daily': a new log file at local midnight, FILE's name "
                        "with the date (tank-2026-12-09.csv), each a whole log with its own "
                        "header and journal."),
         QStringLiteral("daily")},
        {Mqtt,
         QStringLiteral("Publish each read cycle's readings to the MQTT broker at HOST (port 1883 "
                        "unless given) on kestrom-dgh/ID/readings; also File > MQTT Publishing."),
         QStringLiteral("HOST[:PORT]")},
        {StationId,
         QStringLiteral("The station's name in its MQTT topics (default: the host name): at most "
                        "64 characters, no '/', '+' or '#', no control or text-direction "
                        "characters."),
         QStringLiteral("ID")},
        {MqttTls, QStringLiteral("Reach the broker over TLS, checked against the system's CAs.")},
        {MqttUser, QStringLiteral("Log in to the broker as USER."), QStringLiteral("USER")},
        {MqttPasswordFile,
         QStringLiteral("With --mqtt-user, read the broker password from the first line of FILE "
                        "(else from $KESTROM_DGH_MQTT_PASSWORD); never give it on the command "
                        "line. FILE should be readable by you alone."),
         QStringLiteral("FILE")},
        {MqttDiscovery,
         QStringLiteral("Announce the station to Home Assistant under the discovery PREFIX "
                        "(usually homeassistant): one device with a sensor per value polled."),
         QStringLiteral("PREFIX")},
        {Config,
         QStringLiteral("The station's own settings file, which holds a key for each option "
                        "here (the options given win over it); without it "
                        "~/.config/kestrom-dgh/station.conf (under $XDG_CONFIG_HOME when set)."),
         QStringLiteral("FILE")},
        {CheckConfig,
         QStringLiteral("Read the settings file and the options, say what the station would "
                        "do, and exit: 0 when they are good, 2 when not.")},
        {AlarmCommand,
         QStringLiteral("Run COMMAND (a program and its arguments, never through a shell) once "
                        "for each alarm transition, in place of the command of station.conf's "
                        "[alarms]; it is told what happened in KESTROM_DGH_* variables."),
         QStringLiteral("COMMAND")},
        {Review,
         QStringLiteral("Open only the log FILE in a review window, read only: its columns over "
                        "time, with zoom, pan, cursors and export. Repeat it, or name a folder, "
                        "for several logs on one time line. Also File > Review Log."),
         QStringLiteral("FILE")},
    });
    QCommandLineOption exitWhenShown(ExitWhenShown,
                                     QStringLiteral("End once the window is shown."));
    exitWhenShown.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(exitWhenShown);

    // Qt's own options (-platform offscreen, -geometry 1200x900, ...) are
    // taken out by QApplication later; here they are only let through.
    const char *const qtWithValue[] = {"platform",      "platformpluginpath",
                                       "platformtheme", "plugin",
                                       "qmljsdebugger", "qwindowgeometry",
                                       "qwindowicon",   "qwindowtitle",
                                       "session",       "display",
                                       "geometry",      "style",
                                       "stylesheet",    "name",
                                       "title",         "visual"};
    for (const char *name : qtWithValue) {
        QCommandLineOption option(QString::fromLatin1(name), QString(), QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    for (const char *name : {"reverse", "widgetcount", "nograb", "dograb"}) {
        QCommandLineOption option(QString::fromLatin1(name));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
}

} // namespace

QString CommandLine::helpText()
{
    QCommandLineParser parser;
    describe(parser);
    return parser.helpText();
}

CommandLine::Result CommandLine::parse(const QStringList &arguments)
{
    Result result;
    QCommandLineParser parser;
    describe(parser);
    auto fail = [&result](const QString &error) {
        result.action = Action::Fail;
        result.error = error;
        return result;
    };

    if (!parser.parse(arguments))
        return fail(parser.errorText());
    if (parser.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("help-all")))
        return result.action = Action::ShowHelp, result;
    if (parser.isSet(QStringLiteral("version")))
        return result.action = Action::ShowVersion, result;
    if (!parser.positionalArguments().isEmpty())
        return fail(QStringLiteral("Unexpected argument '%1'.")
                        .arg(parser.positionalArguments().constFirst()));

    StationOptions &options = result.options;
    options.exitWhenShown = parser.isSet(ExitWhenShown);
    result.platformGiven = parser.isSet(QStringLiteral("platform"));
    if (parser.isSet(Review)) {
        for (const QString &other :
             {Device, Simulate, Unattended, Headless, Poll, Plot, Log, Append, Overwrite, Interval,
              Rotate, Mqtt, CheckConfig, AlarmCommand}) {
            if (parser.isSet(other))
                return fail(QStringLiteral("--review opens only the review window; it does not "
                                           "go with --%1.")
                                .arg(other));
        }
        for (const QString &file : parser.values(Review)) {
            if (file.trimmed().isEmpty())
                return fail(QStringLiteral("--review needs a file name."));
            options.reviewFiles << QDir::cleanPath(QFileInfo(file).absoluteFilePath());
        }
        result.action = Action::Review;
        return result;
    }
    for (const QString &text : parser.values(Device)) {
        int number = 0;
        QString path;
        if (!PortMap::parseDeviceOption(text, &number, &path))
            return fail(
                QStringLiteral("--device '%1' is not N=PATH with N from 1 to 32767.").arg(text));
        options.devices.append({number, path});
    }

    if (parser.isSet(Config)) {
        if (parser.value(Config).trimmed().isEmpty())
            return fail(QStringLiteral("--config needs a file name."));
        options.configFile = QDir::cleanPath(QFileInfo(parser.value(Config)).absoluteFilePath());
    }
    if (parser.isSet(AlarmCommand)) {
        options.alarmCommand = parser.value(AlarmCommand).trimmed();
        if (options.alarmCommand.isEmpty())
            return fail(QStringLiteral("--alarm-command needs a program."));
    }
    options.simulate = parser.isSet(Simulate);
    options.unattended = parser.isSet(Unattended) || parser.isSet(Headless);
    options.headless = parser.isSet(Headless);
    for (const auto &device : qAsConst(options.devices)) {
        if (options.simulate && device.first == 1)
            return fail(QStringLiteral(
                "--simulate uses port 1 itself; it cannot be given with --device 1=PATH."));
    }

    for (const QString &list : parser.values(Poll)) {
        QString unknown;
        if (!options.setPolledGroups(list, &unknown))
            return fail(
                QStringLiteral("--poll: unknown group '%1' (use flow, ph, therm).").arg(unknown));
    }

    options.plot = parser.isSet(Plot);

    if (parser.isSet(Mqtt)) {
        MqttSettings &mqtt = options.mqtt;
        QString why;
        if (!MqttSettings::parseBroker(parser.value(Mqtt), &mqtt.host, &mqtt.port, &why))
            return fail(QStringLiteral("--mqtt: %1").arg(why));
        mqtt.stationId = parser.value(StationId);
        const QString problem = MqttSettings::stationIdProblem(mqtt.stationId);
        if (!problem.isEmpty())
            return fail(problem);
        mqtt.tls = parser.isSet(MqttTls);
        mqtt.user = parser.value(MqttUser);
        mqtt.passwordFile = parser.value(MqttPasswordFile);
        if (parser.isSet(MqttPasswordFile) && mqtt.user.isEmpty())
            return fail(QStringLiteral("--mqtt-password-file needs --mqtt-user: a broker takes a "
                                       "password only with a user name."));
        if (parser.isSet(MqttPasswordFile) && mqtt.passwordFile.trimmed().isEmpty())
            return fail(QStringLiteral("--mqtt-password-file needs a file name."));
        if (!mqtt.passwordFile.isEmpty())
            mqtt.passwordFile = QFileInfo(mqtt.passwordFile).absoluteFilePath();
        mqtt.discoveryPrefix = parser.value(MqttDiscovery);
        if (parser.isSet(MqttDiscovery)) {
            const QString prefixProblem = HaDiscovery::prefixProblem(mqtt.discoveryPrefix);
            if (!prefixProblem.isEmpty())
                return fail(QStringLiteral("--mqtt-discovery: %1").arg(prefixProblem));
            const QString idProblem = HaDiscovery::stationIdProblem(mqtt.stationIdOrHostName());
            if (!idProblem.isEmpty())
                return fail(QStringLiteral("--mqtt-discovery: %1").arg(idProblem));
        }
    } else {
        for (const QString &companion :
             {StationId, MqttTls, MqttUser, MqttPasswordFile, MqttDiscovery})
            if (parser.isSet(companion))
                return fail(QStringLiteral("--%1 only goes with --mqtt HOST.").arg(companion));
    }

    const bool append = parser.isSet(Append);
    const bool overwrite = parser.isSet(Overwrite);
    const bool interval = parser.isSet(Interval);
    if (parser.isSet(Rotate)) {
        if (!parser.isSet(Log))
            return fail(QStringLiteral("--rotate only goes with --log FILE."));
        if (parser.value(Rotate).trimmed().toLower() != QLatin1String("daily"))
            return fail(QStringLiteral("--rotate '%1': the only rotation is 'daily'.")
                            .arg(parser.value(Rotate)));
        options.rotateDaily = true;
    }
    if (parser.isSet(Log)) {
        options.logFile = parser.value(Log);
        if (options.logFile.trimmed().isEmpty())
            return fail(QStringLiteral("--log needs a file name."));
        // The header and the status bar name the file in full, wherever the
        // station was started from.
        options.logFile = QDir::cleanPath(QFileInfo(options.logFile).absoluteFilePath());
        if (append == overwrite)
            return fail(QStringLiteral("--log needs exactly one of --append and --overwrite."));
        if (!interval)
            return fail(QStringLiteral("--log needs --interval SECONDS (%1).")
                            .arg(LogIntervals::choicesText()));
        options.logMode =
            append ? StationOptions::LogMode::Append : StationOptions::LogMode::Overwrite;
        bool ok = false;
        // Always with a period, whatever the user's locale.
        options.logIntervalSeconds = parser.value(Interval).trimmed().toDouble(&ok);
        if (!ok || LogIntervals::positionOfSeconds(options.logIntervalSeconds) < 0)
            return fail(QStringLiteral("--interval '%1' is not one of %2 seconds.")
                            .arg(parser.value(Interval), LogIntervals::choicesText()));
    } else if (append || overwrite || interval) {
        return fail(
            QStringLiteral("--append, --overwrite and --interval only go with --log FILE."));
    }

    result.action = parser.isSet(CheckConfig) ? Action::CheckConfig : Action::Run;
    return result;
}
