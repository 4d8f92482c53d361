// An unattended station on a real serial line: the whole station over the
// real window, the real message-box adapter and the real serial port, dgh-sim
// on a pty behind a link as port 1. A probe that does not answer must not
// stop anything, a simulator that goes away and comes back under a new pty
// behind the same link must be found again by the station itself, and no
// message box may ever open.

#include "fakes/FakeSettingsStore.h"
#include "fakes/FakeWidgets.h"
#include "platform/qt/PortMap.h"
#include "platform/qt/QtSerialPortAdapter.h"
#include "platform/qt/SystemClock.h"
#include "platform/qt/widgets/QtMessageBox.h"
#include "platform/qt/widgets/ToggleButton.h"
#include "sim/SimulatorProcess.h"
#include "ui/main/MainWindow.h"
#include "ui/main/Station.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

class TestUnattendedStation : public QObject
{
    Q_OBJECT

private slots:
    void keepsPollingThroughFaultsAndALostPort();
};

namespace {

QStringList journalLines(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// The lines of one source and kind, whatever their time.
QStringList eventsOf(const QStringList &lines, const QString &source, const QString &kind)
{
    QStringList found;
    const QString part = QLatin1Char(',') + source + QLatin1Char(',') + kind + QLatin1Char(',');
    for (const QString &line : lines)
        if (line.contains(part))
            found << line;
    return found;
}

} // namespace

void TestUnattendedStation::keepsPollingThroughFaultsAndALostPort()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    qputenv("XDG_STATE_HOME", QFile::encodeName(dir.filePath(QStringLiteral("state"))));
    const QString line = dir.filePath(QStringLiteral("line"));
    const QString journal = dir.filePath(QStringLiteral("state/kestrom-dgh/events.log"));

    // Probe 2 never answers on the first line.
    auto first = std::make_unique<SimulatorProcess>(DGH_SIM_PATH);
    QString error;
    QVERIFY2(first->start({"--link", line, "--answer", "6=*+02450.00", "--silent", "7"}, &error),
             qPrintable(error));

    PortMap ports;
    ports.setDevice(1, line);
    QtSerialPortAdapter port(ports);
    SystemClock clock;
    FakeSettingsStore settings;
    FakeInputBox inputs;
    MainWindow window;
    QtMessageBox messages(&window);
    Station station(window, {port, clock, settings, messages, inputs},
                    QStringLiteral(DGH_PROGRAM_FOLDER));

    // Any message box that opens is a failure; closing it lets the test end.
    QStringList boxes;
    QTimer watchdog;
    QObject::connect(&watchdog, &QTimer::timeout, [&] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            boxes << modal->windowTitle();
            modal->close();
        }
    });
    watchdog.start(20);

    station.setUnattended(true);
    QVERIFY(station.start());
    StationOptions options;
    options.pollPh = true;
    QVERIFY(station.applyOptions(options, &error));
    window.show();

    QTRY_VERIFY_WITH_TIMEOUT(!eventsOf(journalLines(journal), "7", "fault").isEmpty(), 8000);
    QTRY_COMPARE_WITH_TIMEOUT(station.state().probe1mV, 2450.0, 5000);
    QVERIFY(window.controls().cwbPh->isChecked());

    // The adapter pulled: the pty goes; a new one comes behind the same link,
    // now with probe 2 answering and probe 1 below zero.
    first.reset();
    QTRY_VERIFY_WITH_TIMEOUT(!eventsOf(journalLines(journal), "port", "port lost").isEmpty(), 8000);
    QTest::qWait(2500);
    SimulatorProcess second(DGH_SIM_PATH);
    QVERIFY2(second.start({"--link", line, "--answer", "6=*-00012.50", "--answer", "7=*+02600.00"},
                          &error),
             qPrintable(error));
    QTRY_COMPARE_WITH_TIMEOUT(station.state().probe2mV, 2600.0, 10000);
    QTRY_COMPARE_WITH_TIMEOUT(station.state().probe1mV, -12.5, 5000);

    const QStringList lines = journalLines(journal);
    QVERIFY2(boxes.isEmpty(), qPrintable(boxes.join(", ")));
    QVERIFY(window.controls().cwbPh->isChecked());
    QCOMPARE(eventsOf(lines, "7", "fault").size(), 1);
    QVERIFY2(eventsOf(lines, "7", "fault")
                 .constFirst()
                 .endsWith(QStringLiteral(",\"NO VALID RETURN FROM pH MODULE\"")),
             qPrintable(lines.join('\n')));
    QCOMPARE(eventsOf(lines, "port", "port lost").size(), 1);
    QCOMPARE(eventsOf(lines, "port", "port reopened").size(), 1);
    QCOMPARE(eventsOf(lines, "7", "answering again").size(), 1);
    // Probe 1 was not blamed while the line was down.
    QVERIFY2(eventsOf(lines, "6", "fault").isEmpty(), qPrintable(lines.join('\n')));
    for (const QString &event : lines)
        QVERIFY2(QRegularExpression(
                     QStringLiteral(
                         R"(^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d[+-]\d\d:\d\d,[0-9a-z]+,[a-z ]+,".*"$)"))
                     .match(event)
                     .hasMatch(),
                 qPrintable(event));
}

QTEST_MAIN(TestUnattendedStation)
#include "test_unattended_station.moc"
