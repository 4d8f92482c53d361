#include "alarms/ui/DesktopNotifier.h"

#include "alarms/Alarm.h"
#include "alarms/AlarmMessage.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QHash>
#include <QThread>

// Lives on the notifier's thread: connects to the session bus the first
// time it is needed, and sends without waiting for the answer.
class NotificationSender : public QObject
{
public:
    ~NotificationSender() override
    {
        if (!m_name.isEmpty())
            QDBusConnection::disconnectFromBus(m_name);
    }

    void send(const QString &alarm, const QString &summary, const QString &body, bool urgent)
    {
        if (!connected())
            return;
        QDBusMessage call = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.Notifications"),
            QStringLiteral("/org/freedesktop/Notifications"),
            QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
        QVariantMap hints;
        hints.insert(QStringLiteral("urgency"), QVariant::fromValue(uchar(urgent ? 2 : 1)));
        call << QStringLiteral("kestrom-dgh") << m_ids.value(alarm, 0u)
             << QStringLiteral("dialog-warning") << summary << body << QStringList() << hints << -1;
        auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
        connect(watcher, &QDBusPendingCallWatcher::finished, this,
                [this, alarm](QDBusPendingCallWatcher *done) {
                    const QDBusPendingReply<uint> reply = *done;
                    if (reply.isValid())
                        m_ids.insert(alarm, reply.value());
                    done->deleteLater();
                });
    }

private:
    bool connected()
    {
        if (m_name.isEmpty()) {
            // A connection of its own: the bus named now, not one cached
            // by whoever asked first.
            m_name = QStringLiteral("kestrom-dgh-notifications-%1")
                         .arg(reinterpret_cast<quintptr>(this), 0, 16);
            m_bus = QDBusConnection::connectToBus(qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS"),
                                                  m_name);
        }
        return m_bus.isConnected();
    }

    QString m_name;
    QDBusConnection m_bus{QString()};
    QHash<QString, uint> m_ids; // the bubble of each alarm, to replace
};

DesktopNotifier::DesktopNotifier()
{
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        return;
    m_thread = new QThread;
    m_thread->setObjectName(QStringLiteral("desktop notifications"));
    m_sender = new NotificationSender;
    m_sender->moveToThread(m_thread);
    m_thread->start();
}

DesktopNotifier::~DesktopNotifier()
{
    if (!m_thread)
        return;
    m_thread->quit();
    if (!m_thread->wait(2000))
        return; // held inside the bus library: the process's end takes it
    delete m_sender;
    delete m_thread;
}

void DesktopNotifier::notify(const AlarmTransition &t)
{
    if (!m_sender)
        return;
    const QString summary = QStringLiteral("%1: %2").arg(t.description, t.kind);
    const QString body = t.text;
    const bool urgent = t.state == AlarmState::Active;
    QMetaObject::invokeMethod(
        m_sender,
        [sender = m_sender, alarm = t.name, summary, body, urgent] {
            sender->send(alarm, summary, body, urgent);
        },
        Qt::QueuedConnection);
}
