#include "publishing/HaDiscovery.h"

#include "publishing/JsonMessage.h"
#include "publishing/Publisher.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

namespace {

struct Value
{
    const char *key; // in the readings message
    const char *name;
    const char *deviceClass; // empty: a plain measurement
    const char *unit;        // empty: none
    const char *stateClass;
};

// clang-format off
const Value FlowValues[] = {
    {"flow_hz",  "Flow frequency", "",                 "Hz",    "measurement"},
    {"flow_lpm", "Flow",           "volume_flow_rate", "L/min", "measurement"},
    // The Reset button sets the total to 0: a meter reset to this class.
    {"liters",   "Litres",         "water",            "L",     "total_increasing"},
};
const Value PhValues[] = {
    {"ph1",    "pH 1",           "ph", "",   "measurement"},
    {"ph1_mv", "pH 1 millivolts", "",  "mV", "measurement"},
    {"ph2",    "pH 2",           "ph", "",   "measurement"},
    {"ph2_mv", "pH 2 millivolts", "",  "mV", "measurement"},
};
const Value ThermValues[] = {
    {"therm1", "Thermistor 1", "temperature", "\u00b0C", "measurement"},
    {"therm2", "Thermistor 2", "temperature", "\u00b0C", "measurement"},
    {"therm3", "Thermistor 3", "temperature", "\u00b0C", "measurement"},
};
// clang-format on

const QRegularExpression &objectIdCharacters()
{
    static const QRegularExpression pattern(QStringLiteral("^[A-Za-z0-9_-]+$"));
    return pattern;
}

QString uniqueId(const QString &stationId, const QString &what)
{
    return QStringLiteral("kestrom_dgh_%1_%2").arg(stationId, what);
}

QString alarmKey(const QString &alarm)
{
    return QStringLiteral("alarm_") + QString(alarm).replace(QLatin1Char('.'), QLatin1Char('_'));
}

template <size_t N>
void addValues(JsonMessage *components, const QString &stationId, const Value (&values)[N],
               bool polled)
{
    if (!polled)
        return;
    for (const Value &value : values) {
        JsonMessage component;
        component.add("p", "sensor")
            .add("unique_id", uniqueId(stationId, QString::fromLatin1(value.key)))
            .add("name", QString::fromUtf8(value.name))
            // A cycle that did not read the value leaves it out: '' keeps
            // the state, and expire_after tells when it is too old.
            .add("value_template",
                 QStringLiteral("{{ value_json.%1 | default('') }}")
                     .arg(QString::fromLatin1(value.key)))
            .add("state_class", value.stateClass)
            .add("expire_after", HaDiscovery::EXPIRE_AFTER_SECONDS);
        if (*value.deviceClass)
            component.add("device_class", value.deviceClass);
        if (*value.unit)
            component.add("unit_of_measurement", QString::fromUtf8(value.unit));
        components->add(value.key, component);
    }
}

template <size_t N> void keysOf(QMap<QString, QString> *keys, const Value (&values)[N], bool polled)
{
    if (polled)
        for (const Value &value : values)
            keys->insert(QString::fromLatin1(value.key), QStringLiteral("sensor"));
}

} // namespace

QString HaDiscovery::prefixProblem(const QString &prefix)
{
    if (prefix.trimmed().isEmpty())
        return QStringLiteral("The discovery prefix is empty.");
    if (prefix.contains(QLatin1Char('+')) || prefix.contains(QLatin1Char('#')))
        return QStringLiteral("The discovery prefix '%1' may not hold '+' or '#': they are MQTT "
                              "wildcards.")
            .arg(prefix);
    if (prefix.startsWith(QLatin1Char('/')) || prefix.endsWith(QLatin1Char('/')))
        return QStringLiteral("The discovery prefix '%1' may not begin or end with '/'.")
            .arg(prefix);
    if (prefix.trimmed() != prefix)
        return QStringLiteral("The discovery prefix '%1' may not begin or end with a blank.")
            .arg(prefix);
    return QString();
}

QString HaDiscovery::stationIdProblem(const QString &stationId)
{
    if (objectIdCharacters().match(stationId).hasMatch())
        return QString();
    return QStringLiteral("The station id '%1' cannot name a device for Home Assistant: only "
                          "letters A-Z, digits, '_' and '-' can (give one with --station-id).")
        .arg(stationId);
}

QString HaDiscovery::configTopic(const QString &prefix, const QString &stationId)
{
    return QStringLiteral("%1/device/kestrom_dgh_%2/config").arg(prefix, stationId);
}

QString HaDiscovery::birthTopic(const QString &prefix)
{
    return prefix + QStringLiteral("/status");
}

QMap<QString, QString> HaDiscovery::components(const Groups &polled, const QStringList &alarms)
{
    QMap<QString, QString> keys;
    keysOf(&keys, FlowValues, polled.flow);
    keysOf(&keys, PhValues, polled.ph);
    keysOf(&keys, ThermValues, polled.therm);
    for (const QString &alarm : alarms)
        keys.insert(alarmKey(alarm), QStringLiteral("binary_sensor"));
    return keys;
}

QMap<QString, QString> HaDiscovery::announced(const QByteArray &config)
{
    QMap<QString, QString> keys;
    const QJsonObject components =
        QJsonDocument::fromJson(config).object().value(QStringLiteral("components")).toObject();
    for (auto it = components.begin(); it != components.end(); ++it) {
        const QJsonObject component = it.value().toObject();
        if (component.size() > 1)
            keys.insert(it.key(), component.value(QStringLiteral("p")).toString());
    }
    return keys;
}

QByteArray HaDiscovery::config(const QString &stationId, const QString &version,
                               const Groups &polled, const QStringList &alarms,
                               const QMap<QString, QString> &before)
{
    const QString stationTopic = QStringLiteral("kestrom-dgh/%1/").arg(stationId);
    JsonMessage components;
    addValues(&components, stationId, FlowValues, polled.flow);
    addValues(&components, stationId, PhValues, polled.ph);
    addValues(&components, stationId, ThermValues, polled.therm);
    for (const QString &alarm : alarms) {
        const QString key = alarmKey(alarm);
        components.add(key.toUtf8().constData(),
                       JsonMessage()
                           .add("p", "binary_sensor")
                           .add("unique_id", uniqueId(stationId, key))
                           .add("name", QStringLiteral("Alarm %1").arg(alarm))
                           .add("device_class", "problem")
                           .add("state_topic", stationTopic + QStringLiteral("alarms/") + alarm)
                           .add("value_template",
                                "{{ 'ON' if value_json.state in ['active', 'acknowledged'] "
                                "else 'OFF' }}"));
    }
    const QMap<QString, QString> now = HaDiscovery::components(polled, alarms);
    for (auto it = before.begin(); it != before.end(); ++it)
        if (!now.contains(it.key()))
            components.add(it.key().toUtf8().constData(), JsonMessage().add("p", it.value()));
    return JsonMessage()
        .add("device",
             JsonMessage()
                 .add("identifiers", QStringList{QStringLiteral("kestrom_dgh_") + stationId})
                 .add("name", QStringLiteral("Kestrom DGH %1").arg(stationId))
                 .add("manufacturer", "Kestrom Science")
                 .add("model", "DGH station")
                 .add("sw_version", version))
        .add("origin", JsonMessage().add("name", "kestrom-dgh").add("sw_version", version))
        .add("state_topic", stationTopic + Publisher::READINGS)
        .add("availability_topic", stationTopic + QString::fromLatin1(Publisher::STATUS))
        .add("payload_available", QString::fromLatin1(Publisher::ONLINE))
        .add("payload_not_available", QString::fromLatin1(Publisher::OFFLINE))
        .add("qos", 1)
        .add("components", components)
        .bytes();
}
