#include "channels/ChannelRig.h"
#include "channels/CycleReads.h"

#include <QtTest>

#include <memory>

namespace {

const double Nernst = 0.000198416;

// The pH of a reading by the electrode equation, rounded to 4 decimals.
double expectedPh(double mV, double offset, double slope, double celsius)
{
    return halfEven(7 + (mV / 1000 - offset) / (Nernst * slope * (celsius + 273.15)), 4);
}

} // namespace

class TestPhChannel : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void conversion_data();
    void conversion();
    void halves_data();
    void halves();
    void invalidAnswer_data();
    void invalidAnswer();
    void emptyValueField_data();
    void emptyValueField();
    void noFinitePh_data();
    void noFinitePh();

private:
    std::unique_ptr<ChannelRig> m_rig;
};

void TestPhChannel::init()
{
    QLocale::setDefault(QLocale(QStringLiteral("en_US")));
    m_rig = std::make_unique<ChannelRig>();
    m_rig->defaultCalibration();
    m_rig->cwbPh.press();
}

void TestPhChannel::cleanup()
{
    m_rig.reset();
    QLocale::setDefault(QLocale(QStringLiteral("en_US")));
}

// clang-format off
void TestPhChannel::conversion_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<int>("selector");
    QTest::addColumn<double>("therm1");
    QTest::addColumn<double>("therm2");
    QTest::addColumn<double>("therm3");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<double>("mV");
    QTest::addColumn<double>("compTemp");
    QTest::addColumn<QString>("mVText");

    QTest::newRow("2400mV at 25C")       << "6" << QByteArray("*+2400.00") << 1 << 25.0 << 0.0  << 0.0 << "en_US" << 2400.0 << 25.0 << "2400";
    QTest::newRow("2700mV at 10C by T-2") << "6" << QByteArray("*+2700.00") << 2 << 25.0 << 10.0 << 0.0 << "en_US" << 2700.0 << 10.0 << "2700";
    QTest::newRow("2577.7mV at 0C by T-3") << "6" << QByteArray("*+2577.70") << 3 << 25.0 << 10.0 << 0.0 << "en_US" << 2577.7 << 0.0 << "2577.7";
    QTest::newRow("pH7 whatever the heat") << "6" << QByteArray("*+2577.70") << 1 << 80.0 << 0.0 << 0.0 << "en_US" << 2577.7 << 80.0 << "2577.7";
    QTest::newRow("selector 0 takes T-1") << "6" << QByteArray("*+2400.00") << 0 << 25.0 << 10.0 << 0.0 << "en_US" << 2400.0 << 25.0 << "2400";
    QTest::newRow("selector 4 takes T-1") << "6" << QByteArray("*+2400.00") << 4 << 25.0 << 10.0 << 0.0 << "en_US" << 2400.0 << 25.0 << "2400";
    QTest::newRow("never polled: 0C")     << "6" << QByteArray("*+2400.00") << 1 << 0.0  << 0.0  << 0.0 << "en_US" << 2400.0 << 0.0 << "2400";
    QTest::newRow("sign in the field")    << "6" << QByteArray("*+-150.25") << 1 << 20.0 << 0.0  << 0.0 << "en_US" << -150.25 << 20.0 << "-150.25";
    QTest::newRow("probe 2 at 10C")       << "7" << QByteArray("*+2700.00") << 2 << 25.0 << 10.0 << 0.0 << "en_US" << 2700.0 << 10.0 << "2700";
    QTest::newRow("decimal comma")        << "7" << QByteArray("*+2577.70") << 1 << 25.0 << 0.0  << 0.0 << "de_DE" << 2577.7 << 25.0 << "2577,7";
}
// clang-format on

void TestPhChannel::conversion()
{
    QFETCH(QString, address);
    QFETCH(QByteArray, answer);
    QFETCH(int, selector);
    QFETCH(double, therm1);
    QFETCH(double, therm2);
    QFETCH(double, therm3);
    QFETCH(QString, locale);
    QFETCH(double, mV);
    QFETCH(double, compTemp);
    QFETCH(QString, mVText);

    QLocale::setDefault(QLocale(locale));
    StationState &s = m_rig->state;
    const bool probe1 = address == "6";
    (probe1 ? s.probe1TempSource : s.probe2TempSource) = static_cast<Selector>(selector);
    s.therm1Temp = therm1;
    s.therm2Temp = therm2;
    s.therm3Temp = therm3;
    m_rig->answer(address, answer);

    m_rig->ph.ReadPhProbe(address);

    const double pH = expectedPh(mV, 2.5777, 4.5427, compTemp);
    QCOMPARE(m_rig->port.polledAddresses(), QStringList{address});
    QVERIFY(m_rig->messages.texts.isEmpty());
    QCOMPARE(s.compTemp, compTemp);
    QCOMPARE(probe1 ? s.probe1mV : s.probe2mV, mV);
    QCOMPARE(probe1 ? s.probe1Volts : s.probe2Volts, mV / 1000);
    QCOMPARE(probe1 ? s.probe1pH : s.probe2pH, pH);
    // The other probe is untouched.
    QCOMPARE(probe1 ? s.probe2mV : s.probe1mV, 0.0);
    QCOMPARE(probe1 ? s.probe2pH : s.probe1pH, 0.0);

    const QString pHText = QLocale(locale).toString(pH, 'g', 15);
    const QString mVLabel = probe1 ? "lblmV" : "lblmV1";
    const QString pHLabel = probe1 ? "lblpH" : "lblpH1";
    QCOMPARE(
        m_rig->displayLog,
        (QStringList{mVLabel + " text \"" + mVText + "\"", pHLabel + " text \"" + pHText + "\""}));
    QCOMPARE(s.phEnabled, FlagOn);
}

// clang-format off
void TestPhChannel::halves_data()
{
    QTest::addColumn<double>("scaledRaw");
    QTest::addColumn<double>("pH");
    QTest::addColumn<QString>("pHText");

    QTest::newRow("70000.5 goes down to 7")      << 70000.5 << 7.0    << "7";
    QTest::newRow("70001.5 goes up to 7.0002")   << 70001.5 << 7.0002 << "7.0002";
    QTest::newRow("69999.5 goes up to 7")        << 69999.5 << 7.0    << "7";
}
// clang-format on

void TestPhChannel::halves()
{
    QFETCH(double, scaledRaw);
    QFETCH(double, pH);
    QFETCH(QString, pHText);

    // Look for a slope that puts raw x 10000 exactly on the half, computing
    // raw the way the conversion does: ((V - offset) / N / slope / T) + 7.
    const double volts = 2400.0 / 1000, offset = 2.39, kelvin = 25.0 + 273.15;
    const double wanted = (scaledRaw / 10000 - 7);
    const double start = (volts - offset) / Nernst / kelvin / wanted;
    double slope = 0;
    for (int step = 0; step < 200000 && slope == 0; ++step) {
        const int k = (step % 2 ? -1 : 1) * (step / 2);
        const double candidate = start * (1 + k * 1e-14);
        if ((((volts - offset) / Nernst / candidate / kelvin) + 7) * 10000 == scaledRaw)
            slope = candidate;
    }
    QVERIFY2(slope != 0, "no slope lands on the half");

    m_rig->state.probe1Offset = offset;
    m_rig->state.probe1Slope = slope;
    m_rig->state.therm1Temp = 25.0;
    m_rig->answer("6", "*+2400.00");
    m_rig->ph.ReadPhProbe("6");

    QCOMPARE(m_rig->state.probe1pH, pH);
    QCOMPARE(m_rig->lblpH.text(), pHText);
}

// clang-format off
void TestPhChannel::invalidAnswer_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("portOpen");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("messages");

    const QString noValid = "NO VALID RETURN FROM pH MODULE";
    QTest::newRow("no answer")          << "6" << true  << QByteArray()              << QStringList{noValid};
    QTest::newRow("refusal")            << "6" << true  << QByteArray("?6\r")        << QStringList{noValid};
    QTest::newRow("letter in field")    << "6" << true  << QByteArray("*+12a4.5\r")  << QStringList{noValid};
    QTest::newRow("blanks and point")   << "6" << true  << QByteArray("*+  .  \r")   << QStringList{noValid};
    QTest::newRow("number then junk")   << "6" << true  << QByteArray("*+24x\r")     << QStringList{noValid};
    QTest::newRow("ends in line feed")  << "6" << true  << QByteArray("*+2400.00\r\n") << QStringList{noValid};
    QTest::newRow("closed port")        << "6" << false << QByteArray()              << QStringList{"Port Not open", noValid};
    QTest::newRow("probe 2 refusal")    << "7" << true  << QByteArray("?7\r")        << QStringList{noValid};
}
// clang-format on

void TestPhChannel::invalidAnswer()
{
    QFETCH(QString, address);
    QFETCH(bool, portOpen);
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, messages);

    m_rig->presetReadings();
    m_rig->port.open_ = portOpen;
    if (!bytes.isEmpty())
        m_rig->port.scriptAddress(address, bytes);
    QList<Flag> flagWhileShown;
    m_rig->messages.onShow = [&] { flagWhileShown << m_rig->state.phEnabled; };

    m_rig->ph.ReadPhProbe(address);

    QCOMPARE(m_rig->messages.texts, messages);
    QCOMPARE(m_rig->messages.titles.last(), QString("Kestrom dgh "));
    // The switch goes off after the operator closed the message.
    QCOMPARE(flagWhileShown.last(), FlagOn);
    QCOMPARE(m_rig->cwbPh.value(), false);
    QCOMPARE(m_rig->state.phEnabled, FlagOff);
    QCOMPARE(m_rig->displayLog, (QStringList{"lblmV text \"\"", "lblpH text \"\""}));
    QCOMPARE(m_rig->lblmV1.text(), QString("2600"));
    QCOMPARE(m_rig->lblpH1.text(), QString("6.5"));
    QCOMPARE(m_rig->changedReadings(), QStringList());
}

// clang-format off
void TestPhChannel::emptyValueField_data()
{
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("star alone")         << QByteArray("*\r");
    QTest::newRow("star and sign")      << QByteArray("*+\r");
    QTest::newRow("noise then star")    << QByteArray("xy*+\r");
}
// clang-format on

void TestPhChannel::emptyValueField()
{
    QFETCH(QByteArray, bytes);

    m_rig->state.probe1mV = 2500;
    m_rig->state.probe1pH = 7.5;
    m_rig->state.compTemp = 21;
    m_rig->port.scriptAddress("6", bytes);

    m_rig->ph.ReadPhProbe("6");

    QCOMPARE(m_rig->port.polledAddresses(), QStringList{"6"});
    QVERIFY(m_rig->messages.texts.isEmpty());
    QCOMPARE(m_rig->state.phEnabled, FlagOn);
    QVERIFY(m_rig->displayLog.isEmpty());
    QCOMPARE(m_rig->state.probe1mV, 2500.0);
    QCOMPARE(m_rig->state.probe1pH, 7.5);
    QCOMPARE(m_rig->state.compTemp, 21.0);
}

// clang-format off
void TestPhChannel::noFinitePh_data()
{
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<double>("slope");
    QTest::addColumn<double>("therm1");
    QTest::addColumn<double>("mV");
    QTest::addColumn<QString>("mVText");

    QTest::newRow("slope zero")          << QByteArray("*+2400.00") << 0.0    << 25.0    << 2400.0 << "2400";
    QTest::newRow("slope zero at offset") << QByteArray("*+2577.70") << 0.0   << 25.0    << 2577.7 << "2577.7";
    QTest::newRow("absolute zero")       << QByteArray("*+2400.00") << 4.5427 << -273.15 << 2400.0 << "2400";
    QTest::newRow("overflowing quotient") << QByteArray("*+2400.00") << 1e-310 << 25.0   << 2400.0 << "2400";
}
// clang-format on

void TestPhChannel::noFinitePh()
{
    QFETCH(QByteArray, answer);
    QFETCH(double, slope);
    QFETCH(double, therm1);
    QFETCH(double, mV);
    QFETCH(QString, mVText);

    StationState &s = m_rig->state;
    s.probe1Slope = slope;
    s.therm1Temp = therm1;
    s.probe1pH = 6.5;
    m_rig->lblpH.m_text = "6.5";
    m_rig->answer("6", answer);
    const auto before = ReadCounts::of(s);

    m_rig->ph.ReadPhProbe("6");

    QCOMPARE(s.probe1mV, mV);
    QCOMPARE(s.probe1Volts, mV / 1000);
    QCOMPARE(s.compTemp, therm1);
    QCOMPARE(s.probe1pH, 6.5);
    QCOMPARE(m_rig->displayLog, QStringList{"lblmV text \"" + mVText + "\""});
    QCOMPARE(m_rig->lblpH.text(), QString("6.5"));
    QVERIFY(m_rig->messages.texts.isEmpty());
    QCOMPARE(s.phEnabled, FlagOn);
    // Told onward, the cycle read millivolts and no pH: the last pH is not fresh.
    const CycleReads reads{before, ReadCounts::of(s)};
    QVERIFY(reads.probe(0) && !reads.pH(0));
}

QTEST_GUILESS_MAIN(TestPhChannel)
#include "test_ph_channel.moc"
