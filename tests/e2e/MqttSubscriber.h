#pragma once

// A persistent QoS 1 subscription to everything one station publishes, as a
// historian would keep it, through libmosquitto's own thread.

#include <QByteArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QPair>
#include <QSet>
#include <QString>

#include <algorithm>
#include <atomic>
#include <mosquitto.h>
#include <mutex>

class MqttSubscriber
{
public:
    // `also`: a topic filter heard besides the station's own topics.
    explicit MqttSubscriber(int port, const QByteArray &stationId = "lab-1",
                            const QByteArray &clientId = "test-historian",
                            const QByteArray &also = QByteArray())
        : m_prefix("kestrom-dgh/" + stationId + '/')
        , m_also(also)
    {
        mosquitto_lib_init();
        m_client = mosquitto_new(clientId.constData(), false, this);
        mosquitto_message_callback_set(
            m_client, [](mosquitto *, void *self, const mosquitto_message *message) {
                auto *subscriber = static_cast<MqttSubscriber *>(self);
                const std::lock_guard<std::mutex> lock(subscriber->m_mutex);
                subscriber->m_received.append(
                    {QByteArray(message->topic),
                     QByteArray(static_cast<const char *>(message->payload), message->payloadlen)});
            });
        mosquitto_connect_callback_set(m_client, [](mosquitto *client, void *self, int code) {
            auto *subscriber = static_cast<MqttSubscriber *>(self);
            if (code != 0)
                return;
            mosquitto_subscribe(client, nullptr, (subscriber->m_prefix + '#').constData(), 1);
            if (!subscriber->m_also.isEmpty())
                mosquitto_subscribe(client, nullptr, subscriber->m_also.constData(), 1);
        });
        mosquitto_subscribe_callback_set(
            m_client, [](mosquitto *, void *self, int, int, const int *) {
                static_cast<MqttSubscriber *>(self)->m_subscribed = true;
            });
        mosquitto_reconnect_delay_set(m_client, 1, 1, false);
        mosquitto_connect_async(m_client, "127.0.0.1", port, 10);
        mosquitto_loop_start(m_client);
    }
    ~MqttSubscriber()
    {
        mosquitto_disconnect(m_client);
        mosquitto_loop_stop(m_client, false);
        mosquitto_destroy(m_client);
    }
    bool subscribed() const { return m_subscribed; }
    // As another client would (Home Assistant saying it is online).
    void publish(const QByteArray &topic, const QByteArray &payload)
    {
        mosquitto_publish(m_client, nullptr, topic.constData(), payload.size(), payload.constData(),
                          1, false);
    }
    // The payloads on a topic, in order.
    QList<QByteArray> payloadsOn(const QByteArray &wanted) const
    {
        QList<QByteArray> found;
        for (const auto &[topic, payload] : received())
            if (topic == wanted)
                found << payload;
        return found;
    }
    QList<QPair<QByteArray, QByteArray>> received() const
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        return m_received;
    }
    // The messages on one of the station's topics, as JSON objects.
    QList<QJsonObject> on(const QByteArray &subtopic) const
    {
        QList<QJsonObject> found;
        for (const auto &[topic, payload] : received())
            if (topic == m_prefix + subtopic)
                found << QJsonDocument::fromJson(payload).object();
        return found;
    }
    QList<QJsonObject> readings() const { return on("readings"); }
    int highestSeq() const
    {
        int highest = 0;
        for (const QJsonObject &reading : readings())
            highest = std::max(highest, reading.value("seq").toInt());
        return highest;
    }
    // Why the readings are not all there in order, from the first the
    // subscriber was there for; QoS 1 may repeat one it had already.
    QString seqProblem() const
    {
        const QList<QJsonObject> all = readings();
        if (all.isEmpty())
            return QStringLiteral("no readings");
        QSet<int> seen;
        int next = all.first().value("seq").toInt();
        for (const QJsonObject &reading : all) {
            const int seq = reading.value("seq").toInt();
            if (seq != next && !seen.contains(seq))
                return QStringLiteral("seq %1 came where %2 was due").arg(seq).arg(next);
            seen.insert(seq);
            next = std::max(next, seq + 1);
        }
        return {};
    }
    QByteArray lastStatus() const
    {
        QByteArray status;
        for (const auto &[topic, payload] : received())
            if (topic == m_prefix + "status")
                status = payload;
        return status;
    }

private:
    QByteArray m_prefix;
    QByteArray m_also;
    mosquitto *m_client = nullptr;
    std::atomic<bool> m_subscribed{false};
    mutable std::mutex m_mutex;
    QList<QPair<QByteArray, QByteArray>> m_received;
};
