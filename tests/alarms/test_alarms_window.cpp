#include "alarms/AlarmRig.h"
#include "alarms/ui/AlarmIndicator.h"
#include "alarms/ui/AlarmsWindow.h"
#include "alarms/ui/LiveView.h"
#include "alarms/ui/ModuleLamps.h"

#include <QComboBox>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

// The operator's side: the Alarms window acknowledging and shelving what is
// selected, or everything; the status-bar indicator; and the live view's
// lamps and value displays, dimmed when old and framed while alarmed, their
// text as the channels wrote it.
class TestAlarmsWindow : public QObject
{
    Q_OBJECT

private slots:
    void operatorActs_data();
    void operatorActs();
    void liveViewTellsAgeAndAlarms();
};

// clang-format off
void TestAlarmsWindow::operatorActs_data()
{
    QTest::addColumn<QString>("before");   // a cycle's reads before the operator acts
    QTest::addColumn<QStringList>("select");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QStringList>("states"); // ph1.high, therm1.low, flow.high after
    QTest::addColumn<bool>("red");
    QTest::addColumn<QString>("indicator");

    QTest::newRow("acknowledgeSelected") << "ph1=9,flow=9,therm1=20" << QStringList{"ph1.high"}
                                         << "cmdAcknowledge"    << QStringList{"acknowledged", "normal", "active"} << true << "2 alarms";
    QTest::newRow("acknowledgeTwo")      << "ph1=9,flow=9,therm1=20" << QStringList{"ph1.high", "flow.high"}
                                         << "cmdAcknowledge"    << QStringList{"acknowledged", "normal", "acknowledged"} << false << "2 alarms";
    QTest::newRow("acknowledgeAll")      << "ph1=9,flow=9,therm1=2" << QStringList{}
                                         << "cmdAcknowledgeAll" << QStringList{"acknowledged", "acknowledged", "acknowledged"} << false << "3 alarms";
    // Cleared before anyone saw it: acknowledged, it is gone.
    QTest::newRow("returnedAcknowledged") << "ph1=8,flow=9"      << QStringList{"ph1.high"}
                                         << "cmdAcknowledge"    << QStringList{"normal", "normal", "active"} << true << "1 alarm";
    QTest::newRow("shelveSelected")      << "ph1=9,flow=9"      << QStringList{"ph1.high", "flow.high"}
                                         << "cmdShelve"         << QStringList{"shelved", "normal", "shelved"} << false << "No alarm";
}
// clang-format on

void TestAlarmsWindow::operatorActs()
{
    QFETCH(QString, before);
    QFETCH(QStringList, select);
    QFETCH(QString, button);
    QFETCH(QStringList, states);
    QFETCH(bool, red);
    QFETCH(QString, indicator);

    AlarmRig rig;
    rig.arm({"ph1.high = 8.5", "flow.high = 5", "therm1.low = 5"});
    AlarmIndicator lamp;
    rig.alarms.changed.listen([&] { lamp.showCounts(rig.alarms); });
    rig.cycle("ph1=9,flow=1,therm1=20");
    rig.cycle(before);

    AlarmsWindow window(rig.alarms, {});
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto *list = window.findChild<QTreeWidget *>("lstAlarms");
    QCOMPARE(list->topLevelItemCount(), 3);
    for (int row = 0; row < list->topLevelItemCount(); ++row) {
        QTreeWidgetItem *item = list->topLevelItem(row);
        for (const QString &name : select)
            if (item->text(0).endsWith("(" + name + ")"))
                item->setSelected(true);
    }
    window.findChild<QComboBox *>("cmbShelveFor")->setCurrentIndex(3); // two hours
    auto *pressed = window.findChild<QPushButton *>(button);
    QVERIFY(pressed->isEnabled());
    QTest::mouseClick(pressed, Qt::LeftButton);

    QStringList shown;
    for (int row = 0; row < list->topLevelItemCount(); ++row)
        shown << list->topLevelItem(row)->text(1);
    QCOMPARE(shown, states);
    QCOMPARE(lamp.isRed(), red);
    QCOMPARE(lamp.text(), indicator);
    if (button == "cmdShelve") {
        QCOMPARE(rig.alarms.alarms()[0].shelvedUntil - rig.clock.now,
                 std::chrono::nanoseconds(std::chrono::hours(2)));
        QVERIFY(list->topLevelItem(0)->text(4).startsWith("until 2026-12-07 16:05:30"));
    }
}

// The values as the operator reads them: fresh as drawn; older than two
// read periods dimmed with their age; framed red while their alarm waits,
// amber once acknowledged; their text untouched throughout.
void TestAlarmsWindow::liveViewTellsAgeAndAlarms()
{
    AlarmRig rig;
    rig.state.flowEnabled = rig.state.thermEnabled = FlagOff;
    rig.arm({"ph1.high = 8.5", "stale.seconds = 5"});
    QWidget window;
    QMenuBar menuBar(&window);
    QLabel labels[10];
    const QColor green(0, 230, 0);
    for (QLabel &label : labels) {
        QPalette palette = label.palette();
        palette.setColor(QPalette::WindowText, green);
        label.setPalette(palette);
        label.setText("000");
    }
    labels[4].setObjectName("lblpH");
    labels[6].setObjectName("lblpH1");
    LiveView view(rig.ages, rig.port, rig.alarms,
                  {&labels[0], &labels[1], &labels[2], &labels[3], &labels[4], &labels[5],
                   &labels[6], &labels[7], &labels[8], &labels[9]},
                  &menuBar);
    QLabel &pH1 = labels[4];
    QLabel &pH2 = labels[6];
    auto *frame = pH1.findChild<QWidget *>("lblpHAlarm");
    QVERIFY(frame);
    const auto lamp = [&view](const char *name) {
        return view.lamps()->findChild<QLabel *>(name)->property("freshness").toString();
    };

    // Before any reading, the flow group off: the start's "000" as it was.
    view.refresh();
    QCOMPARE(labels[0].palette().color(QPalette::WindowText), green);
    QCOMPARE(lamp("lampFlow"), QStringLiteral("off"));

    rig.cycle("ph1=9,ph2=7");
    pH1.setText("9"); // as the channel writes it
    view.refresh();
    QCOMPARE(pH1.palette().color(QPalette::WindowText), green);
    QVERIFY(!frame->isHidden());
    QVERIFY2(pH1.toolTip().contains("pH 1 high: active"), qPrintable(pH1.toolTip()));
    QCOMPARE(lamp("lampPh1"), QStringLiteral("fresh"));

    rig.alarms.acknowledge({"ph1.high"});
    QVERIFY(!frame->isHidden());
    QVERIFY2(pH1.toolTip().contains("pH 1 high: acknowledged"), qPrintable(pH1.toolTip()));

    // Probe 2 silent for three seconds, probe 1 read on: only probe 2 dims.
    for (int second = 0; second < 3; ++second)
        rig.cycle("ph1=8");
    view.refresh();
    QCOMPARE(pH1.palette().color(QPalette::WindowText), green);
    QVERIFY(!!frame->isHidden()); // acknowledged and cleared: normal
    QCOMPARE(pH2.palette().color(QPalette::WindowText), ValueMarks::dimmed(green));
    QVERIFY(pH2.palette().color(QPalette::WindowText) != green);
    QCOMPARE(pH2.toolTip(), QStringLiteral("Not fresh: read 3 s ago"));
    QCOMPARE(lamp("lampPh2"), QStringLiteral("failing"));
    QCOMPARE(pH2.text(), QStringLiteral("000"));

    // Three more: probe 2's stale alarm frames its displays too.
    for (int second = 0; second < 3; ++second)
        rig.cycle("ph1=8");
    view.refresh();
    QVERIFY(!pH2.findChild<QWidget *>("lblpH1Alarm")->isHidden());
    QVERIFY(pH2.toolTip().startsWith("pH 2 (module 7) stale: active\nNot fresh: read 6 s ago"));

    // Read again: as drawn, no frame once acknowledged and cleared.
    rig.cycle("ph1=8,ph2=7");
    rig.alarms.acknowledgeAll();
    view.refresh();
    QCOMPARE(pH2.palette().color(QPalette::WindowText), green);
    QVERIFY(!!pH2.findChild<QWidget *>("lblpH1Alarm")->isHidden());
    QCOMPARE(pH2.toolTip(), QString());
}

QTEST_MAIN(TestAlarmsWindow)
#include "test_alarms_window.moc"
