#include "fakes/FakeSettingsStore.h"
#include "publishing/MqttSettings.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

class TestMqttSettings : public QObject
{
    Q_OBJECT

private slots:
    void passwordFile_data();
    void passwordFile();
    void savedBrokerReadsBack_data();
    void savedBrokerReadsBack();
    void passwordLeavesTheEnvironment();
};

// clang-format off
void TestMqttSettings::passwordFile_data()
{
    QTest::addColumn<QByteArray>("content"); // "<fifo>": a FIFO in its place
    QTest::addColumn<int>("permissions");
    QTest::addColumn<bool>("tls");
    QTest::addColumn<QString>("refusal");    // "" when the password is read
    QTest::addColumn<QString>("warning");    // "" for none

    const int mine = int(QFile::ReadOwner | QFile::WriteOwner);
    const int groupToo = mine | int(QFile::ReadGroup);
    QTest::newRow("empty")          << QByteArray()                << mine     << true  << "holds no password" << "";
    QTest::newRow("blankFirstLine") << QByteArray("\nsecret\n")   << mine     << true  << "holds no password" << "";
    // Opening it would wait for a writer: refused without a look inside.
    QTest::newRow("fifo")           << QByteArray("<fifo>")        << mine     << true  << "not a regular file" << "";
    QTest::newRow("groupReads")     << QByteArray("secret\n")      << groupToo << true  << "" << "can be read by other users";
    QTest::newRow("withoutTls")     << QByteArray("secret\n")      << mine     << false << "" << "unencrypted";
}
// clang-format on

// A password file holds a password, on its first line, for its owner's eyes.
void TestMqttSettings::passwordFile()
{
    QFETCH(QByteArray, content);
    QFETCH(int, permissions);
    QFETCH(bool, tls);
    QFETCH(QString, refusal);
    QFETCH(QString, warning);

    QTemporaryDir dir;
    MqttSettings settings;
    settings.host = QStringLiteral("broker.lan");
    settings.user = QStringLiteral("station");
    settings.tls = tls;
    settings.passwordFile = dir.filePath(QStringLiteral("password"));
    if (content == "<fifo>") {
        QVERIFY(::mkfifo(QFile::encodeName(settings.passwordFile).constData(), 0600) == 0);
    } else {
        QFile file(settings.passwordFile);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();
        QVERIFY(file.setPermissions(QFile::Permissions(permissions)));
    }

    QString password;
    QString why;
    QCOMPARE(settings.password(&password, &why), refusal.isEmpty());
    if (!refusal.isEmpty()) {
        QVERIFY2(why.contains(refusal), qPrintable(why));
    } else {
        QCOMPARE(password, QStringLiteral("secret"));
    }
    const QStringList warnings = settings.warnings();
    if (warning.isEmpty())
        QVERIFY2(warnings.isEmpty(), qPrintable(warnings.join('\n')));
    else
        QVERIFY2(warnings.size() == 1 && warnings[0].contains(warning),
                 qPrintable(warnings.join('\n')));
}

// clang-format off
void TestMqttSettings::savedBrokerReadsBack_data()
{
    QTest::addColumn<QString>("host");
    QTest::addColumn<int>("port");

    QTest::newRow("ipv6WithPort")    << "fd00::7" << 8883;
    QTest::newRow("ipv6DefaultPort") << "::1"     << 1883;
}
// clang-format on

void TestMqttSettings::savedBrokerReadsBack()
{
    QFETCH(QString, host);
    QFETCH(int, port);

    FakeSettingsStore store;
    MqttSettings saved;
    saved.host = host;
    saved.port = port;
    QString why;
    QVERIFY(saved.save(store, &why));
    const MqttSettings loaded = MqttSettings::load(store);
    QCOMPARE(loaded.host, host);
    QCOMPARE(loaded.port, port);
}

// Read once at start and gone from the environment, so no child process
// started later sees it.
void TestMqttSettings::passwordLeavesTheEnvironment()
{
    qputenv("KESTROM_DGH_MQTT_PASSWORD", "s3cret");
    QCOMPARE(MqttSettings::takePasswordFromEnvironment(), QStringLiteral("s3cret"));
    QVERIFY(!qEnvironmentVariableIsSet("KESTROM_DGH_MQTT_PASSWORD"));
}

QTEST_GUILESS_MAIN(TestMqttSettings)
#include "test_mqtt_settings.moc"
