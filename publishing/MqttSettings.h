#pragma once

#include "config/StationConfig.h"

#include <QString>
#include <QStringList>
#include <QVector>

class SettingsStore;

// Where the readings are published, if anywhere: an MQTT broker and the
// station's name in the topics ("kestrom-dgh/ID/..."). Kept in station.conf's
// section [mqtt] (earlier stations kept them in the calibration's file, in a
// section "MQTT", which is still read to move them); the password itself
// never is, only the file it is read from.
struct MqttSettings
{
    static constexpr int DEFAULT_PORT = 1883;
    // Characters in a station id: it names topics, the client id and the
    // ids dashboards derive from them.
    static constexpr int MAX_STATION_ID = 64;
    // Bytes in a password file: a password is one short line.
    static constexpr int MAX_PASSWORD_FILE = 4096;
    static inline const QString SECTION = QStringLiteral("MQTT");
    static inline const QString CONFIG_SECTION = QStringLiteral("mqtt");
    // Read when no password file is given.
    static inline const QString PASSWORD_VARIABLE = QStringLiteral("KESTROM_DGH_MQTT_PASSWORD");

    QString host; // empty: publishing is off
    int port = DEFAULT_PORT;
    QString stationId;
    bool tls = false;
    QString user;
    QString passwordFile;
    // Home Assistant's discovery prefix ("homeassistant"); empty: the
    // station does not announce itself.
    QString discoveryPrefix;
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

    // The keys of station.conf's [mqtt].
    static QStringList configKeys();
    // The settings station.conf's [mqtt] holds; each value that does not
    // read is a problem naming its line. A password file is made absolute
    // from the folder the station starts in, as on the command line.
    static MqttSettings fromConfig(const StationConfig &config, QStringList *problems);
    // What keeps these settings in [mqtt], every key written.
    QVector<StationConfig::Change> toConfigChanges() const;

    // The calibration file's old section "MQTT", as earlier stations kept
    // it; read only to move the settings to station.conf.
    static MqttSettings load(const SettingsStore &store);
    // False with the reason when the store could not be written.
    bool save(SettingsStore &store, QString *why) const;
};
