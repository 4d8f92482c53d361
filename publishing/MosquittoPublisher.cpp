#include "publishing/MosquittoPublisher.h"

#include "publishing/ReadingsMessage.h"

#include <QDateTime>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <mosquitto.h>

namespace {

// How long one turn of the network loop waits for the socket: the longest
// a new message waits before it is handed to the library.
constexpr int LoopMilliseconds = 100;

// libmosquitto wants its library set up once per process.
void initialiseLibrary()
{
    static const bool done = [] {
        mosquitto_lib_init();
        return true;
    }();
    Q_UNUSED(done);
}

// `error` is errno as it was right after the call that returned `code`.
QString errorText(int code, int error)
{
    if (code == MOSQ_ERR_ERRNO)
        return QString::fromLocal8Bit(std::strerror(error));
    if (code == MOSQ_ERR_EAI)
        return QStringLiteral("the host name does not resolve");
    return QString::fromUtf8(mosquitto_strerror(code));
}

QByteArray droppedEvent(const Publisher::Dropped &dropped)
{
    QStringList parts;
    if (dropped.readings > 0)
        parts << QStringLiteral("%1 readings").arg(dropped.readings);
    if (dropped.events > 0)
        parts << QStringLiteral("%1 events").arg(dropped.events);
    return EventMessage::json(QDateTime::currentDateTime(), QStringLiteral("mqtt"),
                              QStringLiteral("dropped"),
                              parts.join(QStringLiteral(" and ")) +
                                  QStringLiteral(" not published: the broker was out of reach for "
                                                 "longer than the queue holds"),
                              JsonMessage()
                                  .add("readings", quint64(dropped.readings))
                                  .add("events", quint64(dropped.events)));
}

} // namespace

MosquittoPublisher::MosquittoPublisher(const MqttSettings &settings)
    : m_prefix("kestrom-dgh/" + settings.stationIdOrHostName().toUtf8() + '/')
    , m_clientId("kestrom-dgh-" + settings.stationIdOrHostName().toUtf8())
    , m_where(MqttSettings::formatBroker(settings.host, settings.port))
    , m_tls(settings.tls)
{
    initialiseLibrary();
    m_client = mosquitto_new(m_clientId.constData(), true, this);
    m_linkText = QStringLiteral("MQTT: connecting to %1").arg(m_where);
    if (!m_client) {
        setLink(Link::Failing,
                QStringLiteral("MQTT: no client: %1").arg(errorText(MOSQ_ERR_ERRNO, errno)));
        return;
    }
    mosquitto_int_option(m_client, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V311);
    mosquitto_connect_callback_set(m_client, &MosquittoPublisher::onConnect);
    mosquitto_disconnect_callback_set(m_client, &MosquittoPublisher::onDisconnect);
    mosquitto_publish_callback_set(m_client, &MosquittoPublisher::onPublish);
    mosquitto_message_callback_set(m_client, &MosquittoPublisher::onMessage);
    const QByteArray status = m_prefix + STATUS;
    int code = mosquitto_will_set(m_client, status.constData(), OFFLINE.size(), OFFLINE.constData(),
                                  1, true);

    QString why = code == MOSQ_ERR_SUCCESS
        ? QString()
        : QStringLiteral("no last will: %1").arg(errorText(code, errno));
    if (settings.tls && why.isEmpty()) {
        // The system's CAs, where OpenSSL looks for them by default too
        // (SSL_CERT_FILE and SSL_CERT_DIR name others).
        code = mosquitto_tls_set(m_client, nullptr, "/etc/ssl/certs", nullptr, nullptr, nullptr);
        if (code == MOSQ_ERR_SUCCESS)
            code = mosquitto_int_option(m_client, MOSQ_OPT_TLS_USE_OS_CERTS, 1);
        if (code != MOSQ_ERR_SUCCESS)
            why = QStringLiteral("TLS cannot be set up: %1").arg(errorText(code, errno));
    }
    if (!settings.user.isEmpty() && why.isEmpty()) {
        QString password;
        if (settings.password(&password, &why)) {
            code = mosquitto_username_pw_set(m_client, settings.user.toUtf8().constData(),
                                             password.isEmpty() ? nullptr
                                                                : password.toUtf8().constData());
            if (code != MOSQ_ERR_SUCCESS)
                why = QStringLiteral("the user cannot be set: %1").arg(errorText(code, errno));
        }
    }
    // Not without the TLS or the password asked for: readings wait.
    if (!why.isEmpty()) {
        setLink(Link::Failing, QStringLiteral("MQTT: %1: %2").arg(m_where, why));
        return;
    }
    // Connecting looks the host name up, which can take seconds: not on the
    // window's thread.
    m_connection = std::thread(
        [this, host = settings.host.toUtf8(), port = settings.port] { keepConnected(host, port); });
}

MosquittoPublisher::~MosquittoPublisher()
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    if (m_connection.joinable())
        m_connection.join();
    if (m_client)
        mosquitto_destroy(m_client);
}

bool MosquittoPublisher::stopping() const
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_stopping;
}

void MosquittoPublisher::keepConnected(const QByteArray &host, int port)
{
    bool first = true;
    while (!stopping()) {
        // The first call keeps the host and port for the later ones.
        int code = first
            ? mosquitto_connect_async(m_client, host.constData(), port, KeepAliveSeconds)
            : mosquitto_reconnect_async(m_client);
        int error = errno;
        first = false;
        if (code == MOSQ_ERR_SUCCESS)
            code = runConnection(&error);
        if (stopping())
            break;
        if (!waitBeforeRetry(connectionEnded(code, error)))
            break;
    }
    sayGoodbye();
}

int MosquittoPublisher::runConnection(int *error)
{
    const SteadyClock::time_point started = SteadyClock::now();
    for (;;) {
        bool subscribeNow = false;
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            subscribeNow = m_subscribeNow;
        }
        if (subscribeNow)
            subscribeAll();
        sendWaiting();
        const int code = mosquitto_loop(m_client, LoopMilliseconds, 1);
        *error = errno;
        if (code != MOSQ_ERR_SUCCESS || stopping())
            return code;
        const SteadyClock::time_point now = SteadyClock::now();
        bool connected = false;
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            connected = m_connected;
        }
        if (!connected && now - started > std::chrono::seconds(ConnectTimeoutSeconds))
            return MOSQ_ERR_TIMEOUT;
        // Held long enough: no longer a session taken away at once.
        if (connected && m_shortLived > 0 &&
            now - m_connectedAt >= std::chrono::seconds(ShortLivedSeconds)) {
            m_shortLived = 0;
            m_retrySeconds = 1;
            setLink(Link::Connected, QStringLiteral("MQTT: publishing to %1").arg(m_where));
        }
    }
}

int MosquittoPublisher::connectionEnded(int code, int error)
{
    const bool wasConnected = m_wasConnected;
    m_wasConnected = false;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_connected = false;
    }
    if (wasConnected &&
        SteadyClock::now() - m_connectedAt < std::chrono::seconds(ShortLivedSeconds))
        ++m_shortLived;
    else if (wasConnected)
        m_retrySeconds = 1;

    if (code == MOSQ_ERR_CONN_LOST && m_shortLived >= ShortLivedToTell) {
        setLink(Link::Failing,
                QStringLiteral("MQTT: another client with the id '%1' is connected to %2: the "
                               "broker gives the session to whichever connected last; trying "
                               "again every %3 s, readings wait")
                    .arg(QString::fromUtf8(m_clientId), m_where,
                         QString::number(TakenOverRetrySeconds)));
        return TakenOverRetrySeconds;
    }
    setLink(Link::Failing, failureText(code, error, wasConnected));
    const int seconds = m_retrySeconds;
    m_retrySeconds = std::min(2 * m_retrySeconds, MaxRetrySeconds);
    return seconds;
}

QString MosquittoPublisher::failureText(int code, int error, bool wasConnected) const
{
    QString what;
    switch (code) {
    case MOSQ_ERR_CONN_REFUSED:
        what = QStringLiteral("%1 refused the connection: %2")
                   .arg(m_where, QString::fromUtf8(mosquitto_connack_string(m_connackCode)));
        break;
    case MOSQ_ERR_CONN_LOST:
    case MOSQ_ERR_NO_CONN:
        what = wasConnected
            ? QStringLiteral("lost the connection to %1").arg(m_where)
            : QStringLiteral("%1 closed the connection before it was made").arg(m_where);
        break;
    case MOSQ_ERR_KEEPALIVE:
    case MOSQ_ERR_TIMEOUT:
        what = wasConnected ? QStringLiteral("%1 stopped answering").arg(m_where)
                            : QStringLiteral("%1 does not answer").arg(m_where);
        break;
    case MOSQ_ERR_PROTOCOL:
    case MOSQ_ERR_MALFORMED_PACKET:
        // Before a connection, the library says the same of a network it
        // cannot reach.
        what = wasConnected
            ? QStringLiteral("a protocol error on the connection to %1: it sent what is not "
                             "MQTT")
                  .arg(m_where)
            : QStringLiteral("%1: a protocol error: the network does not reach it, or it does "
                             "not speak MQTT")
                  .arg(m_where);
        break;
    case MOSQ_ERR_TLS:
    case MOSQ_ERR_TLS_HANDSHAKE:
    case MOSQ_ERR_ERRNO:
        if (m_tls && !wasConnected && (code != MOSQ_ERR_ERRNO || error == EPROTO)) {
            what = QStringLiteral("the TLS handshake with %1 failed: not a TLS port, or a "
                                  "certificate this system does not trust")
                       .arg(m_where);
            break;
        }
        what = QStringLiteral("%1: %2").arg(m_where, errorText(code, error));
        break;
    default: what = QStringLiteral("%1: %2").arg(m_where, errorText(code, error)); break;
    }
    return QStringLiteral("MQTT: %1; trying again, readings wait").arg(what);
}

bool MosquittoPublisher::waitBeforeRetry(int seconds)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return !m_wake.wait_for(lock, std::chrono::seconds(seconds), [this] { return m_stopping; });
}

void MosquittoPublisher::sayGoodbye()
{
    bool connected = false;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        connected = m_connected;
    }
    if (!connected)
        return;
    // What was handed over up to the end (the journal's "stopped" among
    // it) goes before the goodbye, as far as the in-flight window allows.
    sendWaiting();
    // A clean goodbye does not raise the will: say it ourselves. Both go
    // out at once; the loop only sees the socket closed.
    const QByteArray status = m_prefix + STATUS;
    mosquitto_publish(m_client, nullptr, status.constData(), OFFLINE.size(), OFFLINE.constData(), 1,
                      true);
    mosquitto_disconnect(m_client);
    for (int turn = 0; turn < 10; ++turn)
        if (mosquitto_loop(m_client, LoopMilliseconds, 1) != MOSQ_ERR_SUCCESS)
            break;
}

void MosquittoPublisher::enqueue(Message message, bool atFront)
{
    if (atFront) {
        m_queue.push_front(std::move(message));
        return;
    }
    if (static_cast<int>(m_queue.size()) >= QueueLimit) {
        const bool reading = m_queue.front().reading;
        m_queue.pop_front();
        ++(reading ? m_dropped.readings : m_dropped.events);
        ++(reading ? m_droppedUnreported.readings : m_droppedUnreported.events);
    }
    m_queue.push_back(std::move(message));
}

void MosquittoPublisher::publish(const QString &subtopic, const QByteArray &payload, bool retained)
{
    quint64 droppedBefore = 0;
    quint64 droppedAfter = 0;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        droppedBefore = m_dropped.total();
        enqueue({m_prefix + subtopic.toUtf8(), payload, subtopic == QLatin1String("readings"),
                 retained},
                false);
        droppedAfter = m_dropped.total();
    }
    if (droppedAfter != droppedBefore)
        linkChanged.notify();
}

void MosquittoPublisher::publishTopic(const QString &topic, const QByteArray &payload,
                                      bool retained)
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        enqueue({topic.toUtf8(), payload, false, retained}, false);
    }
    m_wake.notify_all();
}

void MosquittoPublisher::subscribe(const QString &topic)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_subscriptions.push_back(topic.toUtf8());
    // Made at the next connection, or at once on this one by the
    // connection's thread (the library is not called from two threads).
    m_subscribeNow = m_connected;
    m_wake.notify_all();
}

void MosquittoPublisher::sendWaiting()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    while (m_connected && !m_resending && !m_queue.empty() &&
           static_cast<int>(m_inFlight.size()) < InFlightLimit) {
        Message message = std::move(m_queue.front());
        m_queue.pop_front();
        lock.unlock();
        int mid = 0;
        // The acknowledgement is read by the loop on this thread, after this.
        const int code =
            mosquitto_publish(m_client, &mid, message.topic.constData(), message.payload.size(),
                              message.payload.constData(), 1, message.retained);
        const int error = errno;
        lock.lock();
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
        ++(message.reading ? m_dropped.readings : m_dropped.events);
        ++(message.reading ? m_droppedUnreported.readings : m_droppedUnreported.events);
        lock.unlock();
        setLink(
            Link::Failing,
            QStringLiteral("MQTT: a message was not published: %1").arg(errorText(code, error)));
        lock.lock();
    }
}

void MosquittoPublisher::onConnect(mosquitto *client, void *self, int code)
{
    auto *publisher = static_cast<MosquittoPublisher *>(self);
    publisher->m_connackCode = code;
    if (code != 0)
        return; // the loop ends with MOSQ_ERR_CONN_REFUSED, told then
    publisher->m_wasConnected = true;
    publisher->m_connectedAt = SteadyClock::now();
    const QByteArray status = publisher->m_prefix + STATUS;
    mosquitto_publish(client, nullptr, status.constData(), ONLINE.size(), ONLINE.constData(), 1,
                      true);
    publisher->subscribeAll();
    {
        const std::lock_guard<std::mutex> lock(publisher->m_mutex);
        if (publisher->m_droppedUnreported.total() > 0) {
            publisher->enqueue({publisher->m_prefix + "events",
                                droppedEvent(publisher->m_droppedUnreported), false},
                               true);
            publisher->m_droppedUnreported = {};
        }
        publisher->m_connected = true;
        publisher->m_resending = !publisher->m_inFlight.empty();
    }
    // While the session keeps being taken away, the lamp keeps saying so.
    if (publisher->m_shortLived < ShortLivedToTell)
        publisher->setLink(Link::Connected,
                           QStringLiteral("MQTT: publishing to %1").arg(publisher->m_where));
}

// On the connection's thread, where every call into the library is made.
void MosquittoPublisher::subscribeAll()
{
    std::vector<QByteArray> topics;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        topics = m_subscriptions;
        m_subscribeNow = false;
    }
    for (const QByteArray &topic : topics)
        mosquitto_subscribe(m_client, nullptr, topic.constData(), 1);
}

void MosquittoPublisher::onMessage(mosquitto *, void *self, const mosquitto_message *message)
{
    auto *publisher = static_cast<MosquittoPublisher *>(self);
    const QString topic = QString::fromUtf8(message->topic);
    const QByteArray payload(static_cast<const char *>(message->payload), message->payloadlen);
    // Heard on the window's thread, as the link's changes are.
    QMetaObject::invokeMethod(
        publisher, [publisher, topic, payload] { publisher->received.notify(topic, payload); },
        Qt::QueuedConnection);
}

void MosquittoPublisher::onDisconnect(mosquitto *, void *self, int)
{
    auto *publisher = static_cast<MosquittoPublisher *>(self);
    const std::lock_guard<std::mutex> lock(publisher->m_mutex);
    publisher->m_connected = false;
}

void MosquittoPublisher::onPublish(mosquitto *, void *self, int mid)
{
    auto *publisher = static_cast<MosquittoPublisher *>(self);
    const std::lock_guard<std::mutex> lock(publisher->m_mutex);
    publisher->m_inFlight.erase(mid);
    publisher->m_resending = publisher->m_resending && !publisher->m_inFlight.empty();
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

Publisher::Dropped MosquittoPublisher::dropped() const
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
