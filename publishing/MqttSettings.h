#pragma once

#include <QString>
#include <QStringList>

class SettingsStore;

// Where the readings are published, if anywhere: an MQTT broker and the
// station's name in the topics ("kestrom-dgh/ID/..."). Kept in the user's
// settings in a section of its own, "MQTT"; the password itself never is,
// only the file it is read from.
struct MqttSettings
{
    static constexpr int DEFAULT_PORT = 1883;
    // Characters in a station id: it names topics, the client id and the
    // ids dashboards derive from them.
    static constexpr int MAX_STATION_ID = 64;
    // Bytes in a password file: a password is one short line.
    static constexpr int MAX_PASSWORD_FILE = 4096;
    static inline const QString SECTION = QStringLiteral("MQTT");
    // Read when no password file is given.
    static inline const QString PASSWORD_VARIABLE = QStringLiteral("KESTROM_DGH_MQTT_PASSWORD");

    QString host; // empty: publishing is off
    int port = DEFAULT_PORT;
    QString stationId;
    bool tls = false;
    QString user;
    QString passwordFile;
    // The password the environment held at start (never saved, never
    // handed to a child process).
    QString environmentPassword;
    // Why settings read from the store cannot be used as they are; they
    // are then not used at all.
    QString invalid;

    // Publishing asked for, possibly in a way problem() refuses.
    bool enabled() const { return !host.isEmpty() || !invalid.isEmpty(); }
    // "HOST" or "HOST:PORT"; false with the reason when it is neither.
    static bool parseBroker(const QString &text, QString *host, int *port, QString *why);
    // What parseBroker() reads back as the same host and port.
    static QString formatBroker(const QString &host, int port);
    // Why the id cannot name the station's topics, or empty.
    static QString stationIdProblem(const QString &id);
    // The id to use: the one given, else the host name.
    QString stationIdOrHostName() const;
    // Why these settings must not be used to connect at all, or empty.
    QString problem() const;
    // What is allowed but unsafe, one sentence each.
    QStringList warnings() const;
    // The password from the file (its first line) or the environment;
    // false with the reason when the file cannot be read or holds none.
    bool password(QString *text, QString *why) const;

    // Reads $KESTROM_DGH_MQTT_PASSWORD once and takes it out of the
    // environment, so that no child process inherits it.
    static QString takePasswordFromEnvironment();

    static MqttSettings load(const SettingsStore &store);
    // False with the reason when the store could not be written.
    bool save(SettingsStore &store, QString *why) const;
};
