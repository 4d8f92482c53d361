#include "channels/ChannelRig.h"

#include <QtTest>

#include <memory>

class TestReadCycle : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void pollingOrder_data();
    void pollingOrder();
    void failureSwitchesOffFromNextTick_data();
    void failureSwitchesOffFromNextTick();
    void closedPortAllOn();
    void compensationUsesPreviousCycle();
    void tickDuringMessageIsDropped_data();
    void tickDuringMessageIsDropped();

private:
    // Every module answers well, except the one given, which sends bytes instead.
    void answerAll(const QString &except = QString(), const QByteArray &bytes = QByteArray());
    std::unique_ptr<ChannelRig> m_rig;
};

void TestReadCycle::init()
{
    QLocale::setDefault(QLocale(QStringLiteral("en_US")));
    m_rig = std::make_unique<ChannelRig>();
    m_rig->defaultCalibration();
}

void TestReadCycle::answerAll(const QString &except, const QByteArray &bytes)
{
    const QList<QPair<QString, QByteArray>> answers{{"5", "*+0115.00\r"}, {"6", "*+2577.70\r"},
                                                    {"7", "*+2400.00\r"}, {"1", "*+0021.00\r"},
                                                    {"2", "*+0022.00\r"}, {"3", "*+0023.00\r"}};
    for (const auto &answer : answers)
        m_rig->port.scriptAddress(answer.first, answer.first == except ? bytes : answer.second);
}

// clang-format off
void TestReadCycle::pollingOrder_data()
{
    QTest::addColumn<int>("flow");
    QTest::addColumn<int>("ph");
    QTest::addColumn<int>("therm");
    QTest::addColumn<QStringList>("polled");

    QTest::newRow("nothing on")      <<  0 <<  0 <<  0 << QStringList{};
    QTest::newRow("pH only")         <<  0 << -1 <<  0 << QStringList{"6", "7"};
    QTest::newRow("flow only")       << -1 <<  0 <<  0 << QStringList{"5"};
    QTest::newRow("thermistors only") << 0 <<  0 << -1 << QStringList{"1", "2", "3"};
    QTest::newRow("all on")          << -1 << -1 << -1 << QStringList{"5", "6", "7", "1", "2", "3"};
    QTest::newRow("flow and therm")  << -1 <<  0 << -1 << QStringList{"5", "1", "2", "3"};
    QTest::newRow("1 is not on")     <<  1 <<  1 <<  1 << QStringList{};
}
// clang-format on

void TestReadCycle::pollingOrder()
{
    QFETCH(int, flow);
    QFETCH(int, ph);
    QFETCH(int, therm);
    QFETCH(QStringList, polled);

    answerAll();
    m_rig->state.flowEnabled = static_cast<Flag>(flow);
    m_rig->state.phEnabled = static_cast<Flag>(ph);
    m_rig->state.thermEnabled = static_cast<Flag>(therm);

    m_rig->acquisition.ReadCycle();
    QCOMPARE(m_rig->port.polledAddresses(), polled);
    m_rig->acquisition.ReadCycle();
    QCOMPARE(m_rig->port.polledAddresses(), polled + polled);
    QVERIFY(m_rig->messages.texts.isEmpty());
    if (polled.isEmpty())
        QVERIFY(m_rig->port.writes.isEmpty());
}

// clang-format off
void TestReadCycle::failureSwitchesOffFromNextTick_data()
{
    QTest::addColumn<QString>("failing");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QStringList>("secondTick");

    QTest::newRow("flow fails")    << "5" << "NO VALID RETURN FROM FLOW MODULE"  << QStringList{"6", "7", "1", "2", "3"};
    QTest::newRow("probe 1 fails") << "6" << "NO VALID RETURN FROM pH MODULE"    << QStringList{"5", "1", "2", "3"};
    QTest::newRow("probe 2 fails") << "7" << "NO VALID RETURN FROM pH MODULE"    << QStringList{"5", "1", "2", "3"};
    QTest::newRow("thermistor 2")  << "2" << "No valid return from thermistor 2" << QStringList{"5", "6", "7", "1", "2", "3"};
    QTest::newRow("thermistor 3")  << "3" << "No valid return from thermistor 3" << QStringList{"5", "6", "7"};
}
// clang-format on

void TestReadCycle::failureSwitchesOffFromNextTick()
{
    QFETCH(QString, failing);
    QFETCH(QString, message);
    QFETCH(QStringList, secondTick);

    answerAll(failing, "?" + failing.toLatin1() + "\r");

    m_rig->cwbFlow.press();
    m_rig->cwbPh.press();
    m_rig->cwbTherm.press();
    m_rig->acquisition.ReadCycle();

    // The rest of the cycle still runs, and the probe after a failing one too.
    QCOMPARE(m_rig->port.polledAddresses(), (QStringList{"5", "6", "7", "1", "2", "3"}));
    QCOMPARE(m_rig->messages.texts, QStringList{message});
    const StationState &s = m_rig->state;
    QCOMPARE(s.flowHz, failing == "5" ? 0.0 : 115.0);
    QCOMPARE(s.probe1mV, failing == "6" ? 0.0 : 2577.7);
    QCOMPARE(s.probe2mV, failing == "7" ? 0.0 : 2400.0);
    QCOMPARE(m_rig->lblmV1.text(), QString(failing == "7" ? "000" : "2400"));
    if (failing == "6") // probe 2 was read after probe 1 switched the group off
        QCOMPARE(m_rig->lblpH1.text(),
                 QString::number(halfEven(7 + (2.4 - 2.5777) / (0.000198416 * 4.5427 * 273.15), 4),
                                 'g', 15));
    QCOMPARE(s.therm2Temp, failing == "2" ? 0.0 : 22.0);

    m_rig->port.writes.clear();
    m_rig->acquisition.ReadCycle();
    QCOMPARE(m_rig->port.polledAddresses(), secondTick);
}

void TestReadCycle::closedPortAllOn()
{
    m_rig->port.open_ = false;
    m_rig->cwbFlow.press();
    m_rig->cwbPh.press();
    m_rig->cwbTherm.press();
    m_rig->acquisition.ReadCycle();

    const QString port = "Port Not open";
    QCOMPARE(
        m_rig->messages.texts,
        (QStringList{port, "NO VALID RETURN FROM FLOW MODULE", port,
                     "NO VALID RETURN FROM pH MODULE", port, "NO VALID RETURN FROM pH MODULE", port,
                     "No valid return from thermistor 1", port, "No valid return from thermistor 2",
                     port, "No valid return from thermistor 3"}));
    for (int i = 0; i < 12; ++i)
        QCOMPARE(m_rig->messages.titles[i], QString(i % 2 ? "Kestrom dgh " : "Port Failure"));
    QVERIFY(!m_rig->cwbFlow.value());
    QVERIFY(!m_rig->cwbPh.value());
    QVERIFY(!m_rig->cwbTherm.value());
    QCOMPARE(m_rig->state.flowEnabled, FlagOff);
    QCOMPARE(m_rig->state.phEnabled, FlagOff);
    QCOMPARE(m_rig->state.thermEnabled, FlagOff);
    QVERIFY(m_rig->port.writes.isEmpty());

    m_rig->acquisition.ReadCycle();
    QCOMPARE(m_rig->messages.texts.size(), 12);
}

void TestReadCycle::compensationUsesPreviousCycle()
{
    m_rig->state.therm1Temp = 25;
    m_rig->answer("6", "*+2400.00");
    m_rig->answer("7", "*+2400.00");
    m_rig->answer("1", "*+0010.00");
    m_rig->answer("2", "*+0011.00");
    m_rig->answer("3", "*+0012.00");
    m_rig->cwbPh.press();
    m_rig->cwbTherm.press();

    auto pH = [](double celsius) {
        return halfEven(7 + (2.4 - 2.5777) / (0.000198416 * 4.5427 * (celsius + 273.15)), 4);
    };
    m_rig->acquisition.ReadCycle();
    QCOMPARE(m_rig->state.compTemp, 25.0);
    QCOMPARE(m_rig->state.probe1pH, pH(25));
    QCOMPARE(m_rig->state.therm1Temp, 10.0);

    m_rig->acquisition.ReadCycle();
    QCOMPARE(m_rig->state.compTemp, 10.0);
    QCOMPARE(m_rig->state.probe1pH, pH(10));
}

// clang-format off
void TestReadCycle::tickDuringMessageIsDropped_data()
{
    QTest::addColumn<bool>("portOpen");
    QTest::addColumn<QString>("silent");
    QTest::addColumn<QStringList>("polled");
    QTest::addColumn<int>("messages");

    QTest::newRow("flow message")       << true  << "5" << QStringList{"5", "6", "7", "1", "2", "3"} << 1;
    QTest::newRow("thermistor 1 message") << true << "1" << QStringList{"5", "6", "7", "1", "2", "3"} << 1;
    QTest::newRow("every message of a closed port") << false << "" << QStringList{} << 12;
}
// clang-format on

void TestReadCycle::tickDuringMessageIsDropped()
{
    QFETCH(bool, portOpen);
    QFETCH(QString, silent);
    QFETCH(QStringList, polled);
    QFETCH(int, messages);

    answerAll(silent);
    m_rig->port.open_ = portOpen;
    m_rig->cwbFlow.press();
    m_rig->cwbPh.press();
    m_rig->cwbTherm.press();
    // A read tick falls due while a message of the cycle is open.
    QStringList polledAtMessage;
    m_rig->messages.onShow = [&] {
        polledAtMessage = m_rig->port.polledAddresses();
        m_rig->acquisition.ReadCycle();
        QCOMPARE(m_rig->port.polledAddresses(), polledAtMessage);
    };

    m_rig->acquisition.ReadCycle();

    QCOMPARE(m_rig->port.polledAddresses(), polled);
    QCOMPARE(m_rig->messages.texts.size(), messages);
    QCOMPARE(m_rig->acquisition.droppedTicks(), messages);

    // Once the cycle is over, the next tick runs again.
    m_rig->messages.onShow = nullptr;
    m_rig->port.writes.clear();
    m_rig->acquisition.ReadCycle();
    QVERIFY(!portOpen || !m_rig->port.polledAddresses().isEmpty());
}

QTEST_GUILESS_MAIN(TestReadCycle)
#include "test_read_cycle.moc"
