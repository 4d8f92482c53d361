// The station program publishing to a real broker: mosquitto on a free port
// of 127.0.0.1 with persistence on, a subscriber that keeps its session (as
// a historian would), and kestrom-dgh logging dgh-sim's fixed answers while
// it publishes them. The broker goes away for 20 s and comes back; the
// station is killed at the end.

#include "e2e/FixedAnswers.h"
#include "e2e/MosquittoBroker.h"
#include "sim/SimulatorProcess.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <memory>
#include <mosquitto.h>
#include <mutex>
#include <sys/socket.h>

namespace {

// A persistent QoS 1 subscription to everything the station publishes.
class Subscriber
{
public:
    explicit Subscriber(int port)
    {
        mosquitto_lib_init();
        m_client = mosquitto_new("test-historian", false, this);
        mosquitto_message_callback_set(
            m_client, [](mosquitto *, void *self, const mosquitto_message *message) {
                auto *subscriber = static_cast<Subscriber *>(self);
                const std::lock_guard<std::mutex> lock(subscriber->m_mutex);
                subscriber->m_received.append(
                    {QByteArray(message->topic),
                     QByteArray(static_cast<const char *>(message->payload), message->payloadlen)});
            });
        mosquitto_connect_callback_set(m_client, [](mosquitto *client, void *, int code) {
            if (code == 0)
                mosquitto_subscribe(client, nullptr, "kestrom-dgh/lab-1/#", 1);
        });
        mosquitto_reconnect_delay_set(m_client, 1, 1, false);
        mosquitto_connect_async(m_client, "127.0.0.1", port, 10);
        mosquitto_loop_start(m_client);
    }
    ~Subscriber()
    {
        mosquitto_disconnect(m_client);
        mosquitto_loop_stop(m_client, false);
        mosquitto_destroy(m_client);
    }
    QList<QPair<QByteArray, QByteArray>> received() const
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        return m_received;
    }
    QList<QJsonObject> readings() const
    {
        QList<QJsonObject> found;
        for (const auto &[topic, payload] : received())
            if (topic == "kestrom-dgh/lab-1/readings")
                found << QJsonDocument::fromJson(payload).object();
        return found;
    }
    int highestSeq() const
    {
        int highest = 0;
        for (const QJsonObject &reading : readings())
            highest = std::max(highest, reading.value("seq").toInt());
        return highest;
    }
    QByteArray lastStatus() const
    {
        QByteArray status;
        for (const auto &[topic, payload] : received())
            if (topic == "kestrom-dgh/lab-1/status")
                status = payload;
        return status;
    }

private:
    mosquitto *m_client = nullptr;
    mutable std::mutex m_mutex;
    QList<QPair<QByteArray, QByteArray>> m_received;
};

} // namespace

class TestMqttStation : public QObject
{
    Q_OBJECT

private slots:
    void publishesWhatItLogsThroughABrokerOutage();
    void brokerProblemToldOnce_data();
    void brokerProblemToldOnce();
};

void TestMqttStation::publishesWhatItLogsThroughABrokerOutage()
{
    QTemporaryDir dir;
    const int port = freePort();
    MosquittoBroker broker(MOSQUITTO_PATH, dir.path(), port);

    SimulatorProcess sim(DGH_SIM_PATH);
    QString error;
    QVERIFY2(sim.start(fixedAnswers(), &error), qPrintable(error));
    const QString logPath = dir.filePath("run.csv");
    QProcess station;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("XDG_CONFIG_HOME", dir.filePath("config"));
    station.setProcessEnvironment(env);
    station.start(QStringLiteral(KESTROM_DGH_PATH),
                  {"--device", "1=" + sim.devicePath(), "--poll", "flow,ph,therm", "--log", logPath,
                   "--overwrite", "--interval", "1", "--mqtt",
                   QStringLiteral("127.0.0.1:%1").arg(port), "--station-id", "lab-1"});
    QVERIFY(station.waitForStarted());
    // The broker comes up after the station, as after a power cut of the plant.
    QTest::qWait(2000);
    QVERIFY(broker.start());
    Subscriber subscriber(port);

    QTRY_VERIFY_WITH_TIMEOUT(subscriber.readings().size() >= 4, 20000);
    QCOMPARE(subscriber.lastStatus(), QByteArray("online"));

    // Each message holds what the log records: its values are those of a
    // record, column by column (the first cycle converts the pH before any
    // thermistor was read, and so does the log's first record).
    QFile log(logPath);
    QVERIFY(log.open(QIODevice::ReadOnly));
    QList<QList<double>> records;
    for (const QByteArray &line : log.readAll().split('\n')) {
        const QList<QByteArray> fields = line.trimmed().split(',');
        if (fields.size() != 11 || !fields[0].startsWith('"') || fields[0].startsWith("\"Time"))
            continue;
        QList<double> values;
        for (int column = 1; column <= 9; ++column)
            values << fields[column].toDouble();
        records << values;
    }
    QVERIFY(records.size() >= 3);
    const char *const columns[] = {"therm1", "therm2", "therm3",  "ph1_mv",  "ph2_mv",
                                   "ph1",    "ph2",    "flow_hz", "flow_lpm"};
    for (const QJsonObject &reading : subscriber.readings()) {
        QList<double> values;
        for (const char *column : columns)
            values << reading.value(column).toDouble(-1);
        QVERIFY2(records.contains(values),
                 QJsonDocument(reading).toJson(QJsonDocument::Compact).constData());
        QVERIFY(reading.value("liters").toDouble() > 0);
        QVERIFY(
            QDateTime::fromString(reading.value("time").toString(), Qt::ISODateWithMs).isValid());
    }

    // The broker away for 20 s: the station keeps polling and logging, and
    // what it read meanwhile reaches the subscriber once the broker is back.
    const int beforeOutage = subscriber.highestSeq();
    broker.stop();
    QTest::qWait(20000);
    QVERIFY(broker.start());
    QTRY_VERIFY_WITH_TIMEOUT(subscriber.highestSeq() >= beforeOutage + 24, 40000);
    // In order and none missing, counted from the first the subscriber was
    // there for; QoS 1 may repeat one it had already.
    QSet<int> seen;
    int next = subscriber.readings().first().value("seq").toInt();
    for (const QJsonObject &reading : subscriber.readings()) {
        const int seq = reading.value("seq").toInt();
        QVERIFY2(seq == next || seen.contains(seq),
                 qPrintable(QStringLiteral("seq %1 came where %2 was due").arg(seq).arg(next)));
        seen.insert(seq);
        next = std::max(next, seq + 1);
    }
    QCOMPARE(next, subscriber.highestSeq() + 1);
    QCOMPARE(subscriber.lastStatus(), QByteArray("online"));

    // Killed, it cannot say goodbye: the broker says it for it.
    ::kill(static_cast<pid_t>(station.processId()), SIGKILL);
    QVERIFY(station.waitForFinished(5000));
    QTRY_COMPARE_WITH_TIMEOUT(subscriber.lastStatus(), QByteArray("offline"), 20000);
}

// clang-format off
void TestMqttStation::brokerProblemToldOnce_data()
{
    QTest::addColumn<QString>("broker"); // "refused", "silent", "login", "noPasswordFile" or a host
    QTest::addColumn<int>("seconds");
    QTest::addColumn<QString>("told");

    QTest::newRow("nobodyListens") << "refused" << 6  << "Connection refused";
    QTest::newRow("noSuchHost")    << "no-such-host.invalid" << 6 << "the host name does not resolve";
    QTest::newRow("loginRefused")  << "login"   << 6  << "refused the connection: Connection Refused: not authorised.";
    // Not tried at all without the password asked for.
    QTest::newRow("noPasswordFile") << "noPasswordFile" << 6 << "missing-password cannot be read";
    // It takes the connection and never answers: the keep-alive gives up on it.
    QTest::newRow("silentBroker")  << "silent"  << 25 << "does not answer; trying again, readings wait";
}
// clang-format on

// A broker that cannot be had: one clear line on standard error, not a
// stream of them, and the station goes on polling and logging.
void TestMqttStation::brokerProblemToldOnce()
{
    QFETCH(QString, broker);
    QFETCH(int, seconds);
    QFETCH(QString, told);

    QTemporaryDir dir;
    const int port = freePort();
    QString host = broker;
    std::unique_ptr<MosquittoBroker> running;
    int silent = -1;
    if (broker == "refused") {
        host = QStringLiteral("127.0.0.1:%1").arg(port);
    } else if (broker == "login" || broker == "noPasswordFile") {
        const QString passwords = dir.filePath("passwords");
        QVERIFY(QProcess::execute("mosquitto_passwd",
                                  {"-c", "-b", passwords, "station", "right"}) == 0);
        running = std::make_unique<MosquittoBroker>(MOSQUITTO_PATH, dir.path(), port, passwords);
        QVERIFY(running->start());
        host = QStringLiteral("127.0.0.1:%1").arg(port);
    } else if (broker == "silent") {
        silent = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(static_cast<quint16>(port));
        QVERIFY(::bind(silent, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0);
        QVERIFY(::listen(silent, 4) == 0); // the kernel takes the connection; nobody answers
        host = QStringLiteral("127.0.0.1:%1").arg(port);
    }

    SimulatorProcess sim(DGH_SIM_PATH);
    QString error;
    QVERIFY2(sim.start({"--fast", "--answer", "6=*+02450.00"}, &error), qPrintable(error));
    const QString logPath = dir.filePath("run.csv");
    QProcess station;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("XDG_CONFIG_HOME", dir.filePath("config"));
    env.insert("KESTROM_DGH_MQTT_PASSWORD", "wrong");
    station.setProcessEnvironment(env);
    QStringList arguments{
        "--device", "1=" + sim.devicePath(), "--poll",     "ph",          "--log",
        logPath,    "--overwrite",           "--interval", "1",           "--mqtt",
        host,       "--station-id",          "lab-1",      "--mqtt-user", "station"};
    if (broker == "noPasswordFile")
        arguments << "--mqtt-password-file" << dir.filePath("missing-password");
    station.start(QStringLiteral(KESTROM_DGH_PATH), arguments);
    QVERIFY(station.waitForStarted());
    QTest::qWait(seconds * 1000);
    station.terminate();
    QVERIFY(station.waitForFinished(10000));
    if (silent >= 0)
        ::close(silent);

    QStringList mqttLines;
    for (const QString &line : QString::fromLocal8Bit(station.readAllStandardError()).split('\n'))
        if (line.startsWith("kestrom-dgh: MQTT:"))
            mqttLines << line;
    QCOMPARE(mqttLines.size(), 1);
    QVERIFY2(mqttLines[0].contains(told), qPrintable(mqttLines[0]));
    QCOMPARE(station.exitCode(), 0);
    // Nothing read is lost from the log meanwhile.
    QFile log(logPath);
    QVERIFY(log.open(QIODevice::ReadOnly));
    QVERIFY(log.readAll().count(",2450,") >= seconds - 3);
}

QTEST_GUILESS_MAIN(TestMqttStation)
#include "test_mqtt_station.moc"
