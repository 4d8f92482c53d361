#include "service/StartupSummary.h"

#include "platform/qt/PortMap.h"

#include <QStringList>

#include <algorithm>

namespace {

QString window(const StationOptions &options)
{
    if (options.headless)
        return QStringLiteral("none (headless); faults are journaled (unattended)");
    return options.unattended ? QStringLiteral("shown; faults are journaled (unattended)")
                              : QStringLiteral("shown; a fault opens a message box");
}

QStringList ports(const StationOptions &options, const PortMap &map)
{
    QList<int> numbers{1};
    for (const auto &device : options.devices)
        if (!numbers.contains(device.first))
            numbers << device.first;
    std::sort(numbers.begin(), numbers.end());
    QStringList lines;
    for (int number : qAsConst(numbers)) {
        const QString device = number == 1 && options.simulate
            ? QStringLiteral("the module simulator dgh-sim")
            : map.devicePath(number);
        lines << QStringLiteral("Port %1: %2").arg(number).arg(device);
    }
    return lines;
}

QString polling(const StationOptions &options)
{
    QStringList groups;
    if (options.pollFlow)
        groups << QStringLiteral("flow (5)");
    if (options.pollPh)
        groups << QStringLiteral("pH (6, 7)");
    if (options.pollTherm)
        groups << QStringLiteral("thermistors (1, 2, 3)");
    return groups.isEmpty() ? QStringLiteral("nothing until a switch is turned on")
                            : groups.join(QStringLiteral(", "));
}

QString log(const StationOptions &options)
{
    if (options.logMode == StationOptions::LogMode::None)
        return QStringLiteral("none until Logging > Setup");
    return QStringLiteral("%1, %2, a record every %3 s%4")
        .arg(options.logFile,
             options.logMode == StationOptions::LogMode::Append ? QStringLiteral("appended to")
                                                                : QStringLiteral("overwritten"),
             QString::number(options.logIntervalSeconds),
             options.rotateDaily ? QStringLiteral(", a new file at each local midnight")
                                 : QString());
}

QString mqtt(const MqttSettings &settings)
{
    if (settings.host.isEmpty())
        return QStringLiteral("not publishing");
    QString text = QStringLiteral("publishing to %1 as %2")
                       .arg(MqttSettings::formatBroker(settings.host, settings.port),
                            settings.stationIdOrHostName());
    if (settings.tls)
        text += QStringLiteral(", over TLS");
    if (!settings.user.isEmpty())
        text += QStringLiteral(", user %1 with the password from %2")
                    .arg(settings.user,
                         settings.passwordFile.isEmpty()
                             ? QLatin1Char('$') + MqttSettings::PASSWORD_VARIABLE
                             : settings.passwordFile);
    return text;
}

} // namespace

QString StartupSummary::text(const StationOptions &options, const PortMap &map)
{
    QStringList lines;
    lines << QStringLiteral("Window: %1").arg(window(options));
    lines << ports(options, map);
    lines << QStringLiteral("Polling: %1").arg(polling(options));
    lines << QStringLiteral("Chart: %1")
                 .arg(options.plot ? QStringLiteral("started") : QStringLiteral("not started"));
    lines << QStringLiteral("Log: %1").arg(log(options));
    lines << QStringLiteral("MQTT: %1").arg(mqtt(options.mqtt));
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}
