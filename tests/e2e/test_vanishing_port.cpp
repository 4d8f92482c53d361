// The serial adapter pulled out while the station polls: dgh-sim on a real
// pty, the real serial port inside a running event loop, then the simulator
// ends and its pty master closes. The station must neither crash, nor burn
// the CPU, nor flood the operator: the next cycle reports each transaction
// as one on a port that is not open, the groups switch off, and all stays
// quiet until Comm Port opens a new simulator's port and polling resumes.

#include "channels/ChannelControls.h"
#include "channels/ChannelSet.h"
#include "fakes/FakeMessageBox.h"
#include "fakes/FakeWidgets.h"
#include "fakes/FaultsOver.h"
#include "platform/qt/PortMap.h"
#include "platform/qt/QtSerialPortAdapter.h"
#include "platform/qt/SystemClock.h"
#include "sim/SimulatorProcess.h"
#include "station/ModuleLink.h"
#include "station/StationState.h"
#include "ui/main/ComPortCommand.h"

#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <algorithm>
#include <ctime>

namespace {

double processCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

// CPU this process spends while its event loop runs for a second.
double cpuMsOverIdleSecond()
{
    const double before = processCpuMs();
    QTest::qWait(1000);
    return processCpuMs() - before;
}

const QString PORT_NOT_OPEN = QStringLiteral("Port Not open");
const QString FLOW_FAILED = QStringLiteral("NO VALID RETURN FROM FLOW MODULE");
const QString PH_FAILED = QStringLiteral("NO VALID RETURN FROM pH MODULE");
QString thermistorFailed(int n)
{
    return QStringLiteral("No valid return from thermistor %1").arg(n);
}

} // namespace

class TestVanishingPort : public QObject
{
    Q_OBJECT

private slots:
    void pulledAdapter_data();
    void pulledAdapter();
};

// clang-format off
void TestVanishingPort::pulledAdapter_data()
{
    QTest::addColumn<bool>("flow");
    QTest::addColumn<bool>("ph");
    QTest::addColumn<bool>("thermistors");
    QTest::addColumn<bool>("whilePolling"); // pulled during a cycle, not between two
    QTest::addColumn<QStringList>("messages");

    const QStringList flow{PORT_NOT_OPEN, FLOW_FAILED};
    const QStringList ph{PORT_NOT_OPEN, PH_FAILED, PORT_NOT_OPEN, PH_FAILED};
    const QStringList thermistors{PORT_NOT_OPEN, thermistorFailed(1), PORT_NOT_OPEN, thermistorFailed(2),
                                  PORT_NOT_OPEN, thermistorFailed(3)};
    QTest::newRow("allGroups")        << true  << true  << true  << false << flow + ph + thermistors;
    QTest::newRow("flowOnly")         << true  << false << false << false << flow;
    QTest::newRow("thermistorsOnly")  << false << false << true  << false << thermistors;
    QTest::newRow("allGroupsPolling") << true  << true  << true  << true  << flow + ph + thermistors;
}
// clang-format on

void TestVanishingPort::pulledAdapter()
{
    QFETCH(bool, flow);
    QFETCH(bool, ph);
    QFETCH(bool, thermistors);
    QFETCH(bool, whilePolling);
    QFETCH(QStringList, messages);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    SimulatorProcess first(DGH_SIM_PATH);
    QString error;
    QVERIFY2(first.start({}, &error), qPrintable(error));
    // Port 2 is where the replacement adapter will appear.
    const QString secondLink = dir.filePath(QStringLiteral("second"));
    PortMap ports;
    ports.setDevice(1, first.devicePath());
    ports.setDevice(2, secondLink);

    QtSerialPortAdapter port(ports);
    QCOMPARE(port.open(), SerialPort::NoError);
    SystemClock clock;
    FakeMessageBox box;
    StationState state;
    FaultsOver faults(box, clock);
    ModuleLink link(port, faults.reporter, clock);
    ChannelControls controls;
    ChannelSet channels(state, link, faults.reporter, controls.flowPanel(), controls.phPanel(),
                        controls.thermistorPanel());
    ChannelAcquisition &acquisition = channels.acquisition;
    const auto switchOn = [&] {
        controls.cwbFlow.setValue(flow);
        controls.cwbPh.setValue(ph);
        controls.cwbTherm.setValue(thermistors);
    };
    const auto anyOn = [&] {
        return state.flowEnabled == FlagOn || state.phEnabled == FlagOn ||
            state.thermEnabled == FlagOn;
    };
    const auto readingsTaken = [&] {
        return (!flow || state.flowHz != 0) && (!ph || state.probe2mV != 0) &&
            (!thermistors || state.therm3Temp != 0);
    };

    QTimer readTimer;
    readTimer.setInterval(250);
    QObject::connect(&readTimer, &QTimer::timeout, [&] { acquisition.ReadCycle(); });
    switchOn();
    readTimer.start();
    QTRY_VERIFY_WITH_TIMEOUT(readingsTaken(), 5000);
    QCOMPARE(box.texts, QStringList());

    double cpuWhileUnpolled = 0;
    if (whilePolling) {
        // The transaction under way when the line goes meets an open port
        // and fails on its own; every later one finds the port closed.
        first.stop();
        QTRY_VERIFY_WITH_TIMEOUT(!anyOn(), 5000);
        QStringList failures = box.texts;
        failures.removeAll(PORT_NOT_OPEN);
        QStringList expectedFailures = messages;
        expectedFailures.removeAll(PORT_NOT_OPEN);
        std::sort(failures.begin(), failures.end());
        std::sort(expectedFailures.begin(), expectedFailures.end());
        QCOMPARE(failures, expectedFailures);
        const int notOpen = box.texts.count(PORT_NOT_OPEN);
        QVERIFY2(notOpen == failures.size() || notOpen == failures.size() - 1,
                 qPrintable(box.texts.join(QLatin1Char('|'))));
    } else {
        // Pulled out between two cycles: nothing polls, the port is still open.
        readTimer.stop();
        first.stop();
        cpuWhileUnpolled = cpuMsOverIdleSecond();
        QVERIFY2(cpuWhileUnpolled < 100,
                 qPrintable(QStringLiteral("%1 ms of CPU").arg(cpuWhileUnpolled)));
        QVERIFY(!port.isOpen()); // the hang-up closed it, without a transaction

        readTimer.start();
        QTRY_VERIFY_WITH_TIMEOUT(!anyOn(), 5000);
        QCOMPARE(box.texts, messages);
    }
    for (const QString &title : box.titles)
        QVERIFY(title == QLatin1String("Port Failure") || title == MessageBox::APP_TITLE);
    QVERIFY(!port.isOpen());
    const int messageCount = box.texts.size();

    // With every group off the timer keeps ticking and nothing else happens.
    const double cpuWhileOff = cpuMsOverIdleSecond();
    QVERIFY2(cpuWhileOff < 100, qPrintable(QStringLiteral("%1 ms of CPU").arg(cpuWhileOff)));
    QCOMPARE(box.texts.size(), messageCount);
    if (!whilePolling)
        qInfo("CPU over an idle second with the port gone: %.1f ms", cpuWhileUnpolled);
    qInfo("CPU over an idle second with the groups off: %.1f ms", cpuWhileOff);

    // A new adapter: Comm Port moves to it and the operator switches back on.
    SimulatorProcess second(DGH_SIM_PATH);
    QVERIFY2(second.start({QStringLiteral("--link"), secondLink}, &error), qPrintable(error));
    FakeInputBox input;
    input.answer = QStringLiteral("2");
    ComPortCommand(port, input, box).run();
    QVERIFY(port.isOpen());
    QCOMPARE(box.texts.size(), messageCount);
    state.flowHz = state.probe2mV = state.therm3Temp = 0;
    switchOn();
    QTRY_VERIFY_WITH_TIMEOUT(readingsTaken(), 5000);
    QCOMPARE(box.texts.size(), messageCount);
}

QTEST_GUILESS_MAIN(TestVanishingPort)
#include "test_vanishing_port.moc"
