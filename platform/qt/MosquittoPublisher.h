#pragma once

#include "platform/Publisher.h"
#include "station/MqttSettings.h"

#include <QObject>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <thread>

struct mosquitto;

// Publishes to an MQTT broker through libmosquitto, whose own thread keeps
// the connection and reconnects after a loss. Messages wait in a bounded
// queue, in order, and go out with QoS 1 from a sender thread of ours as
// long as the broker is connected. A message handed to the library stays
// there until the broker acknowledges it: the library sends it again after a
// reconnect, and nothing new goes out before those, so a lost link loses
// nothing and reorders nothing.
// Beyond QueueLimit the oldest are let go and counted; the count is
// published on "events" once the link is back.
//
// "kestrom-dgh/ID/status" is "online" (retained) while connected, and
// "offline" as the connection's last will, or when the publisher is closed.
class MosquittoPublisher : public QObject, public Publisher
{
public:
    // More than an hour of one message a second.
    static constexpr int QueueLimit = 4000;
    static constexpr int InFlightLimit = 20;
    static constexpr int KeepAliveSeconds = 10;
    // The longest wait between two attempts to reach the broker.
    static constexpr int MaxRetrySeconds = 10;

    // Starts connecting at once. settings.enabled() must hold.
    explicit MosquittoPublisher(const MqttSettings &settings);
    ~MosquittoPublisher() override;

    void publish(const QString &subtopic, const QByteArray &payload) override;
    Link link() const override;
    QString linkText() const override;
    quint64 dropped() const override;

    // Messages waiting or unacknowledged, and the memory they take.
    int waiting() const;
    qint64 waitingBytes() const;

private:
    struct Message
    {
        QByteArray topic;
        QByteArray payload;
    };

    static void onConnect(mosquitto *client, void *self, int code);
    static void onDisconnect(mosquitto *client, void *self, int code);
    static void onPublish(mosquitto *client, void *self, int mid);
    void send();
    void setLink(Link link, const QString &text);
    void enqueue(const QByteArray &topic, const QByteArray &payload, bool atFront);

    QByteArray m_prefix; // "kestrom-dgh/ID/"
    QString m_where;     // "host:port"
    mosquitto *m_client = nullptr;

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<Message> m_queue;
    // Handed to the library and not yet acknowledged: message id -> bytes.
    std::map<int, qint64> m_inFlight;
    // After a reconnect the library first sends again what it holds.
    bool m_resending = false;
    quint64 m_dropped = 0;
    quint64 m_droppedUnreported = 0;
    bool m_connected = false;
    bool m_stopping = false;
    std::atomic<bool> m_refused{false}; // the broker's last answer was a refusal
    Link m_link = Link::Connecting;
    QString m_linkText;
    std::thread m_sender;
};
