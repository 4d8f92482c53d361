#pragma once

#include "publishing/MqttSettings.h"

#include <QString>

class SettingsStore;
class StationConfig;

// Earlier stations kept the MQTT settings in the calibration's file, in a
// section "MQTT". Where station.conf has no [mqtt], that section is read and
// its settings are written to station.conf's [mqtt], which is read from then
// on. The calibration's file is only ever read: it stays as it was.
struct MqttSettingsMove
{
    enum class Outcome {
        Nothing,   // [mqtt] is there, or the old section names no broker
        Moved,     // written to [mqtt]
        WouldMove, // what Moved would be, without writing (--check-config)
        NotMoved,  // station.conf could not be written: used from the old place this time
        Refused,   // the old settings do not read: not moved, not used
    };

    Outcome outcome = Outcome::Nothing;
    // The settings to publish with, unless the command line names others.
    MqttSettings settings;
    // For standard error: where the settings now live, or why they do not.
    QString message;

    // `calibrationFile` names the store's file in the message.
    static MqttSettingsMove run(StationConfig &config, const SettingsStore &calibration,
                                const QString &calibrationFile, bool write);
};
