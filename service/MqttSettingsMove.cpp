#include "service/MqttSettingsMove.h"

#include "config/StationConfig.h"

MqttSettingsMove MqttSettingsMove::run(StationConfig &config, const SettingsStore &calibration,
                                       const QString &calibrationFile, bool write)
{
    MqttSettingsMove move;
    if (config.sectionNames().contains(MqttSettings::CONFIG_SECTION))
        return move;
    const MqttSettings old = MqttSettings::load(calibration);
    if (!old.enabled())
        return move;
    const QString from = QStringLiteral("%1 [%2]").arg(calibrationFile, MqttSettings::SECTION);
    const QString to = QStringLiteral("%1 [%2]").arg(config.path(), MqttSettings::CONFIG_SECTION);
    if (!old.invalid.isEmpty()) {
        move.outcome = Outcome::Refused;
        move.message = QStringLiteral("the MQTT settings in %1 are not used: %2 Set them in %3.")
                           .arg(from, old.invalid, to);
        return move;
    }
    move.settings = old;
    if (!write) {
        move.outcome = Outcome::WouldMove;
        move.message = QStringLiteral("the MQTT settings in %1 would move to %2.").arg(from, to);
        return move;
    }
    QString why;
    if (!config.change(old.toConfigChanges(), &why)) {
        move.outcome = Outcome::NotMoved;
        move.message = QStringLiteral("the MQTT settings in %1 are used from there this time: "
                                      "%2")
                           .arg(from, why);
        return move;
    }
    move.outcome = Outcome::Moved;
    move.message = QStringLiteral("the MQTT settings now live in %1; those in %2 are no longer "
                                  "read, and that file is left as it was.")
                       .arg(to, from);
    return move;
}
