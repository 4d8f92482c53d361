#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

// A station as Home Assistant finds it over MQTT: one device per station in
// Home Assistant's device-based discovery (one retained message on
// "<prefix>/device/<object id>/config", current since Home Assistant
// 2024.11), with a sensor per value the station publishes for the groups it
// polls, and a problem sensor per alarm. Their states are the station's own
// topics: the readings, each alarm's retained state, and "status" for
// availability.
namespace HaDiscovery {

inline const QString DEFAULT_PREFIX = QStringLiteral("homeassistant");
// A sensor is unavailable after this long without a reading of its value.
constexpr int EXPIRE_AFTER_SECONDS = 5;

struct Groups
{
    bool flow = false;
    bool ph = false;
    bool therm = false;
    bool operator==(const Groups &other) const
    {
        return flow == other.flow && ph == other.ph && therm == other.therm;
    }
};

// Why the prefix cannot lead discovery topics (a wildcard, a leading "/"), or empty.
QString prefixProblem(const QString &prefix);
// Why the station id cannot name a device and its unique ids (only letters,
// digits, '_' and '-' do), or empty.
QString stationIdProblem(const QString &stationId);

QString configTopic(const QString &prefix, const QString &stationId);
// "<prefix>/status", where Home Assistant says it is online again.
QString birthTopic(const QString &prefix);

// The components a device of these groups and alarms has: key -> platform.
QMap<QString, QString> components(const Groups &polled, const QStringList &alarms);
// The components a discovery message announces (those named with their
// platform alone, which removes them, left out).
QMap<QString, QString> announced(const QByteArray &config);

// The device's discovery message. Components announced before and gone now
// (`before` less the ones of these groups and alarms) are named with their
// platform alone, which removes them from Home Assistant.
QByteArray config(const QString &stationId, const QString &version, const Groups &polled,
                  const QStringList &alarms,
                  const QMap<QString, QString> &before = QMap<QString, QString>());

} // namespace HaDiscovery
