#include "fakes/FakeMessageBox.h"
#include "fakes/FakeSettingsStore.h"
#include "fakes/FakeWidgets.h"
#include "platform/qt/PortMap.h"
#include "platform/qt/QtSerialPortAdapter.h"
#include "platform/qt/SystemClock.h"
#include "platform/qt/widgets/ToggleButton.h"
#include "sim/SimulatorProcess.h"
#include "ui/main/MainWindow.h"
#include "ui/main/Station.h"

#include <QAbstractButton>
#include <QElapsedTimer>
#include <QLabel>
#include <QTemporaryDir>
#include <QtTest>

// The whole station over a real serial line: dgh-sim on a pseudo-terminal as
// port 1, fixed answers, and the panel showing what the modules said.
class TestStationLive : public QObject
{
    Q_OBJECT

private slots:
    void readingsReachThePanel_data();
    void readingsReachThePanel();
};

// clang-format off
void TestStationLive::readingsReachThePanel_data()
{
    QTest::addColumn<QString>("poll");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QStringList>("untouched"); // labels of groups not polled keep "000"

    QTest::newRow("thermistor") << "therm" << "lblTherm2"       << "21.37" << QStringList{"lblHz", "lblmV"};
    QTest::newRow("flowHz")     << "flow"  << "lblHz"           << "138"   << QStringList{"lblTherm1", "lblpH"};
    // 138 Hz = 138 * 60 / 6900 L/min
    QTest::newRow("flowLpm")    << "flow"  << "lblLitersPerMin" << "1.2"   << QStringList{"lblmV1"};
    QTest::newRow("probe1mV")   << "ph"    << "lblmV"           << "2400"  << QStringList{"lblTherm3", "liters"};
}
// clang-format on

void TestStationLive::readingsReachThePanel()
{
    QFETCH(QString, poll);
    QFETCH(QString, label);
    QFETCH(QString, shown);
    QFETCH(QStringList, untouched);

    SimulatorProcess simulator(DGH_SIM_PATH);
    QString error;
    // --fast: on a loaded machine a reply paced like the real line can miss the 35 ms window.
    QVERIFY2(simulator.start({"--fast", "--answer", "2=*+0021.37", "--answer", "5=*+00138.00",
                              "--answer", "6=*+2400.00"},
                             &error),
             qPrintable(error));
    PortMap ports;
    ports.setDevice(1, simulator.devicePath());
    QtSerialPortAdapter port(ports);
    SystemClock clock;
    FakeSettingsStore settings;
    FakeMessageBox messages;
    FakeInputBox inputs;
    MainWindow window;

    Station station(window, {port, clock, settings, messages, inputs},
                    QStringLiteral(DGH_PROGRAM_FOLDER));
    QVERIFY2(station.start(), qPrintable(messages.texts.join('\n')));
    StationOptions options;
    options.pollFlow = poll == "flow";
    options.pollPh = poll == "ph";
    options.pollTherm = poll == "therm";
    QVERIFY(station.applyOptions(options, &error));
    window.show();

    auto *target = window.findChild<QLabel *>(label);
    QVERIFY(target);
    const MainWindow::Controls &controls = window.controls();
    QAbstractButton *groupSwitch = poll == "flow" ? static_cast<QAbstractButton *>(controls.cwbFlow)
        : poll == "ph"                            ? controls.cwbPh
                                                  : controls.cwbTherm;
    QElapsedTimer waited;
    waited.start();
    while (target->text() != shown && waited.elapsed() < 20000) {
        // A starved simulator can still answer late: the reader then reports
        // it and switches the group off, and the operator switches it on again.
        if (!groupSwitch->isChecked())
            groupSwitch->setChecked(true);
        QTest::qWait(20);
    }
    QVERIFY2(target->text() == shown,
             qPrintable(QStringLiteral("shows '%1'; messages: %2")
                            .arg(target->text(), messages.texts.join(" | "))));
    for (const QString &other : untouched)
        QCOMPARE(window.findChild<QLabel *>(other)->text(), QStringLiteral("000"));
    station.exit();
}

QTEST_MAIN(TestStationLive)
#include "test_station_live.moc"
