#include "channels/ChannelControls.h"
#include "channels/ChannelRig.h"
#include "channels/ChannelSet.h"
#include "fakes/FakeMessageBox.h"
#include "fakes/FaultsOver.h"
#include "platform/qt/PortMap.h"
#include "platform/qt/QtSerialPortAdapter.h"
#include "platform/qt/SystemClock.h"
#include "sim/SimulatorProcess.h"
#include "station/ModuleLink.h"
#include "station/StationState.h"

#include <QtTest>

#include <cmath>

namespace {

double pH(double mV, double celsius)
{
    return halfEven(7 + (mV / 1000 - 2.5777) / (0.000198416 * 4.5427 * (celsius + 273.15)), 4);
}

} // namespace

// The read cycle through a real serial port on the pseudo-terminal of the
// module simulator, with fixed answers.
class TestReadCycleOnLine : public QObject
{
    Q_OBJECT

private slots:
    void twoCycles_data();
    void twoCycles();
};

// clang-format off
void TestReadCycleOnLine::twoCycles_data()
{
    QTest::addColumn<QStringList>("simulatorArguments");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<bool>("thermistorsOn");
    QTest::addColumn<double>("therm3");

    const QStringList answers{"--answer", "5=*+0115.00", "--answer", "6=*+2577.70",
                              "--answer", "7=*+2400.00", "--answer", "1=*+0021.37",
                              "--answer", "2=*+0022.50"};
    QTest::newRow("every module answers")
        << answers + QStringList{"--answer", "3=*+-03.25"} << QStringList{} << true << -3.25;
    QTest::newRow("thermistor 3 silent")
        << answers + QStringList{"--silent", "3"}
        << QStringList{"No valid return from thermistor 3"} << false << 0.0;
}
// clang-format on

void TestReadCycleOnLine::twoCycles()
{
    QFETCH(QStringList, simulatorArguments);
    QFETCH(QStringList, messages);
    QFETCH(bool, thermistorsOn);
    QFETCH(double, therm3);

    QLocale::setDefault(QLocale(QStringLiteral("en_US")));
    SimulatorProcess simulator(DGH_SIM_PATH);
    QString error;
    QVERIFY2(simulator.start(simulatorArguments, &error), qPrintable(error));

    PortMap ports;
    ports.setDevice(1, simulator.devicePath());
    QtSerialPortAdapter port(ports);
    QCOMPARE(port.open(), int(SerialPort::NoError));

    StationState state;
    state.probe1Offset = state.probe2Offset = 2.5777;
    state.probe1Slope = state.probe2Slope = 4.5427;
    state.probe1Serial = "A-1";
    state.probe2Serial = "B-2";
    state.probe1CalDate = 46000;
    state.probe2CalDate = 46001.5;
    FakeMessageBox messageBox;
    SystemClock clock;
    FaultsOver faults(messageBox, clock);
    ModuleLink link(port, faults.reporter, clock);
    ChannelControls controls;
    ChannelSet channels(state, link, faults.reporter, controls.flowPanel(), controls.phPanel(),
                        controls.thermistorPanel());
    ChannelAcquisition &acquisition = channels.acquisition;

    controls.optTherm1.select(1); // probe 2 compensated by thermistor 2
    controls.cwbFlow.press();
    controls.cwbPh.press();
    controls.cwbTherm.press();
    acquisition.ReadCycle();
    acquisition.ReadCycle();

    QCOMPARE(messageBox.texts, messages);
    QCOMPARE(state.flowEnabled, FlagOn);
    QCOMPARE(state.phEnabled, FlagOn);
    QCOMPARE(state.thermEnabled, thermistorsOn ? FlagOn : FlagOff);

    // Thermistors: the second cycle read them again with the same answers.
    QCOMPARE(state.therm1Temp, 21.37);
    QCOMPARE(state.therm2Temp, 22.5);
    QCOMPARE(state.therm3Temp, therm3);
    QCOMPARE(int(state.probe1TempSource), 0);
    QCOMPARE(int(state.probe2TempSource), 2);
    // Probe 2 is converted last, with thermistor 2 of the first cycle.
    QCOMPARE(state.compTemp, 22.5);

    QCOMPARE(state.flowHz, 115.0);
    QCOMPARE(state.flowLpm, halfEven(115.0 * 60 / 6900, 2));
    QCOMPARE(state.pulseTotal, 230.0);
    QCOMPARE(state.totalLiters, halfEven(230.0 / 6900, 2));

    QCOMPARE(state.probe1mV, 2577.7);
    QCOMPARE(state.probe1Volts, 2577.7 / 1000);
    QCOMPARE(state.probe1pH, 7.0);
    QCOMPARE(state.probe2mV, 2400.0);
    QCOMPARE(state.probe2Volts, 2.4);
    QCOMPARE(state.probe2pH, pH(2400, 22.5));

    // The calibration is only read.
    QCOMPARE(state.probe1Offset, 2.5777);
    QCOMPARE(state.probe2Offset, 2.5777);
    QCOMPARE(state.probe1Slope, 4.5427);
    QCOMPARE(state.probe2Slope, 4.5427);
    QCOMPARE(state.probe1Serial, QString("A-1"));
    QCOMPARE(state.probe2Serial, QString("B-2"));
    QCOMPARE(state.probe1CalDate, 46000.0);
    QCOMPARE(state.probe2CalDate, 46001.5);

    QCOMPARE(controls.liters.text(), QString("0.03"));
    QCOMPARE(controls.lblpH.text(), QString("7"));
    QCOMPARE(controls.lblTherm1.text(), QString(thermistorsOn ? "21.37" : ""));
}

QTEST_GUILESS_MAIN(TestReadCycleOnLine)
#include "test_read_cycle_on_line.moc"
