#include "alarms/Alarm.h"
#include "alarms/ui/DesktopNotifier.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QProcess>
#include <QtTest>

// Desktop notifications on a session bus of the test's own (dbus-daemon),
// with a notification service of its own on it: each alarm one bubble,
// its later transitions replacing it. Without a bus, nothing.
class FakeNotifications : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    struct Call
    {
        uint replaces;
        QString summary;
        uchar urgency;
    };
    QList<Call> calls;

public slots:
    uint Notify(const QString &, uint replaces, const QString &, const QString &summary,
                const QString &, const QStringList &, const QVariantMap &hints, int)
    {
        calls.append({replaces, summary, hints.value("urgency").value<uchar>()});
        return replaces ? replaces : 40 + uint(calls.size());
    }
};

class TestDesktopNotifier : public QObject
{
    Q_OBJECT

private slots:
    void bubblePerAlarm_data();
    void bubblePerAlarm();
};

namespace {

AlarmTransition transition(const QString &name, const QString &kind, AlarmState state)
{
    AlarmTransition t;
    t.name = name;
    t.description = name == "ph1.high" ? "pH 1 high" : "Flow low";
    t.kind = kind;
    t.state = state;
    t.text = name + " " + kind;
    return t;
}

} // namespace

// clang-format off
void TestDesktopNotifier::bubblePerAlarm_data()
{
    QTest::addColumn<QString>("bus"); // "none" or "ours"
    QTest::addColumn<QStringList>("calls"); // "replaces summary urgency"

    QTest::newRow("noBus")   << "none" << QStringList{};
    QTest::newRow("ourBus")  << "ours"
                             << QStringList{"0 pH 1 high: active 2", "0 Flow low: active 2",
                                            "41 pH 1 high: acknowledged 1", "42 Flow low: returned 1"};
}
// clang-format on

void TestDesktopNotifier::bubblePerAlarm()
{
    QFETCH(QString, bus);
    QFETCH(QStringList, calls);

    QProcess daemon;
    FakeNotifications service;
    QString address;
    if (bus == "ours") {
        daemon.start("dbus-daemon", {"--session", "--nofork", "--print-address"});
        QVERIFY(daemon.waitForReadyRead(10000));
        address = QString::fromUtf8(daemon.readLine()).trimmed();
        QDBusConnection side = QDBusConnection::connectToBus(address, "service");
        QVERIFY(side.isConnected());
        QVERIFY(side.registerObject("/org/freedesktop/Notifications", &service,
                                    QDBusConnection::ExportAllSlots));
        QVERIFY(side.registerService("org.freedesktop.Notifications"));
    }
    if (address.isEmpty())
        qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    else
        qputenv("DBUS_SESSION_BUS_ADDRESS", address.toUtf8());

    {
        DesktopNotifier notifier;
        // Without a bus it starts nothing at all.
        QCOMPARE(notifier.isActive(), bus == "ours");
        notifier.notify(transition("ph1.high", "active", AlarmState::Active));
        notifier.notify(transition("flow.low", "active", AlarmState::Active));
        QTRY_COMPARE_WITH_TIMEOUT(service.calls.size(), qMin(calls.size(), 2), 10000);
        notifier.notify(transition("ph1.high", "acknowledged", AlarmState::Acknowledged));
        notifier.notify(transition("flow.low", "returned", AlarmState::Returned));
        QTRY_COMPARE_WITH_TIMEOUT(service.calls.size(), calls.size(), 10000);
        QTest::qWait(200); // nothing more comes
    }
    QStringList seen;
    for (const FakeNotifications::Call &call : service.calls)
        seen << QStringLiteral("%1 %2 %3").arg(call.replaces).arg(call.summary).arg(call.urgency);
    QCOMPARE(seen, calls);
    if (bus == "ours") {
        QDBusConnection::disconnectFromBus("service");
        daemon.kill();
        daemon.waitForFinished();
    }
}

QTEST_MAIN(TestDesktopNotifier)
#include "test_desktop_notifier.moc"
