#pragma once

#include "platform/Handlers.h"
#include "publishing/MqttSettings.h"
#include "publishing/Publisher.h"
#include "publishing/ReadingsMessage.h"

#include <functional>
#include <memory>

class Clock;
struct CycleReads;
class QLabel;
class QStatusBar;
class QWidget;
class StationConfig;
struct StationEvent;
struct StationState;

// The station's readings on their way to an MQTT broker, when that is asked
// for: the publisher, the sequence of messages, the "MQTT" lamp in the
// status bar ("lblMqtt"), a failure told once on standard error, and the
// File > MQTT Publishing dialog. Off until start() is given a broker;
// settings with a problem() are told and not used.
class Publishing
{
public:
    using MakePublisher = std::function<std::unique_ptr<Publisher>(const MqttSettings &)>;
    // The real one, over libmosquitto.
    static std::unique_ptr<Publisher> mosquitto(const MqttSettings &settings);

    // The lamp "lblMqtt", added to the status bar.
    static QLabel *addLamp(QStatusBar *statusBar);

    // All must outlive it; `indicator` is shown only while publishing. The
    // dialog keeps its settings in `config` (station.conf), none when null.
    Publishing(const StationState &state, const Clock &clock, StationConfig *config,
               MakePublisher make, QLabel *indicator, QWidget *window);
    ~Publishing();

    // The password $KESTROM_DGH_MQTT_PASSWORD held at start, for every
    // broker to come that has no password file.
    void setEnvironmentPassword(const QString &password) { m_environmentPassword = password; }
    // Publishes to the broker the settings name from now on, in place of any
    // earlier one; settings without a broker stop publishing.
    void start(const MqttSettings &settings);
    bool isPublishing() const { return static_cast<bool>(m_publisher); }

    // After a read cycle: its readings, if it read any, as one message.
    void cycleRead(const CycleReads &reads);
    void eventRecorded(const StationEvent &event);
    // A state on its own topic, retained by the broker for those who come later.
    void publishState(const QString &subtopic, const QByteArray &payload);
    // A retained message on a topic outside the station's own; a topic to
    // hear (received) while this broker is used.
    void publishTopic(const QString &topic, const QByteArray &payload);
    void subscribe(const QString &topic);
    // The settings of the broker in use.
    const MqttSettings &settings() const { return m_current; }

    // Publishing began with a broker (at start or from the dialog): the
    // states it keeps retained are due to it.
    Broadcast<> started;
    // A message on a topic subscribed to.
    Broadcast<const QString &, const QByteArray &> received;

    // The dialog: the broker and the station id, kept in station.conf.
    void showDialog();

private:
    void showLink();

    const StationState &m_state;
    const Clock &m_clock;
    StationConfig *m_config;
    MakePublisher m_make;
    QLabel *m_indicator;
    QWidget *m_window;
    std::unique_ptr<Publisher> m_publisher;
    MqttSettings m_current;
    QString m_environmentPassword;
    QString m_refused; // why the settings were not used, if they were not
    quint64 m_seq = 0;
    QString m_told; // the failure last told, so that it is told once
    Handlers m_handlers;
};
