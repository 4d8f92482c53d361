#include "channels/CycleReads.h"
#include "config/StationConfig.h"
#include "events/EventJournal.h"
#include "fakes/FakeClock.h"
#include "fakes/FakePublisher.h"
#include "fakes/FakeSettingsStore.h"
#include "publishing/Publishing.h"
#include "station/StationState.h"

#include <QDialog>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <cstdio>
#include <memory>
#include <unistd.h>

namespace {

const QString Application = QStringLiteral("Kestrom Science DGH Driver");

// Publishing over fakes and a station.conf of its own; the publisher it
// made last, if any.
struct Rig
{
    explicit Rig(const QByteArray &conf = "; the tank room\n[alarms]\nph1.low = 6.5\n")
        : publishing(
              state, clock, &config,
              [this](const MqttSettings &settings) {
                  auto publisher = std::make_unique<FakePublisher>(settings);
                  made = publisher.get();
                  return publisher;
              },
              lamp, &window)
    {
        QFile file(confPath);
        file.open(QIODevice::WriteOnly);
        file.write(conf);
        file.close();
        QString problem;
        config.load(confPath, &problem);
    }
    QByteArray confText() const
    {
        QFile file(confPath);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    void keep(const QString &key, const QString &value)
    {
        store.values[FakeSettingsStore::path(Application, MqttSettings::SECTION, key)] = value;
    }
    // The dialog with these typed in and Save clicked: its problem label.
    QString saveInDialog(const QString &broker, const QString &stationId, const QString &user,
                         const QString &passwordFile)
    {
        QString problem;
        QTimer::singleShot(0, &window, [&] {
            auto *dialog = window.findChild<QDialog *>(QStringLiteral("frmMqtt"));
            dialog->findChild<QLineEdit *>(QStringLiteral("txtBroker"))->setText(broker);
            dialog->findChild<QLineEdit *>(QStringLiteral("txtStationId"))->setText(stationId);
            dialog->findChild<QLineEdit *>(QStringLiteral("txtUser"))->setText(user);
            dialog->findChild<QLineEdit *>(QStringLiteral("txtPasswordFile"))
                ->setText(passwordFile);
            dialog->findChild<QPushButton *>(QStringLiteral("cmdMqttSave"))->click();
            problem = dialog->findChild<QLabel *>(QStringLiteral("lblMqttProblem"))->text();
            dialog->reject();
        });
        publishing.showDialog();
        return problem;
    }

    QTemporaryDir dir;
    const QString confPath = dir.filePath(QStringLiteral("station.conf"));
    StationConfig config;
    StationState state;
    FakeClock clock;
    FakeSettingsStore store;
    QWidget window;
    QLabel *lamp = new QLabel(&window);
    FakePublisher *made = nullptr;
    Publishing publishing;
};

} // namespace

class TestPublishing : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void settingsAtStart_data();
    void settingsAtStart();
    void dialogRefuses_data();
    void dialogRefuses();
    void dialogKeepsSettingsInStationConf();
    void lampTellsDroppedApart_data();
    void lampTellsDroppedApart();
    void environmentPasswordReachesThePublisher();
    void cyclesLampAndFailuresTold_data();
    void cyclesLampAndFailuresTold();

private:
    QTemporaryDir m_dir;
    QString m_emptyFile;
};

void TestPublishing::initTestCase()
{
    m_emptyFile = m_dir.filePath(QStringLiteral("empty-password"));
    QFile empty(m_emptyFile);
    QVERIFY(empty.open(QIODevice::WriteOnly));
}

// clang-format off
void TestPublishing::settingsAtStart_data()
{
    QTest::addColumn<QString>("broker");
    QTest::addColumn<QString>("stationId");
    QTest::addColumn<QString>("tls");
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("passwordFile"); // "EMPTY": a file that holds nothing
    QTest::addColumn<QString>("refusal");      // "" when publishing starts

    // Booleans as QSettings reads them; anything else is not taken for "no".
    QTest::newRow("tlsTrue")        << "broker.lan" << "tank-7" << "true"  << "" << "" << "";
    QTest::newRow("tlsOne")         << "broker.lan" << "tank-7" << "1"     << "" << "" << "";
    QTest::newRow("tlsYesCapital")  << "broker.lan" << "tank-7" << "Yes"   << "" << "" << "";
    QTest::newRow("tlsMaybe")       << "broker.lan" << "tank-7" << "maybe" << "" << "" << "tls=maybe";
    QTest::newRow("passwordNoUser") << "broker.lan" << "tank-7" << "yes"   << "" << "/etc/kestrom/pw" << "without a user";
    QTest::newRow("passwordEmpty")  << "broker.lan" << "tank-7" << "yes"   << "station" << "EMPTY" << "holds no password";
    QTest::newRow("idRightToLeft")  << "broker.lan" << "tank\u202E7" << "yes" << "" << "" << "U+202E";
    QTest::newRow("brokerJunk")     << "[::1]x:1883" << "tank-7" << "yes"  << "" << "" << "not HOST or HOST:PORT";
}
// clang-format on

// Settings from the store: used as they say, or told on the lamp and not
// used at all; never a connection other than the one asked for.
void TestPublishing::settingsAtStart()
{
    QFETCH(QString, broker);
    QFETCH(QString, stationId);
    QFETCH(QString, tls);
    QFETCH(QString, user);
    QFETCH(QString, passwordFile);
    QFETCH(QString, refusal);

    Rig rig;
    rig.keep(QStringLiteral("broker"), broker);
    rig.keep(QStringLiteral("station id"), stationId);
    rig.keep(QStringLiteral("tls"), tls);
    rig.keep(QStringLiteral("user"), user);
    rig.keep(QStringLiteral("password file"), passwordFile == "EMPTY" ? m_emptyFile : passwordFile);
    rig.publishing.start(MqttSettings::load(rig.store));

    if (refusal.isEmpty()) {
        QVERIFY(rig.made);
        QVERIFY(rig.made->settings.tls);
        return;
    }
    QVERIFY(!rig.made);
    QVERIFY(!rig.lamp->isHidden());
    QVERIFY2(rig.lamp->toolTip().contains(refusal), qPrintable(rig.lamp->toolTip()));
    QVERIFY2(rig.lamp->text().contains("#d00000"), qPrintable(rig.lamp->text()));
}

// clang-format off
void TestPublishing::dialogRefuses_data()
{
    QTest::addColumn<QString>("stationId");
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("passwordFile"); // "EMPTY": a file that holds nothing
    QTest::addColumn<QString>("problem");

    QTest::newRow("passwordNoUser") << "tank-7"          << ""        << "/etc/kestrom/pw" << "without a user";
    QTest::newRow("passwordEmpty")  << "tank-7"          << "station" << "EMPTY"           << "holds no password";
    QTest::newRow("idIsolate")      << "tank\u20677"     << ""        << ""                << "U+2067";
    QTest::newRow("idNonCharacter") << "tank\uFDD07"     << ""        << ""                << "U+FDD0";
    QTest::newRow("idTooLong")      << QString(65, 'x')  << ""        << ""                << "at most 64";
}
// clang-format on

void TestPublishing::dialogRefuses()
{
    QFETCH(QString, stationId);
    QFETCH(QString, user);
    QFETCH(QString, passwordFile);
    QFETCH(QString, problem);

    Rig rig;
    const QString shown = rig.saveInDialog(QStringLiteral("broker.lan"), stationId, user,
                                           passwordFile == "EMPTY" ? m_emptyFile : passwordFile);
    QVERIFY2(shown.contains(problem), qPrintable(shown));
    QVERIFY(!rig.made);
    QCOMPARE(rig.confText(), QByteArray("; the tank room\n[alarms]\nph1.low = 6.5\n"));
}

// Saved where the next start reads them, station.conf's [mqtt], beside the
// comments and the keys of others; Stop Publishing keeps the rest of them.
void TestPublishing::dialogKeepsSettingsInStationConf()
{
    Rig rig("; the tank room\n[mqtt]\nbroker = old.lan ; was here\nqos = 2\n");
    const QString shown =
        rig.saveInDialog(QStringLiteral("[fd00::7]:8883"), QStringLiteral("tank-7"),
                         QStringLiteral("station"), QStringLiteral("/etc/kestrom/pw"));
    QVERIFY2(shown.isEmpty(), qPrintable(shown));
    QVERIFY(rig.made);
    QCOMPARE(
        rig.confText(),
        QByteArray("; the tank room\n[mqtt]\nbroker = [fd00::7]:8883 ; was here\nqos = 2\n"
                   "station-id=tank-7\ntls=no\nuser=station\npassword-file=/etc/kestrom/pw\n"));
    QStringList problems;
    const MqttSettings next = MqttSettings::fromConfig(rig.config, &problems);
    QCOMPARE(MqttSettings::formatBroker(next.host, next.port) + ' ' + next.stationId,
             QStringLiteral("[fd00::7]:8883 tank-7"));

    QTimer::singleShot(0, &rig.window, [&] {
        rig.window.findChild<QDialog *>(QStringLiteral("frmMqtt"))
            ->findChild<QPushButton *>(QStringLiteral("cmdMqttStop"))
            ->click();
    });
    rig.publishing.showDialog();
    QVERIFY(!rig.publishing.isPublishing());
    QVERIFY2(rig.confText().contains("broker =  ; was here\n") &&
                 rig.confText().contains("station-id=tank-7\n"),
             rig.confText().constData());
}

// clang-format off
void TestPublishing::lampTellsDroppedApart_data()
{
    QTest::addColumn<int>("readings");
    QTest::addColumn<int>("events");
    QTest::addColumn<QString>("shown");

    QTest::newRow("readingsOnly") << 676 << 0   << "(676 readings dropped)";
    QTest::newRow("eventsOnly")   << 0   << 3   << "(3 events dropped)";
    QTest::newRow("both")         << 676 << 162 << "(676 readings, 162 events dropped)";
}
// clang-format on

void TestPublishing::lampTellsDroppedApart()
{
    QFETCH(int, readings);
    QFETCH(int, events);
    QFETCH(QString, shown);

    Rig rig;
    MqttSettings settings;
    settings.host = QStringLiteral("broker.lan");
    rig.publishing.start(settings);
    QVERIFY(rig.made);
    rig.made->dropped_ = {quint64(readings), quint64(events)};
    rig.made->linkChanged.notify();
    QVERIFY2(rig.lamp->text().endsWith(shown), qPrintable(rig.lamp->text()));
}

// Taken out of the environment at start, the password still logs in to
// every broker to come that has no password file.
void TestPublishing::environmentPasswordReachesThePublisher()
{
    Rig rig;
    rig.publishing.setEnvironmentPassword(QStringLiteral("from-the-environment"));
    MqttSettings settings;
    settings.host = QStringLiteral("broker.lan");
    settings.user = QStringLiteral("station");
    rig.publishing.start(settings);
    QVERIFY(rig.made);
    QString password;
    QString why;
    QVERIFY(rig.made->settings.password(&password, &why));
    QCOMPARE(password, QStringLiteral("from-the-environment"));
}

// What standard error gets while it lives.
class StandardError
{
public:
    StandardError()
    {
        std::fflush(stderr);
        m_saved = ::dup(2);
        m_file.open();
        ::dup2(m_file.handle(), 2);
    }
    ~StandardError() { restore(); }
    QByteArray text()
    {
        restore();
        m_file.seek(0);
        return m_file.readAll();
    }

private:
    void restore()
    {
        if (m_saved < 0)
            return;
        std::fflush(stderr);
        ::dup2(m_saved, 2);
        ::close(m_saved);
        m_saved = -1;
    }
    QTemporaryFile m_file;
    int m_saved = -1;
};

// clang-format off
void TestPublishing::cyclesLampAndFailuresTold_data()
{
    // Steps: "read" a cycle read probe 1, "idle" a cycle read nothing,
    // "event" the journal recorded one, "link STATE [TEXT]" the publisher's
    // link changed (connecting, connected, failing).
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("published"); // subtopic and seq of each message
    QTest::addColumn<QString>("colour");    // the lamp's last
    QTest::addColumn<int>("told");          // lines on standard error

    QTest::newRow("seqCountsMessagesOnly") << QStringList{"read", "idle", "read", "idle", "read"}
                                            << "readings 1, readings 2, readings 3" << "#c08000" << 0;
    QTest::newRow("eventsHaveNoSeq")       << QStringList{"read", "event", "read"}
                                            << "readings 1, events, readings 2" << "#c08000" << 0;
    QTest::newRow("failureToldOnce")       << QStringList{"link failing refused", "read", "link failing refused", "link failing refused"}
                                            << "readings 1" << "#d00000" << 1;
    QTest::newRow("eachNewFailureTold")    << QStringList{"link failing refused", "link failing timed out", "link failing refused"}
                                            << "" << "#d00000" << 3;
    QTest::newRow("toldAgainAfterBack")    << QStringList{"link failing refused", "link connected", "link failing refused"}
                                            << "" << "#d00000" << 2;
    QTest::newRow("connectedGreen")        << QStringList{"link connecting", "link connected", "read"}
                                            << "readings 1" << "#00a000" << 0;
}
// clang-format on

void TestPublishing::cyclesLampAndFailuresTold()
{
    QFETCH(QStringList, steps);
    QFETCH(QString, published);
    QFETCH(QString, colour);
    QFETCH(int, told);

    Rig rig;
    MqttSettings settings;
    settings.host = QStringLiteral("broker.lan");
    rig.publishing.start(settings);
    QVERIFY(rig.made);
    StandardError standardError;
    for (const QString &step : steps) {
        const QStringList word = step.split(' ');
        const ReadCounts before = ReadCounts::of(rig.state);
        if (word[0] == "read") {
            ++rig.state.probe1Reads;
            rig.publishing.cycleRead({before, ReadCounts::of(rig.state)});
        } else if (word[0] == "idle") {
            rig.publishing.cycleRead({before, before});
        } else if (word[0] == "event") {
            rig.publishing.eventRecorded({rig.clock.wallClock, "6", "fault", "NO VALID RETURN"});
        } else {
            rig.made->link_ = word[1] == "connected" ? Publisher::Link::Connected
                : word[1] == "connecting"            ? Publisher::Link::Connecting
                                                     : Publisher::Link::Failing;
            rig.made->linkText_ = word.mid(2).join(' ');
            rig.made->linkChanged.notify();
        }
    }
    const QByteArray errors = standardError.text();

    QStringList messages;
    for (const auto &[subtopic, payload] : qAsConst(rig.made->published)) {
        const QJsonObject json = QJsonDocument::fromJson(payload).object();
        messages << (json.contains("seq") ? subtopic + ' ' + QString::number(json["seq"].toInt())
                                          : subtopic);
    }
    QCOMPARE(messages.join(", "), published);
    QVERIFY2(rig.lamp->text().contains(colour), qPrintable(rig.lamp->text()));
    QCOMPARE(errors.count("kestrom-dgh: "), told);
}

QTEST_MAIN(TestPublishing)
#include "test_publishing.moc"
