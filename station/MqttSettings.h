#pragma once

#include <QString>

class SettingsStore;

// Where the readings are published, if anywhere: an MQTT broker and the
// station's name in the topics ("kestrom-dgh/ID/..."). Kept in the user's
// settings in a section of its own, "MQTT"; the password itself never is,
// only the file it is read from.
struct MqttSettings
{
    static constexpr int DEFAULT_PORT = 1883;
    static inline const QString SECTION = QStringLiteral("MQTT");
    // Read when no password file is given.
    static inline const QString PASSWORD_VARIABLE = QStringLiteral("KESTROM_DGH_MQTT_PASSWORD");

    QString host; // empty: publishing is off
    int port = DEFAULT_PORT;
    QString stationId;
    bool tls = false;
    QString user;
    QString passwordFile;

    bool enabled() const { return !host.isEmpty(); }
    // "HOST" or "HOST:PORT"; false with the reason when it is neither.
    static bool parseBroker(const QString &text, QString *host, int *port, QString *why);
    // Why the id cannot name the station's topics, or empty.
    static QString stationIdProblem(const QString &id);
    // The id to use: the one given, else the host name.
    QString stationIdOrHostName() const;
    // The password from the file (its first line) or the environment;
    // false with the reason when the file cannot be read.
    bool password(QString *text, QString *why) const;

    static MqttSettings load(const SettingsStore &store);
    // False with the reason when the store could not be written.
    bool save(SettingsStore &store, QString *why) const;
};
