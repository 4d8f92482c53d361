#include "channels/ChannelRig.h"
#include "fakes/FakeWidgets.h"
#include "ui/main/ComPortCommand.h"

#include <QtTest>

// After the Comm Port command leaves the port closed, the next read tick
// reports every enabled group and switches it off.
class TestComPortReadTick : public QObject
{
    Q_OBJECT

private slots:
    void closedPortAtNextTick_data();
    void closedPortAtNextTick();
};

// clang-format off
void TestComPortReadTick::closedPortAtNextTick_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<int>("openResult");
    QTest::addColumn<QStringList>("commandMessages");

    QTest::newRow("cancel")     << ""    << 0    << QStringList();
    QTest::newRow("letters")    << "abc" << 0    << QStringList();
    QTest::newRow("portInUse")  << "2"   << 8005 << QStringList{"Port is already open, please select another one."};
}
// clang-format on

void TestComPortReadTick::closedPortAtNextTick()
{
    QFETCH(QString, answer);
    QFETCH(int, openResult);
    QFETCH(QStringList, commandMessages);

    ChannelRig rig;
    rig.defaultCalibration();
    rig.cwbFlow.press();
    rig.cwbPh.press();
    FakeInputBox input;
    input.answer = answer;
    rig.port.openResult = openResult;
    ComPortCommand(rig.port, input, rig.messages).run();
    QCOMPARE(rig.messages.texts, commandMessages);
    QVERIFY(!rig.port.isOpen());

    rig.acquisition.ReadCycle();
    const QString port = QStringLiteral("Port Not open");
    QCOMPARE(
        rig.messages.texts.mid(commandMessages.size()),
        (QStringList{port, "NO VALID RETURN FROM FLOW MODULE", port,
                     "NO VALID RETURN FROM pH MODULE", port, "NO VALID RETURN FROM pH MODULE"}));
    QVERIFY(!rig.cwbFlow.value());
    QVERIFY(!rig.cwbPh.value());
    QVERIFY(!rig.cwbTherm.value());
    QCOMPARE(rig.state.flowEnabled, FlagOff);
    QCOMPARE(rig.state.phEnabled, FlagOff);
    QVERIFY(rig.port.writes.isEmpty());

    // Nothing more is polled or reported until the operator acts.
    const int shown = rig.messages.texts.size();
    rig.acquisition.ReadCycle();
    QCOMPARE(rig.messages.texts.size(), shown);
}

QTEST_GUILESS_MAIN(TestComPortReadTick)
#include "test_com_port_read_tick.moc"
