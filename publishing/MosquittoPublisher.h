#pragma once

#include "publishing/MqttSettings.h"
#include "publishing/Publisher.h"

#include <QObject>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

struct mosquitto;
struct mosquitto_message;

// Publishes to an MQTT broker through libmosquitto. A thread of ours owns
// the connection: it runs the library's network loop, sends, and after any
// failure says what it was and connects again, with a wait that grows to
// MaxRetrySeconds, for as long as the publisher lives. (The library's own
// loop thread ends for good on some failures, a protocol error or a failed
// TLS handshake among them.)
// Messages wait in a bounded queue, in order, and go out with QoS 1 while
// the broker is connected. A message handed to the library stays there
// until the broker acknowledges it: the library sends it again after a
// reconnect, and nothing new goes out before those, so a lost link loses
// nothing and reorders nothing.
// Beyond QueueLimit the oldest are let go and counted, readings and events
// apart; the counts are published on "events" once the link is back.
// A broker that ends the connection again and again right after making it
// has given the session to another client with the same id: that is said
// once, and tried only every TakenOverRetrySeconds meanwhile.
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
    // A connection lost sooner than this after it was made was short-lived;
    // so many of them in a row mean the session is being taken over.
    static constexpr int ShortLivedSeconds = 5;
    static constexpr int ShortLivedToTell = 3;
    static constexpr int TakenOverRetrySeconds = 30;
    // An attempt the broker never answers is given up after this.
    static constexpr int ConnectTimeoutSeconds = 2 * KeepAliveSeconds;

    // Starts connecting at once. settings.problem() must be empty.
    explicit MosquittoPublisher(const MqttSettings &settings);
    ~MosquittoPublisher() override;

    void publish(const QString &subtopic, const QByteArray &payload,
                 bool retained = false) override;
    void publishTopic(const QString &topic, const QByteArray &payload, bool retained) override;
    void subscribe(const QString &topic) override;
    Link link() const override;
    QString linkText() const override;
    Dropped dropped() const override;

    // Messages waiting or unacknowledged, and the memory they take.
    int waiting() const;
    qint64 waitingBytes() const;

private:
    using SteadyClock = std::chrono::steady_clock;

    struct Message
    {
        QByteArray topic;
        QByteArray payload;
        bool reading = false;
        bool retained = false;
    };

    static void onConnect(mosquitto *client, void *self, int code);
    static void onDisconnect(mosquitto *client, void *self, int code);
    static void onPublish(mosquitto *client, void *self, int mid);
    static void onMessage(mosquitto *client, void *self, const struct mosquitto_message *message);
    void keepConnected(const QByteArray &host, int port);
    // Runs the network loop until the connection ends; its code and errno.
    int runConnection(int *error);
    // The seconds to wait before the next attempt.
    int connectionEnded(int code, int error);
    QString failureText(int code, int error, bool wasConnected) const;
    bool waitBeforeRetry(int seconds);
    void sendWaiting();
    void subscribeAll();
    void sayGoodbye();
    bool stopping() const;
    void setLink(Link link, const QString &text);
    void enqueue(Message message, bool atFront);

    QByteArray m_prefix; // "kestrom-dgh/ID/"
    QByteArray m_clientId;
    QString m_where; // "host:port"
    bool m_tls = false;
    mosquitto *m_client = nullptr;

    // Only the connection's thread uses these.
    int m_retrySeconds = 1;
    int m_shortLived = 0; // connections in a row that ended short-lived
    bool m_wasConnected = false;
    SteadyClock::time_point m_connectedAt;
    int m_connackCode = 0;

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<Message> m_queue;
    std::vector<QByteArray> m_subscriptions;
    bool m_subscribeNow = false; // a subscription made while connected
    // Handed to the library and not yet acknowledged: message id -> bytes.
    std::map<int, qint64> m_inFlight;
    // After a reconnect the library first sends again what it holds.
    bool m_resending = false;
    Dropped m_dropped;
    Dropped m_droppedUnreported;
    bool m_connected = false;
    bool m_stopping = false;
    Link m_link = Link::Connecting;
    QString m_linkText;
    std::thread m_connection;
};
