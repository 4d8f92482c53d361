#include "config/StationConfig.h"
#include "fakes/FakeSettingsStore.h"
#include "service/MqttSettingsMove.h"

#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(MqttSettingsMove::Outcome)

// The MQTT settings of an earlier station, in the calibration's file, go to
// station.conf once; station.conf keeps everything else it held.
class TestMqttSettingsMove : public QObject
{
    Q_OBJECT

private slots:
    void moved_data();
    void moved();
};

// clang-format off
void TestMqttSettingsMove::moved_data()
{
    QTest::addColumn<QByteArray>("conf");       // "<no folder>": its folder is a file
    QTest::addColumn<QStringList>("old");       // KEY=VALUE in the old section "MQTT"
    QTest::addColumn<bool>("write");
    QTest::addColumn<MqttSettingsMove::Outcome>("outcome");
    QTest::addColumn<QString>("used");          // HOST:PORT ID of the settings to use, "" for none
    QTest::addColumn<QByteArray>("after");      // station.conf afterwards, "" where unchanged
    QTest::addColumn<QString>("message");       // part of it

    using O = MqttSettingsMove::Outcome;
    const QByteArray mine = "; the tank room\n[alarms]\nph1.low = 6.5\n";
    const QStringList old{"broker=hub.lan:8883", "station id=tank-7", "tls=true", "user=station", "password file=/etc/kestrom/pw"};
    QTest::newRow("movedOnce")        << mine << old << true << O::Moved << "hub.lan:8883 tank-7"
                                      << QByteArray("; the tank room\n[alarms]\nph1.low = 6.5\n[mqtt]\nbroker=hub.lan:8883\nstation-id=tank-7\ntls=yes\nuser=station\npassword-file=/etc/kestrom/pw\n")
                                      << "now live in CONF [mqtt]";
    QTest::newRow("checkOnlyWrites")  << mine << old << false << O::WouldMove << "hub.lan:8883 tank-7" << QByteArray() << "would move to CONF [mqtt]";
    QTest::newRow("confHasItsOwn")    << QByteArray("[mqtt]\nbroker =\n") << old << true << O::Nothing << "" << QByteArray() << "";
    QTest::newRow("oldNamesNoBroker") << mine << QStringList{"station id=tank-7"} << true << O::Nothing << "" << QByteArray() << "";
    // Not moved rather than moved otherwise than they read: tls=maybe is not "no".
    QTest::newRow("oldDoesNotRead")   << mine << QStringList{"broker=hub.lan", "tls=maybe"} << true << O::Refused << "" << QByteArray() << "tls=maybe";
    QTest::newRow("confNotWritable")  << QByteArray("<no folder>") << old << true << O::NotMoved << "hub.lan:8883 tank-7" << QByteArray() << "used from there this time";
}
// clang-format on

void TestMqttSettingsMove::moved()
{
    QFETCH(QByteArray, conf);
    QFETCH(QStringList, old);
    QFETCH(bool, write);
    QFETCH(MqttSettingsMove::Outcome, outcome);
    QFETCH(QString, used);
    QFETCH(QByteArray, after);
    QFETCH(QString, message);

    QTemporaryDir dir;
    QString path = dir.filePath("station.conf");
    if (conf == "<no folder>") {
        QFile blocker(dir.filePath("kestrom-dgh"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        path = blocker.fileName() + "/station.conf";
        conf.clear();
    } else {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(conf);
    }
    StationConfig config;
    QString problem;
    QVERIFY2(config.load(path, &problem), qPrintable(problem));
    FakeSettingsStore store;
    for (const QString &entry : old)
        store.values[FakeSettingsStore::path("Kestrom Science DGH Driver", "MQTT",
                                             entry.section('=', 0, 0))] = entry.section('=', 1);

    const MqttSettingsMove move = MqttSettingsMove::run(
        config, store, "/home/op/.config/Kestrom Science DGH Driver.ini", write);
    QCOMPARE(move.outcome, outcome);
    const MqttSettings &settings = move.settings;
    QCOMPARE(settings.host.isEmpty() ? QString()
                                     : MqttSettings::formatBroker(settings.host, settings.port) +
                     ' ' + settings.stationId,
             used);
    if (used.contains("tank-7"))
        QVERIFY(settings.tls && settings.user == "station" &&
                settings.passwordFile == "/etc/kestrom/pw");
    QVERIFY2(move.message.contains(QString(message).replace("CONF", path)),
             qPrintable(move.message));
    QFile file(path);
    QCOMPARE(file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray(),
             after.isEmpty() ? conf : after);
    if (outcome == MqttSettingsMove::Outcome::Moved) {
        // Read back as the next start reads it, and not moved again.
        QStringList problems;
        const MqttSettings again = MqttSettings::fromConfig(config, &problems);
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join('\n')));
        QCOMPARE(again.host + again.stationId + again.passwordFile,
                 settings.host + settings.stationId + settings.passwordFile);
        QCOMPARE(MqttSettingsMove::run(config, store, "old.ini", true).outcome,
                 MqttSettingsMove::Outcome::Nothing);
    }
}

QTEST_GUILESS_MAIN(TestMqttSettingsMove)
#include "test_mqtt_settings_move.moc"
