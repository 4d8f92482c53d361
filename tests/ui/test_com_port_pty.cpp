#include "fakes/FakeMessageBox.h"
#include "fakes/FakeWidgets.h"
#include "fakes/FaultsOver.h"
#include "platform/qt/PortMap.h"
#include "platform/qt/QtSerialPortAdapter.h"
#include "platform/qt/SystemClock.h"
#include "sim/SimulatorProcess.h"
#include "station/ModuleLink.h"
#include "ui/main/ComPortCommand.h"

#include <QSerialPort>
#include <QtTest>

#include <iostream>
#include <string>

namespace {
// The test program run again as another process that holds a port, as
// another program on the machine would, until its standard input closes.
const char *const HoldOption = "--hold-port";

int holdPort(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QSerialPort port(QString::fromLocal8Bit(argv[2]));
    if (!port.open(QIODevice::ReadWrite)) {
        std::cout << "failed " << port.errorString().toStdString() << std::endl;
        return 1;
    }
    std::cout << "held" << std::endl;
    std::string line;
    while (std::getline(std::cin, line)) { }
    return 0;
}
} // namespace

// The Comm Port command on real pseudo-terminals served by dgh-sim.
class TestComPortPty : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void movesToTheSimulatorTyped_data();
    void movesToTheSimulatorTyped();
    void portHeldByAnotherProcess();

private:
    QString transaction(SerialPort &port, MessageBox &messages);

    SimulatorProcess m_first{QStringLiteral(DGH_SIM_PATH)};
    SimulatorProcess m_second{QStringLiteral(DGH_SIM_PATH)};
    PortMap m_ports;
};

void TestComPortPty::initTestCase()
{
    QString error;
    QVERIFY2(m_first.start({"--answer", "6=*+2400.00"}, &error), qPrintable(error));
    QVERIFY2(m_second.start({"--answer", "6=*+2500.00"}, &error), qPrintable(error));
    m_ports.setDevice(1, m_first.devicePath());
    m_ports.setDevice(2, m_second.devicePath());
    m_ports.setDevice(9, QStringLiteral("/nonexistent/tty"));
}

QString TestComPortPty::transaction(SerialPort &port, MessageBox &messages)
{
    SystemClock clock;
    FaultsOver faults(messages, clock);
    ModuleLink link(port, faults.reporter, clock);
    link.SendCommand(ModuleLink::commandFrame(QStringLiteral("6")));
    return link.ReadAnswer();
}

// clang-format off
void TestComPortPty::movesToTheSimulatorTyped_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("openAfter");
    QTest::addColumn<QString>("reading");
    QTest::addColumn<QStringList>("messages");

    QTest::newRow("toSecond")       << "2"    << true  << "*+2500.00" << QStringList();
    QTest::newRow("halfToEvenTwo")  << " 2.5" << true  << "*+2500.00" << QStringList();
    QTest::newRow("sameNumber")     << "1"    << true  << "*+2400.00" << QStringList();
    QTest::newRow("noSuchDevice")   << "9"    << false << ""
                                    << QStringList{"Invalid ComPort #, please select another one."};
    QTest::newRow("cancel")         << ""     << false << ""          << QStringList();
}
// clang-format on

void TestComPortPty::movesToTheSimulatorTyped()
{
    QFETCH(QString, answer);
    QFETCH(bool, openAfter);
    QFETCH(QString, reading);
    QFETCH(QStringList, messages);

    QtSerialPortAdapter port(m_ports);
    QCOMPARE(port.open(), int(SerialPort::NoError));
    FakeMessageBox messageBox;
    QCOMPARE(transaction(port, messageBox), QStringLiteral("*+2400.00"));

    FakeInputBox input;
    input.answer = answer;
    ComPortCommand(port, input, messageBox).run();
    QCOMPARE(messageBox.texts, messages);
    QCOMPARE(port.isOpen(), openAfter);
    if (openAfter)
        QCOMPARE(transaction(port, messageBox), reading);
    QCOMPARE(messageBox.texts, messages); // the transaction itself reported nothing
}

void TestComPortPty::portHeldByAnotherProcess()
{
    SimulatorProcess third(DGH_SIM_PATH);
    QString error;
    QVERIFY2(third.start({}, &error), qPrintable(error));
    PortMap ports = m_ports;
    ports.setDevice(3, third.devicePath());

    QProcess holder;
    holder.start(QCoreApplication::applicationFilePath(), {HoldOption, third.devicePath()});
    QVERIFY(holder.waitForStarted());
    QVERIFY(holder.waitForReadyRead(5000));
    QCOMPARE(holder.readLine().trimmed(), QByteArray("held"));

    QtSerialPortAdapter port(ports);
    QCOMPARE(port.open(), int(SerialPort::NoError));
    FakeInputBox input;
    input.answer = QStringLiteral("3");
    FakeMessageBox messageBox;
    ComPortCommand(port, input, messageBox).run();
    QCOMPARE(messageBox.texts,
             QStringList{QStringLiteral("Port is already open, please select another one.")});
    QCOMPARE(messageBox.titles, QStringList{QStringLiteral("Kestrom dgh ")});
    QVERIFY(!port.isOpen());

    // Once the other program lets go, the same number opens.
    holder.closeWriteChannel();
    QVERIFY(holder.waitForFinished(5000));
    messageBox.texts.clear();
    ComPortCommand(port, input, messageBox).run();
    QVERIFY(messageBox.texts.isEmpty());
    QVERIFY(port.isOpen());
}

int main(int argc, char **argv)
{
    if (argc == 3 && qstrcmp(argv[1], HoldOption) == 0)
        return holdPort(argc, argv);
    QCoreApplication app(argc, argv);
    TestComPortPty test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_com_port_pty.moc"
