#pragma once

#include "publishing/MqttSettings.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

// What one run of the station is asked to do: by the command line, by
// station.conf, or by both merged (the command line wins).
struct StationOptions
{
    enum class LogMode { None, Append, Overwrite };

    // --device N=PATH, in the order given.
    QList<QPair<int, QString>> devices;
    bool simulate = false;
    // --unattended: journal every fault instead of a message box.
    bool unattended = false;
    // --headless: no display server and no window at all; unattended.
    bool headless = false;
    // --poll: the switches to turn on once started.
    bool pollFlow = false;
    bool pollPh = false;
    bool pollTherm = false;
    bool pollsAny() const { return pollFlow || pollPh || pollTherm; }
    // Turns on the groups a list names ("flow, ph, therm", any case, any
    // order); false with the first name that is none of them.
    bool setPolledGroups(const QString &list, QString *unknown);
    bool plot = false;
    // --log FILE with --append or --overwrite and --interval SECONDS.
    QString logFile;
    LogMode logMode = LogMode::None;
    double logIntervalSeconds = 0;
    // --rotate daily: files by day.
    bool rotateDaily = false;
    // --mqtt HOST[:PORT] and its companions; not enabled() without --mqtt.
    MqttSettings mqtt;
    // $KESTROM_DGH_MQTT_PASSWORD as it was at start, for any broker.
    QString mqttEnvironmentPassword;
    // --alarm-command COMMAND: in place of the settings file's.
    QString alarmCommand;
    // --config FILE: the station's own settings file, made absolute; empty
    // for the usual place.
    QString configFile;
    // --review FILE...: only recorded logs (or folders of them) in a review
    // window, made absolute.
    QStringList reviewFiles;
    // End the program once the window is on screen (start-up measurements).
    bool exitWhenShown = false;
};
