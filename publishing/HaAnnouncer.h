#pragma once

#include "platform/Handlers.h"
#include "publishing/HaDiscovery.h"

#include <QStringList>

#include <functional>

class Publishing;
struct StationState;

// Keeps the station's device in Home Assistant as it is: announced when
// publishing starts with a discovery prefix, again whenever Home Assistant
// says it is online ("<prefix>/status") and whenever the polled groups or the
// alarms change. An announcement of this station found under another
// prefix, or with discovery off, is emptied, which removes the device.
class HaAnnouncer
{
public:
    using AlarmNames = std::function<QStringList()>;

    // All must outlive it.
    HaAnnouncer(Publishing &publishing, const StationState &state, AlarmNames alarms);

    // After each read cycle: the groups polled or the alarms armed may have changed.
    void cycleRead();

private:
    void started();
    void heard(const QString &topic, const QByteArray &payload);
    void announce();
    HaDiscovery::Groups polled() const;

    Publishing &m_publishing;
    const StationState &m_state;
    AlarmNames m_alarms;
    QString m_prefix;             // empty: not announcing
    QString m_stationId;          // the device's
    HaDiscovery::Groups m_groups; // announced last
    QStringList m_alarmNames;     // announced last
    // The components Home Assistant has of this device, as far as known.
    QMap<QString, QString> m_announced;
    Handlers m_handlers;
};
