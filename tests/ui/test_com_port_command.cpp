#include "fakes/FakeMessageBox.h"
#include "fakes/FakeSerialPort.h"
#include "fakes/FakeWidgets.h"
#include "station/ModuleLink.h"
#include "ui/main/ComPortCommand.h"

#include <QtTest>

namespace {
const QString InvalidPort = QStringLiteral("Invalid ComPort #, please select another one.");
const QString PortInUse = QStringLiteral("Port is already open, please select another one.");
} // namespace

class TestComPortCommand : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }
    void conversion_data();
    void conversion();
    void outcomes_data();
    void outcomes();
    void asksWithPromptAndTitle();
    void closesBeforeAsking();
};

// clang-format off
void TestComPortCommand::conversion_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<int>("number");

    QTest::newRow("blanksAround")     << "en_US" << " 3 "       << true  << 3;
    QTest::newRow("tabsAround")       << "en_US" << "\t7\t"     << true  << 7;
    QTest::newRow("halfDownToEven")   << "en_US" << "2.5"       << true  << 2;
    QTest::newRow("halfUpToEven")     << "en_US" << "3.5"       << true  << 4;
    QTest::newRow("belowHalf")        << "en_US" << "4.49"      << true  << 4;
    QTest::newRow("commaDecimal")     << "de_DE" << "5,5"       << true  << 6;
    QTest::newRow("exponent")         << "en_US" << "1e2"       << true  << 100;
    QTest::newRow("negative")         << "en_US" << "-1"        << true  << -1;
    QTest::newRow("topOfRange")       << "en_US" << "32767"     << true  << 32767;
    QTest::newRow("bottomHalfToEven") << "en_US" << "-32768.5"  << true  << -32768;
    QTest::newRow("empty")            << "en_US" << ""          << false << 0;
    QTest::newRow("blank")            << "en_US" << "   "       << false << 0;
    QTest::newRow("letters")          << "en_US" << "abc"       << false << 0;
    QTest::newRow("portName")         << "en_US" << "COM3"      << false << 0;
    QTest::newRow("aboveRange")       << "en_US" << "40000"     << false << 0;
    QTest::newRow("roundsAboveRange") << "en_US" << "32767.5"   << false << 0;
    QTest::newRow("belowRange")       << "en_US" << "-32769"    << false << 0;
    QTest::newRow("grouping")         << "en_US" << "1,000"     << false << 0;
    QTest::newRow("notANumber")       << "en_US" << "nan"       << false << 0;
}
// clang-format on

void TestComPortCommand::conversion()
{
    QFETCH(QString, locale);
    QFETCH(QString, text);
    QFETCH(bool, accepted);
    QFETCH(int, number);

    QLocale::setDefault(QLocale(locale));
    FakeSerialPort port;
    port.number = 1;
    FakeInputBox input;
    input.answer = text;
    FakeMessageBox messages;
    ComPortCommand(port, input, messages).run();

    QCOMPARE(port.closeCalls, 1);
    QCOMPARE(port.openCalls, accepted ? 1 : 0);
    QCOMPARE(int(port.number), accepted ? number : 1);
    QCOMPARE(port.isOpen(), accepted);
    QVERIFY(messages.texts.isEmpty()); // a bad entry is silent
}

// clang-format off
void TestComPortCommand::outcomes_data()
{
    QTest::addColumn<bool>("openBefore");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<int>("setNumberResult");
    QTest::addColumn<int>("openResult");
    QTest::addColumn<int>("closeCalls");
    QTest::addColumn<int>("openCalls");
    QTest::addColumn<int>("numberAfter");
    QTest::addColumn<bool>("openAfter");
    QTest::addColumn<QStringList>("messages");

    QTest::newRow("success")
        << true  << "3"  << 0    << 0    << 1 << 1 << 3  << true  << QStringList();
    QTest::newRow("sameNumberReopens")
        << true  << "1"  << 0    << 0    << 1 << 1 << 1  << true  << QStringList();
    QTest::newRow("noSuchPort")
        << true  << "9"  << 0    << 8002 << 1 << 1 << 9  << false << QStringList{InvalidPort};
    QTest::newRow("portInUse")
        << true  << "2"  << 0    << 8005 << 1 << 1 << 2  << false << QStringList{PortInUse};
    QTest::newRow("otherOpenFailureSilent")
        << true  << "2"  << 0    << 8010 << 1 << 1 << 2  << false << QStringList();
    QTest::newRow("numberRejected")
        << true  << "0"  << 8002 << 0    << 1 << 0 << 1  << false << QStringList{InvalidPort};
    QTest::newRow("cancelSilent")
        << true  << ""   << 0    << 0    << 1 << 0 << 1  << false << QStringList();
    QTest::newRow("closedPortSkipsClose")
        << false << "4"  << 0    << 0    << 0 << 1 << 4  << true  << QStringList();
    QTest::newRow("closedPortCancel")
        << false << ""   << 0    << 0    << 0 << 0 << 1  << false << QStringList();
}
// clang-format on

void TestComPortCommand::outcomes()
{
    QFETCH(bool, openBefore);
    QFETCH(QString, answer);
    QFETCH(int, setNumberResult);
    QFETCH(int, openResult);
    QFETCH(int, closeCalls);
    QFETCH(int, openCalls);
    QFETCH(int, numberAfter);
    QFETCH(bool, openAfter);
    QFETCH(QStringList, messages);

    FakeSerialPort port;
    port.number = 1;
    port.open_ = openBefore;
    port.setNumberResult = setNumberResult;
    port.openResult = openResult;
    FakeInputBox input;
    input.answer = answer;
    FakeMessageBox messageBox;
    ComPortCommand(port, input, messageBox).run();

    QCOMPARE(port.closeCalls, closeCalls);
    QCOMPARE(port.openCalls, openCalls);
    QCOMPARE(int(port.number), numberAfter);
    QCOMPARE(port.isOpen(), openAfter);
    QCOMPARE(messageBox.texts, messages);
    for (const QString &title : messageBox.titles)
        QCOMPARE(title, QStringLiteral("Kestrom dgh "));
    QVERIFY(port.writes.isEmpty());
}

void TestComPortCommand::asksWithPromptAndTitle()
{
    FakeSerialPort port;
    FakeInputBox input;
    FakeMessageBox messages;
    port.present =
        QStringList{"1: /dev/ttyS0", "3: /dev/ttyUSB0 = /dev/serial/by-id/usb-FTDI-A1B2 (FT232R)"};
    ComPortCommand(port, input, messages).run();
    QCOMPARE(input.prompts, QStringList{QStringLiteral("Enter Commport Number")});
    QCOMPARE(input.titles, QStringList{QStringLiteral("Commport Setup")});
    // The ports present, by-id names and all, below the entry; the prompt as it stands.
    QCOMPARE(input.details, QStringList{"Serial ports present:\n" + port.present.join('\n')});
}

// The input box is shown with the port already closed.
class PortCheckingInputBox : public InputBox
{
public:
    explicit PortCheckingInputBox(const SerialPort &port) : m_port(port) { }
    bool portOpenWhileAsking = true;
    QString ask(const QString &, const QString &, const QString &) override
    {
        portOpenWhileAsking = m_port.isOpen();
        return QStringLiteral("2");
    }

private:
    const SerialPort &m_port;
};

void TestComPortCommand::closesBeforeAsking()
{
    FakeSerialPort port;
    PortCheckingInputBox input(port);
    FakeMessageBox messages;
    ComPortCommand(port, input, messages).run();
    QVERIFY(!input.portOpenWhileAsking);
    QVERIFY(port.isOpen());
}

QTEST_GUILESS_MAIN(TestComPortCommand)
#include "test_com_port_command.moc"
