#include "channels/ChannelRig.h"

#include <QtTest>

#include <memory>

class TestChannelSwitches : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void switchOnAndOff_data();
    void switchOnAndOff();
    void compensationChoice_data();
    void compensationChoice();

private:
    FakeSwitch &switchNamed(const QString &name);
    Flag &flagOf(const QString &name);

    std::unique_ptr<ChannelRig> m_rig;
};

void TestChannelSwitches::init()
{
    m_rig = std::make_unique<ChannelRig>();
}

FakeSwitch &TestChannelSwitches::switchNamed(const QString &name)
{
    if (name == "cwbFlow")
        return m_rig->cwbFlow;
    if (name == "cwbPh")
        return m_rig->cwbPh;
    return m_rig->cwbTherm;
}

Flag &TestChannelSwitches::flagOf(const QString &name)
{
    if (name == "cwbFlow")
        return m_rig->state.flowEnabled;
    if (name == "cwbPh")
        return m_rig->state.phEnabled;
    return m_rig->state.thermEnabled;
}

// clang-format off
void TestChannelSwitches::switchOnAndOff_data()
{
    QTest::addColumn<QString>("switchName");
    QTest::addColumn<QStringList>("clearing");

    QTest::newRow("flow") << "cwbFlow"
        << QStringList{"lblHz text \"\"", "lblLitersPerMin text \"\"", "liters text \"\"",
                       "CWSlideFlow value 0", "CWSlideLiters value 0"};
    QTest::newRow("pH, probe 1 only") << "cwbPh"
        << QStringList{"lblmV text \"\"", "lblpH text \"\""};
    QTest::newRow("thermistors") << "cwbTherm"
        << QStringList{"lblTherm1 text \"\"", "lblTherm2 text \"\"", "lblTherm3 text \"\"",
                       "CWSlideTherm1 value 0", "CWSlideTherm2 value 0", "CWSlideTherm3 value 0"};
}
// clang-format on

void TestChannelSwitches::switchOnAndOff()
{
    QFETCH(QString, switchName);
    QFETCH(QStringList, clearing);

    m_rig->presetReadings();
    const QStringList textsBefore = m_rig->allLabelTexts();

    // On: the flag only; the displays keep their text until the next read.
    switchNamed(switchName).press();
    QCOMPARE(flagOf(switchName), FlagOn);
    QVERIFY(m_rig->displayLog.isEmpty());
    QCOMPARE(m_rig->allLabelTexts(), textsBefore);

    switchNamed(switchName).press();
    QCOMPARE(flagOf(switchName), FlagOff);
    QCOMPARE(m_rig->displayLog, clearing);

    // Only this group's displays went blank: probe 2's pH labels keep theirs.
    const QStringList texts = m_rig->allLabelTexts();
    QCOMPARE(texts.count(QString()), clearing.filter(" text ").size());
    QCOMPARE(m_rig->lblmV1.text(), QString("2600"));
    QCOMPARE(m_rig->lblpH1.text(), QString("6.5"));

    // The other groups' flags and every reading stay as they were.
    for (const QString other : {"cwbFlow", "cwbPh", "cwbTherm"})
        if (other != switchName)
            QCOMPARE(flagOf(other), FlagOff);
    QCOMPARE(m_rig->changedReadings(), QStringList());
}

// clang-format off
void TestChannelSwitches::compensationChoice_data()
{
    QTest::addColumn<bool>("probe2");
    QTest::addColumn<int>("member");
    QTest::addColumn<int>("source1");
    QTest::addColumn<int>("source2");

    QTest::newRow("optTherm T-1")  << false << 0 << 1 << 0;
    QTest::newRow("optTherm T-2")  << false << 1 << 2 << 0;
    QTest::newRow("optTherm T-3")  << false << 2 << 3 << 0;
    QTest::newRow("optTherm1 T-1") << true  << 0 << 0 << 1;
    QTest::newRow("optTherm1 T-3") << true  << 2 << 0 << 3;
}
// clang-format on

void TestChannelSwitches::compensationChoice()
{
    QFETCH(bool, probe2);
    QFETCH(int, member);
    QFETCH(int, source1);
    QFETCH(int, source2);

    m_rig->state.compTemp = 12;
    (probe2 ? m_rig->optTherm1 : m_rig->optTherm).select(member);

    QCOMPARE(int(m_rig->state.probe1TempSource), source1);
    QCOMPARE(int(m_rig->state.probe2TempSource), source2);
    // Nothing is recomputed until the next conversion.
    QCOMPARE(m_rig->state.compTemp, 12.0);
    QVERIFY(m_rig->displayLog.isEmpty());
}

QTEST_GUILESS_MAIN(TestChannelSwitches)
#include "test_channel_switches.moc"
