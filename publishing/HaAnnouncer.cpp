#include "publishing/HaAnnouncer.h"

#include "publishing/Publishing.h"
#include "station/StationState.h"

#include <QCoreApplication>

HaAnnouncer::HaAnnouncer(Publishing &publishing, const StationState &state, AlarmNames alarms)
    : m_publishing(publishing)
    , m_state(state)
    , m_alarms(std::move(alarms))
{
    m_handlers.install(m_publishing.started, [this] { started(); });
    m_handlers.install(
        m_publishing.received,
        [this](const QString &topic, const QByteArray &payload) { heard(topic, payload); });
}

HaDiscovery::Groups HaAnnouncer::polled() const
{
    HaDiscovery::Groups groups;
    groups.flow = m_state.flowEnabled == FlagOn;
    groups.ph = m_state.phEnabled == FlagOn;
    groups.therm = m_state.thermEnabled == FlagOn;
    return groups;
}

void HaAnnouncer::started()
{
    const MqttSettings &settings = m_publishing.settings();
    m_prefix = settings.discoveryPrefix;
    m_stationId = settings.stationIdOrHostName();
    m_announced.clear();
    // What this station announced before, under any prefix of one or two levels.
    const QString device = QStringLiteral("device/kestrom_dgh_%1/config").arg(m_stationId);
    m_publishing.subscribe(QStringLiteral("+/") + device);
    m_publishing.subscribe(QStringLiteral("+/+/") + device);
    if (m_prefix.isEmpty())
        return;
    m_publishing.subscribe(HaDiscovery::birthTopic(m_prefix));
    announce();
}

void HaAnnouncer::heard(const QString &topic, const QByteArray &payload)
{
    if (!m_prefix.isEmpty() && topic == HaDiscovery::birthTopic(m_prefix)) {
        if (payload == "online")
            announce(); // Home Assistant came back and reads the devices afresh
        return;
    }
    const bool ours =
        !m_prefix.isEmpty() && topic == HaDiscovery::configTopic(m_prefix, m_stationId);
    if (!ours) {
        if (!payload.isEmpty())
            m_publishing.publishTopic(topic, QByteArray()); // an old announcement: the device goes
        return;
    }
    // Ours as the broker keeps it, perhaps from an earlier run with other
    // groups or alarms: what it has more than this run's goes.
    const QMap<QString, QString> held = HaDiscovery::announced(payload);
    const QMap<QString, QString> now = HaDiscovery::components(m_groups, m_alarmNames);
    bool more = false;
    for (auto it = held.begin(); it != held.end(); ++it) {
        if (!now.contains(it.key())) {
            m_announced.insert(it.key(), it.value());
            more = true;
        }
    }
    if (more)
        announce();
}

void HaAnnouncer::cycleRead()
{
    if (!m_prefix.isEmpty() && (!(polled() == m_groups) || m_alarms() != m_alarmNames))
        announce();
}

void HaAnnouncer::announce()
{
    m_groups = polled();
    m_alarmNames = m_alarms();
    m_publishing.publishTopic(HaDiscovery::configTopic(m_prefix, m_stationId),
                              HaDiscovery::config(m_stationId,
                                                  QCoreApplication::applicationVersion(), m_groups,
                                                  m_alarmNames, m_announced));
    m_announced = HaDiscovery::components(m_groups, m_alarmNames);
}
