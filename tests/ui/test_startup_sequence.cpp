#include "fakes/FakeClock.h"
#include "fakes/FakeMessageBox.h"
#include "fakes/FakeSerialPort.h"
#include "fakes/FakeWidgets.h"
#include "fakes/FaultsOver.h"
#include "logging/LoggingPanel.h"
#include "ui/main/StartupSequence.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

// Every step of start-up leaves one line in the shared journal, so the test
// sees the order in which they ran.
struct Journal
{
    QStringList lines;
};

class JournalPort : public FakeSerialPort
{
public:
    explicit JournalPort(Journal &journal) : m_journal(journal) { }
    int open() override
    {
        m_journal.lines << QStringLiteral("open port %1").arg(number);
        return FakeSerialPort::open();
    }

private:
    Journal &m_journal;
};

class JournalStatusBar : public FakeStatusBar
{
public:
    explicit JournalStatusBar(Journal &journal) : m_journal(journal) { }
    void setPanelText(int panel, const QString &text) override
    {
        m_journal.lines << QStringLiteral("panel %1 text %2").arg(panel).arg(text);
        FakeStatusBar::setPanelText(panel, text);
    }
    bool setPanelPicture(int panel, const QString &path, QString *error) override
    {
        m_journal.lines
            << QStringLiteral("panel %1 picture %2").arg(panel).arg(QFileInfo(path).fileName());
        return FakeStatusBar::setPanelPicture(panel, path, error);
    }

private:
    Journal &m_journal;
};

} // namespace

class TestStartupSequence : public QObject
{
    Q_OBJECT

private slots:
    void runsEveryStepInOrder();
    void failureStopsTheSequence_data();
    void failureStopsTheSequence();
    void lampPath_data();
    void lampPath();
};

void TestStartupSequence::runsEveryStepInOrder()
{
    Journal journal;
    JournalPort port(journal);
    port.open_ = false;
    JournalStatusBar status(journal);
    FakeKnob therMax, therMin, phMax;
    FakeMessageBox messages;
    FakeClock clock;
    FaultsOver faults(messages, clock);
    therMax.changed.setHandler(
        [&] { journal.lines << QStringLiteral("CWtherMax %1").arg(therMax.value()); });
    therMin.changed.setHandler(
        [&] { journal.lines << QStringLiteral("CWtherMin %1").arg(therMin.value()); });
    phMax.changed.setHandler(
        [&] { journal.lines << QStringLiteral("CWpHmax %1").arg(phMax.value()); });

    StartupSequence startup({port, status, therMax, therMin, phMax, faults.reporter},
                            QStringLiteral("/opt/station"),
                            [&] { journal.lines << QStringLiteral("LoadCalibration"); });
    QVERIFY(startup.run());

    const QStringList expected{
        "open port 1",
        "panel 4 text Not Logging",
        "panel 4 picture redlight.bmp",
        "CWtherMax 25",
        "CWtherMin 5",
        "CWpHmax 15",
        "LoadCalibration",
    };
    QCOMPARE(journal.lines, expected);
    QVERIFY(port.isOpen());
    QCOMPARE(status.pictures.value(4), QStringLiteral("/opt/station/icons/redlight.bmp"));
    QVERIFY(messages.texts.isEmpty());
}

// clang-format off
void TestStartupSequence::failureStopsTheSequence_data()
{
    QTest::addColumn<int>("openResult");
    QTest::addColumn<bool>("lampMissing");
    QTest::addColumn<QStringList>("steps");        // what ran before the sequence stopped
    QTest::addColumn<QStringList>("messageParts"); // the message names these
    QTest::addColumn<QString>("device");           // what port 1 stands for

    QTest::newRow("noSuchPort")
        << int(SerialPort::InvalidPortError) << false << QStringList{"open port 1"}
        << QStringList{"port 1", "no such port", "8002"} << "";
    QTest::newRow("portInUse")
        << int(SerialPort::PortInUseError) << false << QStringList{"open port 1"}
        << QStringList{"port 1", "in use", "8005"} << "";
    QTest::newRow("portNamedWithItsDevice")
        << int(SerialPort::PortInUseError) << false << QStringList{"open port 1"}
        << QStringList{"port 1 (/dev/ttyUSB0)", "in use"} << "/dev/ttyUSB0";
    QTest::newRow("otherOpenFailure")
        << int(SerialPort::OtherOpenError) << false << QStringList{"open port 1"}
        << QStringList{"port 1", "8010"} << "";
    QTest::newRow("lampMissing")
        << int(SerialPort::NoError) << true
        << QStringList{"open port 1", "panel 4 text Not Logging", "panel 4 picture redlight.bmp"}
        << QStringList{"File not found", "redlight.bmp"} << "";
}
// clang-format on

void TestStartupSequence::failureStopsTheSequence()
{
    QFETCH(int, openResult);
    QFETCH(bool, lampMissing);
    QFETCH(QStringList, steps);
    QFETCH(QStringList, messageParts);
    QFETCH(QString, device);

    Journal journal;
    JournalPort port(journal);
    port.open_ = false;
    port.device = device;
    port.openResult = openResult;
    JournalStatusBar status(journal);
    const QString folder = QStringLiteral("/opt/station");
    if (lampMissing)
        status.missingPictures << LoggingPanel::lampPath(folder, QStringLiteral("redlight"));
    FakeKnob therMax, therMin, phMax;
    therMax.changed.setHandler([&] { journal.lines << QStringLiteral("CWtherMax"); });
    therMin.changed.setHandler([&] { journal.lines << QStringLiteral("CWtherMin"); });
    phMax.changed.setHandler([&] { journal.lines << QStringLiteral("CWpHmax"); });
    FakeMessageBox messages;
    FakeClock clock;
    FaultsOver faults(messages, clock);
    bool calibrationLoaded = false;

    StartupSequence startup({port, status, therMax, therMin, phMax, faults.reporter}, folder,
                            [&] { calibrationLoaded = true; });
    QVERIFY(!startup.run());

    QCOMPARE(journal.lines, steps);
    QVERIFY(!calibrationLoaded);
    QCOMPARE(therMax.value(), 0.0);
    QCOMPARE(messages.texts.size(), 1);
    QCOMPARE(messages.titles, QStringList{"Kestrom dgh "});
    for (const QString &part : messageParts)
        QVERIFY2(messages.texts.first().contains(part), qPrintable(messages.texts.first()));
    // An opened port stays open until the program ends and lets it go.
    QCOMPARE(port.isOpen(), openResult == SerialPort::NoError);
}

// clang-format off
void TestStartupSequence::lampPath_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("path");

    QTest::newRow("plainFolder")    << "/usr/lib/kestrom-dgh"  << "redlight"   << "/usr/lib/kestrom-dgh/icons/redlight.bmp";
    QTest::newRow("trailingSlash")  << "/usr/lib/kestrom-dgh/" << "greenlight" << "/usr/lib/kestrom-dgh/icons/greenlight.bmp";
    QTest::newRow("folderWithBlank") << "/home/op/my station" << "redlight"    << "/home/op/my station/icons/redlight.bmp";
}
// clang-format on

void TestStartupSequence::lampPath()
{
    QFETCH(QString, folder);
    QFETCH(QString, name);
    QFETCH(QString, path);
    QCOMPARE(LoggingPanel::lampPath(folder, name), path);
}

QTEST_MAIN(TestStartupSequence)
#include "test_startup_sequence.moc"
