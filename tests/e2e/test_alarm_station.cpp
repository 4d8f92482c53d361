// The station program with an alarm, unattended, against dgh-sim answering
// from a file the test rewrites: probe 1's answer moved out of its range and
// back. Each transition must reach the journal, the alarm command (a script
// that keeps the environment it was given) and, retained, a real mosquitto
// broker, where a subscriber who comes later still finds it.

#include "e2e/MosquittoBroker.h"
#include "e2e/MqttSubscriber.h"
#include "sim/SimulatorProcess.h"

#include <QDir>
#include <QFile>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// Probe 1 at 2450 mV reads pH 6.5 at 21.37 degC; at 3000 mV, pH 8.6.
QByteArray answers(const char *probe1)
{
    return QByteArray("1=*+0021.37\n2=*+0022.50\n3=*+0023.00\n6=") + probe1 + "\n7=*+02600.00\n";
}

QString readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QString stateOf(const MqttSubscriber &subscriber)
{
    const QList<QJsonObject> states = subscriber.on("alarms/ph1.high");
    return states.isEmpty() ? QString() : states.last().value("state").toString();
}

// The retained state a subscriber finds on connecting: nothing else is
// published on the topic meanwhile.
QJsonObject retainedState(int port, const QByteArray &clientId)
{
    MqttSubscriber late(port, "lab-1", clientId);
    const bool found =
        QTest::qWaitFor([&] { return !late.on("alarms/ph1.high").isEmpty(); }, 10000);
    return found ? late.on("alarms/ph1.high").last() : QJsonObject();
}

} // namespace

class TestAlarmStation : public QObject
{
    Q_OBJECT

private slots:
    void phOutOfRangeAndBack();
};

void TestAlarmStation::phOutOfRangeAndBack()
{
    QTemporaryDir dir;
    const int port = freePort();
    MosquittoBroker broker(MOSQUITTO_PATH, dir.path(), port);
    QVERIFY(broker.start());
    MqttSubscriber subscriber(port);

    const QString answerFile = dir.filePath("answers");
    writeFile(answerFile, answers("*+02450.00"));
    SimulatorProcess sim(DGH_SIM_PATH);
    QString error;
    QVERIFY2(sim.start({"--fast", "--answers-from", answerFile}, &error), qPrintable(error));

    const QString runs = dir.filePath("runs");
    QDir().mkpath(runs);
    const QString script = dir.filePath("page-operator");
    // Whole or not at all: the test looks for the file as it runs.
    writeFile(script,
              "#!/bin/sh\nenv > \"$1/.next\" && mv \"$1/.next\" \"$1/$KESTROM_DGH_EVENT\"\n");
    QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString config = dir.filePath("station.conf");
    writeFile(config,
              "; probe 1 of tank 7\n[alarms]\nph1.low = 5\nph1.high = 7.5\n"
              "ph1.deadband = 0.05\ncommand = " +
                  QFile::encodeName(script) + ' ' + QFile::encodeName(runs) + '\n');

    QProcess station;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("XDG_CONFIG_HOME", dir.filePath("config"));
    env.insert("XDG_STATE_HOME", dir.filePath("state"));
    env.remove("DBUS_SESSION_BUS_ADDRESS");
    station.setProcessEnvironment(env);
    station.start(QStringLiteral(KESTROM_DGH_PATH),
                  {"--unattended", "--device", "1=" + sim.devicePath(), "--poll", "ph,therm",
                   "--config", config, "--mqtt", QStringLiteral("127.0.0.1:%1").arg(port),
                   "--station-id", "lab-1"});
    QVERIFY(station.waitForStarted());
    const QString journal = dir.filePath("state/kestrom-dgh/events.log");

    // Readings within the limits for a while: nothing to tell.
    QTRY_VERIFY_WITH_TIMEOUT(subscriber.readings().size() >= 3, 20000);
    QVERIFY(subscriber.readings().last().value("ph1").toDouble() < 7);
    QVERIFY(!readAll(journal).contains(",alarm,"));

    writeFile(answerFile, answers("*+03000.00"));
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(runs + "/active"), 20000);
    QTRY_VERIFY_WITH_TIMEOUT(readAll(journal).contains(",alarm,active,\"ph1.high (pH 1 high): "),
                             5000);
    const QStringList environment =
        readAll(runs + "/active").split('\n', Qt::SkipEmptyParts).filter("KESTROM_DGH_");
    QCOMPARE(environment.filter("KESTROM_DGH_ALARM=").value(0),
             QStringLiteral("KESTROM_DGH_ALARM=ph1.high"));
    QCOMPARE(environment.filter("KESTROM_DGH_STATE=").value(0),
             QStringLiteral("KESTROM_DGH_STATE=active"));
    QCOMPARE(environment.filter("KESTROM_DGH_STATION=").value(0),
             QStringLiteral("KESTROM_DGH_STATION=lab-1"));
    QCOMPARE(environment.filter("KESTROM_DGH_LIMIT=").value(0),
             QStringLiteral("KESTROM_DGH_LIMIT=7.5"));
    const double value =
        environment.filter("KESTROM_DGH_VALUE=").value(0).section('=', 1).toDouble();
    QVERIFY2(value > 8.5 && value < 8.7, qPrintable(environment.join(' ')));
    QVERIFY(QDateTime::fromString(environment.filter("KESTROM_DGH_TIME=").value(0).section('=', 1),
                                  Qt::ISODate)
                .isValid());
    // Nothing of ours beyond what the command is meant to have.
    QVERIFY(!readAll(runs + "/active").contains("XDG_STATE_HOME"));

    // Once the broker has it, one who subscribes later is given it.
    QTRY_COMPARE_WITH_TIMEOUT(stateOf(subscriber), QStringLiteral("active"), 5000);
    const QJsonObject active = retainedState(port, "late-subscriber-1");
    QCOMPARE(active.value("state").toString(), QStringLiteral("active"));
    QCOMPARE(active.value("limit").toDouble(), 7.5);
    QVERIFY(active.value("value").toDouble() > 8.5);
    QVERIFY(QDateTime::fromString(active.value("since").toString(), Qt::ISODateWithMs).isValid());

    writeFile(answerFile, answers("*+02450.00"));
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(runs + "/returned"), 20000);
    QTRY_VERIFY_WITH_TIMEOUT(readAll(journal).contains(",alarm,returned,"), 5000);
    QVERIFY(readAll(runs + "/returned").contains("KESTROM_DGH_STATE=returned"));
    QTRY_COMPARE_WITH_TIMEOUT(stateOf(subscriber), QStringLiteral("returned"), 5000);
    QCOMPARE(retainedState(port, "late-subscriber-2").value("state").toString(),
             QStringLiteral("returned"));
    // Every transition also went out on "events".
    QStringList kinds;
    for (const QJsonObject &event : subscriber.on("events"))
        if (event.value("source").toString() == "alarm")
            kinds << event.value("kind").toString();
    QCOMPARE(kinds, (QStringList{"active", "returned"}));

    station.terminate();
    QVERIFY(station.waitForFinished(10000));
    QCOMPARE(station.exitCode(), 0);
}

QTEST_GUILESS_MAIN(TestAlarmStation)
#include "test_alarm_station.moc"
