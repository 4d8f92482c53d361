#include "platform/qt/PortMap.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestPortMap : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void parseDeviceOption_data();
    void parseDeviceOption();
    void devicePath_data();
    void devicePath();
    void linkFolder_data();
    void linkFolder();

private:
    QTemporaryDir m_config;
};

void TestPortMap::initTestCase()
{
    QVERIFY(m_config.isValid());
    qputenv("XDG_CONFIG_HOME", m_config.path().toLocal8Bit());
    const QString ports = m_config.path() + "/kestrom-dgh/ports";
    QVERIFY(QDir().mkpath(ports));
    QVERIFY(QFile::link("/dev/null", ports + "/COM2"));
    QVERIFY(QFile::link(m_config.path() + "/no-such-adapter", ports + "/COM5"));
}

// clang-format off
void TestPortMap::parseDeviceOption_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("path");

    QTest::newRow("usbAdapter")   << "1=/dev/ttyUSB0" << true  << 1     << "/dev/ttyUSB0";
    QTest::newRow("equalsInPath") << "2=/tmp/a=b"     << true  << 2     << "/tmp/a=b";
    QTest::newRow("largest")      << "32767=/dev/x"   << true  << 32767 << "/dev/x";
    QTest::newRow("bareName")     << "3=ttyUSB1"      << true  << 3     << "/dev/ttyUSB1";
    QTest::newRow("relativePath") << "4=./ports/a"    << true  << 4     << "./ports/a";
    QTest::newRow("zero")         << "0=/dev/x"       << false << 0     << "";
    QTest::newRow("negative")     << "-1=/dev/x"      << false << 0     << "";
    QTest::newRow("tooLarge")     << "32768=/dev/x"   << false << 0     << "";
    QTest::newRow("noPath")       << "1="             << false << 0     << "";
    QTest::newRow("noNumber")     << "=/dev/x"        << false << 0     << "";
    QTest::newRow("noEquals")     << "/dev/ttyS0"     << false << 0     << "";
    QTest::newRow("letters")      << "a=/dev/x"       << false << 0     << "";
    QTest::newRow("fraction")     << "1.5=/dev/x"     << false << 0     << "";
    QTest::newRow("empty")        << ""               << false << 0     << "";
}
// clang-format on

void TestPortMap::parseDeviceOption()
{
    QFETCH(QString, text);
    QFETCH(bool, accepted);
    QFETCH(int, number);
    QFETCH(QString, path);

    int parsedNumber = 0;
    QString parsedPath;
    QCOMPARE(PortMap::parseDeviceOption(text, &parsedNumber, &parsedPath), accepted);
    QCOMPARE(parsedNumber, number);
    QCOMPARE(parsedPath, path);
}

// clang-format off
void TestPortMap::devicePath_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("explicitPath"); // empty: no --device for it
    QTest::addColumn<QString>("expected");     // "<links>/" stands for the link folder

    QTest::newRow("firstOnBoard")      << 1      << ""          << "/dev/ttyS0";
    QTest::newRow("fourthOnBoard")     << 4      << ""          << "/dev/ttyS3";
    QTest::newRow("largest")           << 32767  << ""          << "/dev/ttyS32766";
    QTest::newRow("userLink")          << 2      << ""          << "<links>/COM2";
    QTest::newRow("danglingUserLink")  << 5      << ""          << "<links>/COM5";
    QTest::newRow("explicitBeatsLink") << 2      << "/dev/ttyUSB0" << "/dev/ttyUSB0";
    QTest::newRow("explicitOnBoard")   << 1      << "/dev/pts/9" << "/dev/pts/9";
    QTest::newRow("zero")              << 0      << ""          << "";
    QTest::newRow("negative")          << -3     << ""          << "";
}
// clang-format on

void TestPortMap::devicePath()
{
    QFETCH(int, number);
    QFETCH(QString, explicitPath);
    QFETCH(QString, expected);

    PortMap ports;
    ports.setDevice(7, "/dev/other"); // a mapping for another number changes nothing
    if (!explicitPath.isEmpty())
        ports.setDevice(number, explicitPath);
    expected.replace("<links>", m_config.path() + "/kestrom-dgh/ports");
    QCOMPARE(ports.devicePath(number), expected);
}

// clang-format off
void TestPortMap::linkFolder_data()
{
    QTest::addColumn<QByteArray>("xdgConfigHome");
    QTest::addColumn<QString>("expected"); // "~" stands for the home folder

    QTest::newRow("xdgSet")      << QByteArray("/srv/cfg") << "/srv/cfg/kestrom-dgh/ports";
    QTest::newRow("xdgEmpty")    << QByteArray()          << "~/.config/kestrom-dgh/ports";
    QTest::newRow("xdgRelative") << QByteArray("cfg")     << "~/.config/kestrom-dgh/ports";
}
// clang-format on

void TestPortMap::linkFolder()
{
    QFETCH(QByteArray, xdgConfigHome);
    QFETCH(QString, expected);

    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", xdgConfigHome);
    const QString folder = PortMap::linkFolder();
    qputenv("XDG_CONFIG_HOME", saved);
    QCOMPARE(folder, expected.replace("~", QDir::homePath()));
}

QTEST_GUILESS_MAIN(TestPortMap)
#include "test_port_map.moc"
