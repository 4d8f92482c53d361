// The publisher over libmosquitto against a real mosquitto on a free port,
// reached through a relay of the test's own where the broker must be out of
// reach first.

#include "e2e/MosquittoBroker.h"
#include "e2e/MqttSubscriber.h"
#include "e2e/TcpProxy.h"
#include "publishing/MosquittoPublisher.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

MqttSettings settingsFor(int port, const QString &stationId)
{
    MqttSettings settings;
    settings.host = QStringLiteral("127.0.0.1");
    settings.port = port;
    settings.stationId = stationId;
    return settings;
}

} // namespace

class TestMosquittoPublisher : public QObject
{
    Q_OBJECT

private slots:
    void droppedCountedApart();
    void sessionTakenOverIsSaid();
};

// An outage longer than the queue holds lets the oldest go: readings and
// journal events are counted apart, and both counts reach the subscriber.
void TestMosquittoPublisher::droppedCountedApart()
{
    QTemporaryDir dir;
    const int brokerPort = freePort();
    const int port = freePort();
    const int nowhere = freePort();
    MosquittoBroker broker(MOSQUITTO_PATH, dir.path(), brokerPort);
    QVERIFY(broker.start());
    MqttSubscriber subscriber(brokerPort, "lab-2");
    QTRY_VERIFY_WITH_TIMEOUT(subscriber.subscribed(), 10000);
    TcpProxy proxy(port, nowhere);
    QVERIFY(proxy.listening());

    MosquittoPublisher publisher(settingsFor(port, QStringLiteral("lab-2")));
    for (int i = 0; i < 50; ++i)
        publisher.publish(QStringLiteral("events"), "{\"kind\":\"fault\"}");
    for (int i = 0; i < MosquittoPublisher::QueueLimit + 100; ++i)
        publisher.publish(QStringLiteral("readings"), "{\"seq\":1}");
    QCOMPARE(publisher.dropped().readings, quint64(100));
    QCOMPARE(publisher.dropped().events, quint64(50));

    proxy.setTarget(brokerPort);
    QTRY_VERIFY_WITH_TIMEOUT(!subscriber.on("events").isEmpty(), 20000);
    const QJsonObject told = subscriber.on("events").first();
    QCOMPARE(told.value("kind").toString(), QStringLiteral("dropped"));
    QCOMPARE(told.value("readings").toInt(), 100);
    QCOMPARE(told.value("events").toInt(), 50);
    QVERIFY2(told.value("text").toString().startsWith("100 readings and 50 events not published"),
             qPrintable(told.value("text").toString()));
}

// Two stations given the same id: the broker hands the session back and
// forth. Each loss alone looks like any other; their run is said for what
// it is.
void TestMosquittoPublisher::sessionTakenOverIsSaid()
{
    QTemporaryDir dir;
    const int port = freePort();
    MosquittoBroker broker(MOSQUITTO_PATH, dir.path(), port);
    QVERIFY(broker.start());
    MosquittoPublisher first(settingsFor(port, QStringLiteral("twin")));
    MosquittoPublisher second(settingsFor(port, QStringLiteral("twin")));
    const QString said =
        QStringLiteral("another client with the id 'kestrom-dgh-twin' is connected");
    const auto saysSo = [&](const MosquittoPublisher &publisher) {
        return publisher.link() == Publisher::Link::Failing && publisher.linkText().contains(said);
    };
    QTRY_VERIFY_WITH_TIMEOUT(saysSo(first) || saysSo(second), 30000);
}

QTEST_GUILESS_MAIN(TestMosquittoPublisher)
#include "test_mosquitto_publisher.moc"
