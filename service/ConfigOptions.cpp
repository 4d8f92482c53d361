#include "service/ConfigOptions.h"

#include "config/StationConfig.h"
#include "logging/LogIntervals.h"
#include "platform/qt/PortMap.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QString Station = QStringLiteral("station");
const QString Port = QStringLiteral("port");
const QString Polling = QStringLiteral("polling");
const QString Log = QStringLiteral("log");
const QString Alarms = QStringLiteral("alarms");
const QString DevicePrefix = QStringLiteral("device.");

QString absolute(const QString &path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

// The keys the station knows in each of its sections; [alarms] is checked
// by the alarms themselves.
QStringList knownKeys(const QString &section)
{
    if (section == Station)
        return {QStringLiteral("headless"), QStringLiteral("unattended")};
    if (section == Port)
        return {QStringLiteral("simulate")};
    if (section == Polling)
        return {QStringLiteral("groups"), QStringLiteral("plot")};
    if (section == Log)
        return {QStringLiteral("file"), QStringLiteral("mode"), QStringLiteral("interval"),
                QStringLiteral("rotate")};
    if (section == MqttSettings::CONFIG_SECTION)
        return MqttSettings::configKeys();
    return {};
}

void warnAboutUnknown(const StationConfig &config, QStringList *warnings)
{
    const QStringList sections{Station, Port, Polling, Log, MqttSettings::CONFIG_SECTION};
    for (const QString &name : config.sectionNames()) {
        if (name == Alarms)
            continue;
        if (!sections.contains(name)) {
            warnings->append(QStringLiteral("%1: [%2] is not a section the station knows; it is "
                                            "left alone")
                                 .arg(config.where(config.section(name).constFirst()), name));
            continue;
        }
        QStringList known = knownKeys(name);
        if (name == Port)
            for (const IniFile::Entry &entry : config.section(name))
                if (entry.key.startsWith(DevicePrefix))
                    known << entry.key; // read, and refused if need be, as a port
        warnings->append(config.unknownKeys(name, known));
    }
}

void readPorts(const StationConfig &config, StationOptions *options, QStringList *problems)
{
    config.boolean(Port, QStringLiteral("simulate"), &options->simulate, problems);
    for (const IniFile::Entry &entry : config.section(Port)) {
        if (!entry.key.startsWith(DevicePrefix))
            continue;
        int number = 0;
        QString path;
        const QString text =
            entry.key.mid(DevicePrefix.size()) + QLatin1Char('=') + entry.value.trimmed();
        if (!PortMap::parseDeviceOption(text, &number, &path)) {
            problems->append(QStringLiteral("%1: [port] %2 = \"%3\": a port is device.N = PATH, "
                                            "N from 1 to 32767")
                                 .arg(config.where(entry), entry.key, entry.value.trimmed()));
            continue;
        }
        if (number == 1 && options->simulate) {
            problems->append(QStringLiteral("%1: [port] %2: port 1 is the simulator's "
                                            "(simulate = yes); give one or the other")
                                 .arg(config.where(entry), entry.key));
            continue;
        }
        options->devices.append({number, path});
    }
}

void readLog(const StationConfig &config, StationOptions *options, QStringList *problems)
{
    const QString file = config.text(Log, QStringLiteral("file"));
    if (file.isEmpty())
        return; // not logging: a mode and an interval alone wait for a file
    const QString where = config.where(Log, QStringLiteral("file"));
    const QString mode = config.text(Log, QStringLiteral("mode"));
    if (mode.toLower() == QLatin1String("append")) {
        options->logMode = StationOptions::LogMode::Append;
    } else if (mode.toLower() == QLatin1String("overwrite")) {
        options->logMode = StationOptions::LogMode::Overwrite;
    } else {
        problems->append(
            config.has(Log, QStringLiteral("mode"))
                ? QStringLiteral("%1: [log] mode = \"%2\" is neither append nor overwrite")
                      .arg(config.where(Log, QStringLiteral("mode")), mode)
                : QStringLiteral("%1: [log] file needs mode = append or overwrite").arg(where));
    }
    double seconds = 0;
    const bool read = config.number(Log, QStringLiteral("interval"), &seconds, problems);
    if (read && LogIntervals::positionOfSeconds(seconds) < 0)
        problems->append(QStringLiteral("%1: [log] interval = %2 is not one of %3 seconds")
                             .arg(config.where(Log, QStringLiteral("interval")),
                                  config.text(Log, QStringLiteral("interval")),
                                  LogIntervals::choicesText()));
    else if (!config.has(Log, QStringLiteral("interval")))
        problems->append(QStringLiteral("%1: [log] file needs interval = SECONDS (%2)")
                             .arg(where, LogIntervals::choicesText()));
    const QString rotate = config.text(Log, QStringLiteral("rotate"));
    if (rotate.toLower() == QLatin1String("daily"))
        options->rotateDaily = true;
    else if (!rotate.isEmpty() && rotate.toLower() != QLatin1String("no"))
        problems->append(QStringLiteral("%1: [log] rotate = \"%2\": the only rotation is daily "
                                        "(or no)")
                             .arg(config.where(Log, QStringLiteral("rotate")), rotate));
    options->logFile = absolute(file);
    options->logIntervalSeconds = seconds;
}

} // namespace

StationOptions ConfigOptions::read(const StationConfig &config, QStringList *problems,
                                   QStringList *warnings)
{
    StationOptions options;
    warnAboutUnknown(config, warnings);
    config.boolean(Station, QStringLiteral("headless"), &options.headless, problems);
    config.boolean(Station, QStringLiteral("unattended"), &options.unattended, problems);
    options.unattended = options.unattended || options.headless;
    readPorts(config, &options, problems);
    QString unknown;
    if (config.has(Polling, QStringLiteral("groups")) &&
        !options.setPolledGroups(config.text(Polling, QStringLiteral("groups")), &unknown))
        problems->append(QStringLiteral("%1: [polling] groups: '%2' is no group (use flow, ph, "
                                        "therm)")
                             .arg(config.where(Polling, QStringLiteral("groups")), unknown));
    config.boolean(Polling, QStringLiteral("plot"), &options.plot, problems);
    readLog(config, &options, problems);
    options.mqtt = MqttSettings::fromConfig(config, problems);
    return options;
}

StationOptions ConfigOptions::merge(const StationOptions &file, const StationOptions &commandLine)
{
    StationOptions merged = commandLine;
    const auto givesPort = [&commandLine](int number) {
        for (const auto &device : commandLine.devices)
            if (device.first == number)
                return true;
        return false;
    };
    merged.devices.clear();
    for (const auto &device : file.devices)
        if (!givesPort(device.first) && !(device.first == 1 && commandLine.simulate))
            merged.devices.append(device);
    merged.devices.append(commandLine.devices);
    merged.simulate = commandLine.simulate || (file.simulate && !givesPort(1));
    merged.headless = file.headless || commandLine.headless;
    merged.unattended = file.unattended || commandLine.unattended || merged.headless;
    if (!commandLine.pollsAny()) {
        merged.pollFlow = file.pollFlow;
        merged.pollPh = file.pollPh;
        merged.pollTherm = file.pollTherm;
    }
    merged.plot = file.plot || commandLine.plot;
    if (commandLine.logMode == StationOptions::LogMode::None) {
        merged.logFile = file.logFile;
        merged.logMode = file.logMode;
        merged.logIntervalSeconds = file.logIntervalSeconds;
        merged.rotateDaily = file.rotateDaily;
    }
    if (!commandLine.mqtt.enabled())
        merged.mqtt = file.mqtt;
    return merged;
}
