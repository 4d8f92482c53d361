#include "platform/qt/MosquittoPublisher.h"

#include <QDateTime>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <mosquitto.h>

namespace {

// libmosquitto wants its library set up once per process.
void initialiseLibrary()
{
    static const bool done = [] {
        mosquitto_lib_init();
        return true;
    }();
    Q_UNUSED(done);
}

QString errorText(int code)
{
    if (code == MOSQ_ERR_ERRNO)
        return QString::fromLocal8Bit(std::strerror(errno));
    if (code == MOSQ_ERR_EAI)
        return QStringLiteral("the host name does not resolve");
    return QString::fromUtf8(mosquitto_strerror(code));
}

} // namespace

MosquittoPublisher::MosquittoPublisher(const MqttSettings &settings)
    : m_prefix("kestrom-dgh/" + settings.stationIdOrHostName().toUtf8() + '/')
    , m_where(QStringLiteral("%1:%2").arg(settings.host).arg(settings.port))
{
    initialiseLibrary();
    const QByteArray clientId = "kestrom-dgh-" + settings.stationIdOrHostName().toUtf8();
    m_client = mosquitto_new(clientId.constData(), true, this);
    m_linkText = QStringLiteral("MQTT: connecting to %1").arg(m_where);
    if (!m_client) {
        setLink(Link::Failing,
                QStringLiteral("MQTT: no client: %1").arg(errorText(MOSQ_ERR_NOMEM)));
        return;
    }
    mosquitto_int_option(m_client, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V311);
    mosquitto_connect_callback_set(m_client, &MosquittoPublisher::onConnect);
    mosquitto_disconnect_callback_set(m_client, &MosquittoPublisher::onDisconnect);
    mosquitto_publish_callback_set(m_client, &MosquittoPublisher::onPublish);
    mosquitto_reconnect_delay_set(m_client, 1, MaxRetrySeconds, true);
    const QByteArray status = m_prefix + "status";
    mosquitto_will_set(m_client, status.constData(), 7, "offline", 1, true);

    QString why;
    if (settings.tls) {
        const int code =
            mosquitto_tls_set(m_client, nullptr, "/etc/ssl/certs", nullptr, nullptr, nullptr);
        if (code != MOSQ_ERR_SUCCESS)
            why = QStringLiteral("TLS cannot be set up: %1").arg(errorText(code));
    }
    if (!settings.user.isEmpty()) {
        QString password;
        if (!settings.password(&password, &why))
            password.clear();
        mosquitto_username_pw_set(m_client, settings.user.toUtf8().constData(),
                                  password.isEmpty() ? nullptr : password.toUtf8().constData());
    }
    // Connecting looks the host name up, which can take seconds: not on the
    // window's thread.
    m_sender = std::thread([this, host = settings.host.toUtf8(), port = settings.port, why] {
        // Not without the TLS or the password asked for: readings wait.
        if (!why.isEmpty()) {
            setLink(Link::Failing, QStringLiteral("MQTT: %1: %2").arg(m_where, why));
            return;
        }
        // libmosquitto's loop retries a connection once it got under way;
        // one refused at once (no broker up yet) is retried here.
        for (int delay = 1;; delay = std::min(2 * delay, MaxRetrySeconds)) {
            const int code =
                mosquitto_connect_async(m_client, host.constData(), port, KeepAliveSeconds);
            if (code == MOSQ_ERR_SUCCESS)
                break;
            setLink(Link::Failing, QStringLiteral("MQTT: %1: %2").arg(m_where, errorText(code)));
            std::unique_lock<std::mutex> lock(m_mutex);
            if (m_wake.wait_for(lock, std::chrono::seconds(delay), [this] { return m_stopping; }))
                return;
        }
        mosquitto_loop_start(m_client);
        send();
    });
}

MosquittoPublisher::~MosquittoPublisher()
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    if (m_sender.joinable())
        m_sender.join();
    if (!m_client)
        return;
    // A clean goodbye does not raise the will: say it ourselves.
    const QByteArray status = m_prefix + "status";
    mosquitto_publish(m_client, nullptr, status.constData(), 7, "offline", 1, true);
    mosquitto_disconnect(m_client);
    mosquitto_loop_stop(m_client, false);
    mosquitto_destroy(m_client);
}

void MosquittoPublisher::enqueue(const QByteArray &topic, const QByteArray &payload, bool atFront)
{
    Message message{topic, payload};
    if (atFront) {
        m_queue.push_front(std::move(message));
        return;
    }
    if (static_cast<int>(m_queue.size()) >= QueueLimit) {
        m_queue.pop_front();
        ++m_dropped;
        ++m_droppedUnreported;
    }
    m_queue.push_back(std::move(message));
}

void MosquittoPublisher::publish(const QString &subtopic, const QByteArray &payload)
{
    quint64 droppedBefore = 0;
    quint64 droppedAfter = 0;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        droppedBefore = m_dropped;
        enqueue(m_prefix + subtopic.toUtf8(), payload, false);
        droppedAfter = m_dropped;
    }
    m_wake.notify_one();
    if (droppedAfter != droppedBefore)
        linkChanged.notify();
}

void MosquittoPublisher::send()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] {
            return m_stopping ||
                (m_connected && !m_resending && !m_queue.empty() &&
                 static_cast<int>(m_inFlight.size()) < InFlightLimit);
        });
        if (m_stopping)
            return;
        Message message = std::move(m_queue.front());
        m_queue.pop_front();
        int mid = 0;
        // Held across the call: the acknowledgement may come before it returns.
        const int code =
            mosquitto_publish(m_client, &mid, message.topic.constData(), message.payload.size(),
                              message.payload.constData(), 1, false);
        // Not connected after all, the library keeps the message and sends it
        // after the reconnect, as it does with any it had sent unacknowledged.
        if (code == MOSQ_ERR_SUCCESS || code == MOSQ_ERR_NO_CONN) {
            m_inFlight.emplace(mid, message.topic.size() + message.payload.size());
            if (code == MOSQ_ERR_NO_CONN)
                m_connected = false;
            continue;
        }
        // Refused for good (too large, a topic the library will not take):
        // counted with the dropped and told; the rest go on.
        ++m_dropped;
        ++m_droppedUnreported;
        lock.unlock();
        setLink(Link::Failing,
                QStringLiteral("MQTT: a message was not published: %1").arg(errorText(code)));
        lock.lock();
    }
}

void MosquittoPublisher::onConnect(mosquitto *client, void *self, int code)
{
    auto *publisher = static_cast<MosquittoPublisher *>(self);
    publisher->m_refused = code != 0;
    if (code != 0) {
        publisher->setLink(
            Link::Failing,
            QStringLiteral("MQTT: %1 refused the connection: %2")
                .arg(publisher->m_where, QString::fromUtf8(mosquitto_connack_string(code))));
        return;
    }
    const QByteArray status = publisher->m_prefix + "status";
    mosquitto_publish(client, nullptr, status.constData(), 6, "online", 1, true);
    {
        const std::lock_guard<std::mutex> lock(publisher->m_mutex);
        if (publisher->m_droppedUnreported > 0) {
            const QDateTime now = QDateTime::currentDateTime();
            const QByteArray event = "{\"time\":\"" +
                now.toOffsetFromUtc(now.offsetFromUtc()).toString(Qt::ISODateWithMs).toLatin1() +
                "\",\"source\":\"mqtt\",\"kind\":\"dropped\",\"count\":" +
                QByteArray::number(publisher->m_droppedUnreported) +
                ",\"text\":\"Readings not published: the broker was out of reach for longer "
                "than the queue holds\"}";
            publisher->enqueue(publisher->m_prefix + "events", event, true);
            publisher->m_droppedUnreported = 0;
        }
        publisher->m_connected = true;
        publisher->m_resending = !publisher->m_inFlight.empty();
    }
    publisher->m_wake.notify_all();
    publisher->setLink(Link::Connected,
                       QStringLiteral("MQTT: publishing to %1").arg(publisher->m_where));
}

void MosquittoPublisher::onDisconnect(mosquitto *, void *self, int code)
{
    auto *publisher = static_cast<MosquittoPublisher *>(self);
    {
        const std::lock_guard<std::mutex> lock(publisher->m_mutex);
        publisher->m_connected = false;
    }
    // Our own goodbye, or the broker's refusal, told already.
    if (code == 0 || publisher->m_refused)
        return;
    const QString what = publisher->link() == Link::Connected
        ? QStringLiteral("MQTT: lost the connection to %1; trying again, readings wait")
        : QStringLiteral("MQTT: %1 does not answer; trying again, readings wait");
    publisher->setLink(Link::Failing, what.arg(publisher->m_where));
}

void MosquittoPublisher::onPublish(mosquitto *, void *self, int mid)
{
    auto *publisher = static_cast<MosquittoPublisher *>(self);
    {
        const std::lock_guard<std::mutex> lock(publisher->m_mutex);
        publisher->m_inFlight.erase(mid);
        publisher->m_resending = publisher->m_resending && !publisher->m_inFlight.empty();
    }
    publisher->m_wake.notify_all();
}

void MosquittoPublisher::setLink(Link link, const QString &text)
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        if (m_link == link && m_linkText == text)
            return;
        m_link = link;
        m_linkText = text;
    }
    // Heard on the window's thread, whichever thread saw it.
    QMetaObject::invokeMethod(
        this, [this] { linkChanged.notify(); }, Qt::QueuedConnection);
}

Publisher::Link MosquittoPublisher::link() const
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_link;
}

QString MosquittoPublisher::linkText() const
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_linkText;
}

quint64 MosquittoPublisher::dropped() const
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_dropped;
}

int MosquittoPublisher::waiting() const
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return static_cast<int>(m_queue.size() + m_inFlight.size());
}

qint64 MosquittoPublisher::waitingBytes() const
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    qint64 bytes = 0;
    for (const auto &[mid, size] : m_inFlight)
        bytes += size;
    for (const Message &message : m_queue)
        bytes += static_cast<qint64>(sizeof(Message)) + message.topic.capacity() +
            message.payload.capacity();
    return bytes;
}
