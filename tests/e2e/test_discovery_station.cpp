// The station announcing itself to Home Assistant through a real mosquitto:
// the announcement as the operator guide gives it, key by key; again when
// Home Assistant says it is online; emptied when discovery is turned off;
// and every value template reading a key a real readings message has. The
// guide's Telegraf configuration is checked against the same message.

#include "e2e/FixedAnswers.h"
#include "e2e/MosquittoBroker.h"
#include "e2e/MqttSubscriber.h"
#include "sim/SimulatorProcess.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

class TestDiscoveryStation : public QObject
{
    Q_OBJECT

private slots:
    void announcesAsTheGuideSays();
};

namespace {

const QByteArray ConfigTopic = "homeassistant/device/kestrom_dgh_tank-7/config";

// The device announcement the guide shows, as JSON.
QJsonObject guideAnnouncement()
{
    QFile guide(QStringLiteral(GUIDE_PATH));
    if (!guide.open(QIODevice::ReadOnly))
        return {};
    const QString text = QString::fromUtf8(guide.readAll());
    const int marker = text.indexOf(QStringLiteral("<!-- the announcement of tank-7 -->"));
    const int begin = text.indexOf(QStringLiteral("```json\n"), marker) + 8;
    const int end = text.indexOf(QStringLiteral("```"), begin);
    return marker < 0 ? QJsonObject()
                      : QJsonDocument::fromJson(text.mid(begin, end - begin).toUtf8()).object();
}

// Where two JSON values differ, by path; empty when they do not.
QStringList differences(const QJsonValue &got, const QJsonValue &expected, const QString &path)
{
    if (got.isObject() && expected.isObject()) {
        QStringList found;
        const QJsonObject a = got.toObject();
        const QJsonObject b = expected.toObject();
        for (const QString &key : b.keys())
            found << (a.contains(key) ? differences(a[key], b[key], path + '.' + key)
                                      : QStringList{path + '.' + key + " is missing"});
        for (const QString &key : a.keys())
            if (!b.contains(key))
                found << path + '.' + key + " is not in the guide";
        return found;
    }
    if (got != expected)
        return {path + ": " + QJsonDocument(QJsonArray{got}).toJson(QJsonDocument::Compact) +
                " where the guide has " +
                QJsonDocument(QJsonArray{expected}).toJson(QJsonDocument::Compact)};
    return {};
}

} // namespace

void TestDiscoveryStation::announcesAsTheGuideSays()
{
    const QJsonObject guide = guideAnnouncement();
    QVERIFY2(!guide.isEmpty(), "the guide shows no announcement of tank-7");

    QTemporaryDir dir;
    const int port = freePort();
    MosquittoBroker broker(QStringLiteral(MOSQUITTO_PATH), dir.path(), port);
    QVERIFY(broker.start());
    MqttSubscriber homeAssistant(port, "tank-7", "test-home-assistant", "homeassistant/#");
    QTRY_VERIFY_WITH_TIMEOUT(homeAssistant.subscribed(), 5000);

    SimulatorProcess sim(DGH_SIM_PATH);
    QString error;
    QVERIFY2(sim.start(fixedAnswers(), &error), qPrintable(error));
    QFile conf(dir.filePath(QStringLiteral("station.conf")));
    QVERIFY(conf.open(QIODevice::WriteOnly));
    conf.write("[alarms]\nph1.high = 8.5\n");
    conf.close();
    const QStringList common{"--config",
                             conf.fileName(),
                             "--headless",
                             "--device",
                             "1=" + sim.devicePath(),
                             "--poll",
                             "flow,ph,therm",
                             "--mqtt",
                             QStringLiteral("127.0.0.1:%1").arg(port),
                             "--station-id",
                             "tank-7"};
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_STATE_HOME"), dir.filePath(QStringLiteral("state")));
    QProcess station;
    station.setProcessEnvironment(env);
    station.start(QStringLiteral(KESTROM_DGH_PATH),
                  common + QStringList{"--mqtt-discovery", "homeassistant"});
    QVERIFY(station.waitForStarted());

    // The announcement, key by key as the guide has it.
    QTRY_VERIFY_WITH_TIMEOUT(!homeAssistant.payloadsOn(ConfigTopic).isEmpty(), 15000);
    const QJsonObject announced =
        QJsonDocument::fromJson(homeAssistant.payloadsOn(ConfigTopic).constFirst()).object();
    const QStringList different = differences(announced, guide, QStringLiteral("announcement"));
    QVERIFY2(different.isEmpty(), qPrintable(different.join('\n')));

    // Every template reads a key of a real readings message.
    QTRY_VERIFY_WITH_TIMEOUT(homeAssistant.readings().size() >= 3, 10000);
    const QJsonObject reading = homeAssistant.readings().last();
    static const QRegularExpression templateKey(R"(value_json\.(\w+))");
    const QJsonObject components = announced["components"].toObject();
    for (const QString &name : components.keys()) {
        const QJsonObject component = components[name].toObject();
        if (component.contains("state_topic"))
            continue; // an alarm: its own topic
        const QString key = templateKey.match(component["value_template"].toString()).captured(1);
        QVERIFY2(reading.contains(key), qPrintable(name + ": " + key));
    }
    // The guide's Telegraf configuration reads the same message.
    QFile message(dir.filePath(QStringLiteral("reading.json")));
    QVERIFY(message.open(QIODevice::WriteOnly));
    message.write(QJsonDocument(reading).toJson());
    message.close();
    QProcess telegraf;
    telegraf.start(
        QStringLiteral("python3"),
        {QStringLiteral(TELEGRAF_CHECK), QStringLiteral(TELEGRAF_CONF), message.fileName()});
    QVERIFY(telegraf.waitForFinished(20000));
    QVERIFY2(telegraf.exitCode() == 0, telegraf.readAllStandardError().constData());

    // Home Assistant online again: announced again.
    const int before = homeAssistant.payloadsOn(ConfigTopic).size();
    homeAssistant.publish("homeassistant/status", "online");
    QTRY_VERIFY_WITH_TIMEOUT(homeAssistant.payloadsOn(ConfigTopic).size() > before, 10000);

    // Discovery turned off: the next start empties the announcement.
    station.terminate();
    QVERIFY(station.waitForFinished(10000));
    station.start(QStringLiteral(KESTROM_DGH_PATH), common);
    QVERIFY(station.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(homeAssistant.payloadsOn(ConfigTopic).constLast().isEmpty(), 15000);
    station.terminate();
    QVERIFY(station.waitForFinished(10000));
    // And a subscriber who comes later is given nothing for it.
    MqttSubscriber later(port, "tank-7", "test-later", ConfigTopic);
    QTRY_VERIFY_WITH_TIMEOUT(later.subscribed(), 5000);
    QTest::qWait(500);
    QVERIFY(later.payloadsOn(ConfigTopic).isEmpty());
}

QTEST_GUILESS_MAIN(TestDiscoveryStation)
#include "test_discovery_station.moc"
