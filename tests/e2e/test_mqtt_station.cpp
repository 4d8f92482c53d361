// The station program publishing to a real broker: mosquitto on a free port
// of 127.0.0.1 with persistence on, a subscriber that keeps its session (as
// a historian would), and kestrom-dgh logging dgh-sim's fixed answers while
// it publishes them. The broker goes away for 20 s and comes back; the
// station is killed at the end. A relay of the test's own between station
// and broker breaks the protocol once, or stands for a broker without TLS.

#include "e2e/FixedAnswers.h"
#include "e2e/MosquittoBroker.h"
#include "e2e/MqttSubscriber.h"
#include "e2e/TcpProxy.h"
#include "sim/SimulatorProcess.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <memory>
#include <sys/socket.h>

class TestMqttStation : public QObject
{
    Q_OBJECT

private slots:
    void publishesWhatItLogsThroughABrokerOutage();
    void brokerProblemToldOnce_data();
    void brokerProblemToldOnce();
    void publishingResumesAfterAFault_data();
    void publishingResumesAfterAFault();
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
    MqttSubscriber subscriber(port);

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

// clang-format off
void TestMqttStation::publishingResumesAfterAFault_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("told");

    // Two bytes no broker sends, three seconds into the first connection.
    QTest::newRow("protocolError") << "protocol" << "a protocol error on the connection to";
    // TLS asked for, a plain listener answering; then a TLS one.
    QTest::newRow("tlsHandshake")  << "tls"      << "the TLS handshake with";
}
// clang-format on

// A failure the library's own loop would not live through: the station
// connects again, and what it read meanwhile reaches the subscriber, once a
// good broker is there. Standard error names the failure once.
void TestMqttStation::publishingResumesAfterAFault()
{
    QFETCH(QString, fault);
    QFETCH(QString, told);

    QTemporaryDir dir;
    const int port = freePort(); // the relay's, where the station goes
    const int plainPort = freePort();
    const int tlsPort = freePort();
    MosquittoBroker broker(MOSQUITTO_PATH, dir.path(), plainPort);
    // Trusted by the station alone, through OpenSSL's own variable.
    const QString certificate = dir.filePath("broker.crt");
    if (fault == "tls") {
        QProcess openssl;
        openssl.start(OPENSSL_PATH,
                      {"req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1",
                       "-nodes", "-keyout", dir.filePath("broker.key"), "-out", certificate,
                       "-days", "2", "-subj", "/CN=127.0.0.1", "-addext",
                       "subjectAltName=IP:127.0.0.1"});
        QVERIFY(openssl.waitForFinished(20000));
        QCOMPARE(openssl.exitCode(), 0);
        broker.addTlsListener(tlsPort, certificate, dir.filePath("broker.key"));
    }
    QVERIFY(broker.start());
    TcpProxy proxy(port, plainPort);
    QVERIFY(proxy.listening());
    if (fault == "protocol")
        proxy.injectOnce(QByteArray("\xF0\x00", 2), std::chrono::seconds(3));
    MqttSubscriber subscriber(plainPort);

    SimulatorProcess sim(DGH_SIM_PATH);
    QString error;
    QVERIFY2(sim.start({"--fast", "--answer", "6=*+02450.00"}, &error), qPrintable(error));
    QProcess station;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("XDG_CONFIG_HOME", dir.filePath("config"));
    env.insert("SSL_CERT_FILE", certificate);
    station.setProcessEnvironment(env);
    QStringList arguments{"--device",     "1=" + sim.devicePath(),
                          "--poll",       "ph",
                          "--mqtt",       QStringLiteral("127.0.0.1:%1").arg(port),
                          "--station-id", "lab-1"};
    if (fault == "tls")
        arguments << "--mqtt-tls";
    station.start(QStringLiteral(KESTROM_DGH_PATH), arguments);
    QVERIFY(station.waitForStarted());

    if (fault == "protocol") {
        QTRY_VERIFY_WITH_TIMEOUT(proxy.injected(), 20000);
    } else {
        // Three handshakes failed, each after a longer wait.
        QTRY_VERIFY_WITH_TIMEOUT(proxy.connections() >= 3, 20000);
        proxy.setTarget(tlsPort);
    }
    const int before = subscriber.highestSeq();
    QTRY_VERIFY_WITH_TIMEOUT(subscriber.highestSeq() >= before + 2, 15000);
    QVERIFY2(subscriber.seqProblem().isEmpty(), qPrintable(subscriber.seqProblem()));

    station.terminate();
    QVERIFY(station.waitForFinished(10000));
    QStringList mqttLines;
    for (const QString &line : QString::fromLocal8Bit(station.readAllStandardError()).split('\n'))
        if (line.startsWith("kestrom-dgh: MQTT:"))
            mqttLines << line;
    QCOMPARE(mqttLines.size(), 1);
    QVERIFY2(mqttLines[0].contains(told), qPrintable(mqttLines[0]));
}

QTEST_GUILESS_MAIN(TestMqttStation)
#include "test_mqtt_station.moc"
