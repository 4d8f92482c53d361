// kestrom-dgh as systemd runs it: no display at all, everything from its
// settings file, a notify socket of the test's own (NOTIFY_SOCKET, with
// WATCHDOG_USEC), standard error on a stream that JOURNAL_STREAM names, and
// a broker; then SIGTERM.

#include "e2e/FixedAnswers.h"
#include "e2e/MosquittoBroker.h"
#include "e2e/MqttSubscriber.h"
#include "sim/SimulatorProcess.h"

#include <QFile>
#include <QProcess>
#include <QSocketNotifier>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// The service manager's end of the notify protocol: a datagram socket that
// keeps every message sent to it, read as they come.
class NotifySocket
{
public:
    explicit NotifySocket(const QString &path) : m_path(path)
    {
        m_fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const QByteArray name = QFile::encodeName(path);
        qstrncpy(address.sun_path, name.constData(), sizeof address.sun_path);
        m_bound = ::bind(m_fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
        m_notifier = std::make_unique<QSocketNotifier>(m_fd, QSocketNotifier::Read);
        QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [this] { readAll(); });
    }
    ~NotifySocket()
    {
        m_notifier.reset();
        ::close(m_fd);
    }
    bool bound() const { return m_bound; }
    const QString &path() const { return m_path; }
    QByteArrayList messages()
    {
        readAll();
        return m_messages;
    }

private:
    void readAll()
    {
        char buffer[4096];
        ssize_t size = 0;
        while ((size = ::recv(m_fd, buffer, sizeof buffer, 0)) > 0)
            m_messages << QByteArray(buffer, static_cast<int>(size));
    }

    QString m_path;
    int m_fd = -1;
    bool m_bound = false;
    std::unique_ptr<QSocketNotifier> m_notifier;
    QByteArrayList m_messages;
};

} // namespace

class TestServiceStation : public QObject
{
    Q_OBJECT

private slots:
    void runsAsASystemdService();
};

void TestServiceStation::runsAsASystemdService()
{
    QTemporaryDir dir;
    const int port = freePort();
    MosquittoBroker broker(MOSQUITTO_PATH, dir.path(), port);
    QVERIFY(broker.start());
    MqttSubscriber subscriber(port, "svc-1");
    QTRY_VERIFY_WITH_TIMEOUT(subscriber.subscribed(), 20000);

    // Thermistor 3 never answers: a fault for the journal's priorities.
    SimulatorProcess sim(DGH_SIM_PATH);
    QString error;
    QVERIFY2(sim.start(fixedAnswers() + QStringList{"--silent", "3"}, &error), qPrintable(error));

    const QString logPath = dir.filePath("tank.csv");
    const QString confPath = dir.filePath("station.conf");
    QFile conf(confPath);
    QVERIFY(conf.open(QIODevice::WriteOnly));
    conf.write(QStringLiteral("; as /etc/kestrom-dgh/station.conf would have it\n"
                              "[station]\nheadless = yes\n[port]\ndevice.1 = %1\n"
                              "[polling]\ngroups = flow, ph, therm\n"
                              "[log]\nfile = %2\nmode = overwrite\ninterval = 1\n"
                              "[mqtt]\nbroker = 127.0.0.1:%3\nstation-id = svc-1\n")
                   .arg(sim.devicePath(), logPath)
                   .arg(port)
                   .toUtf8());
    conf.close();

    NotifySocket notify(dir.filePath("notify"));
    QVERIFY(notify.bound());
    const QString errPath = dir.filePath("journal-stream");
    QFile(errPath).open(QIODevice::WriteOnly);
    struct stat stream = {};
    QCOMPARE(::stat(QFile::encodeName(errPath).constData(), &stream), 0);

    QProcess station;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *display : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(display);
    env.insert("XDG_CONFIG_HOME", dir.filePath("config"));
    env.insert("NOTIFY_SOCKET", notify.path());
    env.insert("WATCHDOG_USEC", "2000000");
    env.insert("JOURNAL_STREAM", QStringLiteral("%1:%2").arg(stream.st_dev).arg(stream.st_ino));
    station.setProcessEnvironment(env);
    station.setStandardErrorFile(errPath, QIODevice::Append);
    station.start(QStringLiteral(KESTROM_DGH_PATH), {"--config", confPath});
    QVERIFY(station.waitForStarted());

    // Ready once a read cycle has run with the groups the file switched on.
    QTRY_VERIFY_WITH_TIMEOUT(!notify.messages().isEmpty(), 20000);
    QCOMPARE(notify.messages().first(),
             "READY=1\nSTATUS=polling 6 modules, logging " + logPath.toUtf8());
    // A ping every second (half of WATCHDOG_USEC) while cycles complete;
    // counted with room to spare for a loaded machine.
    QTest::qWait(6000);
    const QByteArrayList running = notify.messages();
    QVERIFY2(running.count("WATCHDOG=1") >= 3, running.join(" | ").constData());
    QCOMPARE(running.count("WATCHDOG=1"), running.size() - 1); // the status stayed as it was
    QTRY_VERIFY_WITH_TIMEOUT(subscriber.readings().size() >= 3, 20000);

    ::kill(static_cast<pid_t>(station.processId()), SIGTERM);
    QVERIFY(station.waitForFinished(15000));
    QCOMPARE(station.exitStatus(), QProcess::NormalExit);
    QCOMPARE(station.exitCode(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(notify.messages().last(),
                              QByteArray("STOPPING=1\nSTATUS=Stopped by SIGTERM"), 5000);
    QCOMPARE(
        notify.messages().count("READY=1\nSTATUS=polling 6 modules, logging " + logPath.toUtf8()),
        1);

    // The log ends with its last whole record; the journal says it stopped.
    QFile log(logPath);
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QByteArray records = log.readAll();
    QVERIFY(records.endsWith("\r\n"));
    const QList<QByteArray> last = records.chopped(2).split('\n').last().split(',');
    QCOMPARE(last.size(), 11);
    QCOMPARE(last[4], QByteArray("2450"));
    QFile journal(logPath + ".events");
    QVERIFY(journal.open(QIODevice::ReadOnly));
    const QByteArray events = journal.readAll();
    QVERIFY2(events.contains(",3,fault,") &&
                 events.endsWith(",station,stopped,\"Stopped by SIGTERM\"\n"),
             events.constData());

    // Standard error as the journal takes it: every line with its priority,
    // faults as warnings and the stop as information.
    QFile err(errPath);
    QVERIFY(err.open(QIODevice::ReadOnly));
    const QByteArray told = err.readAll();
    for (const QByteArray &line : told.chopped(1).split('\n'))
        QVERIFY2(QRegularExpression("^<[346]>").match(QString::fromUtf8(line)).hasMatch(),
                 told.constData());
    QVERIFY2(QRegularExpression("<4>kestrom-dgh: [^\n]*,3,fault,").match(told).hasMatch() &&
                 told.contains(",station,stopped,\"Stopped by SIGTERM\"\n") &&
                 told.contains("<6>kestrom-dgh: "),
             told.constData());

    // Subscribers hear it stop, then "offline" from the station itself.
    QTRY_COMPARE_WITH_TIMEOUT(subscriber.lastStatus(), QByteArray("offline"), 10000);
    const QList<QJsonObject> published = subscriber.on("events");
    QVERIFY(!published.isEmpty());
    QCOMPARE(published.last().value("kind").toString(), QStringLiteral("stopped"));
}

QTEST_GUILESS_MAIN(TestServiceStation)
#include "test_service_station.moc"
