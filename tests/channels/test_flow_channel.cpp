#include "channels/ChannelRig.h"

#include <QtTest>

#include <memory>

class TestFlowChannel : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void reading_data();
    void reading();
    void invalidAnswer_data();
    void invalidAnswer();
    void emptyValueField();
    void fieldForms_data();
    void fieldForms();
    void resetTotalWaitsForNextRead();
    void switchedOnAgainKeepsTotal();
    void tankScaleKnob_data();
    void tankScaleKnob();

private:
    std::unique_ptr<ChannelRig> m_rig;
};

void TestFlowChannel::init()
{
    QLocale::setDefault(QLocale(QStringLiteral("en_US")));
    m_rig = std::make_unique<ChannelRig>();
    m_rig->cwbFlow.press();
}

// clang-format off
void TestFlowChannel::reading_data()
{
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<int>("reads");
    QTest::addColumn<double>("startTotal");
    QTest::addColumn<double>("hz");
    QTest::addColumn<QString>("hzText");
    QTest::addColumn<QString>("lpmText");
    QTest::addColumn<QString>("litersText");

    QTest::newRow("115Hz is 1 L/min")     << QByteArray("*+0115.00") << 1  << 0.0    << 115.0   << "115"   << "1"      << "0.02";
    QTest::newRow("60 reads of 115Hz")    << QByteArray("*+0115.00") << 60 << 0.0    << 115.0   << "115"   << "1"      << "1";
    QTest::newRow("exactly 90000 stays")  << QByteArray("*+90000.0") << 1  << 0.0    << 90000.0 << "90000" << "782.61" << "13.04";
    QTest::newRow("90000.01 counts as 0") << QByteArray("*+90000.01") << 1 << 6900.0 << 0.0     << "0"     << "0"      << "1";
    QTest::newRow("adds to the total")    << QByteArray("*+0345.00") << 1  << 6900.0 << 345.0   << "345"   << "3"      << "1.05";
    QTest::newRow("blanks around")        << QByteArray("*+  57.5 ") << 1  << 0.0    << 57.5    << "57.5"  << "0.5"    << "0.01";
    QTest::newRow("zero")                 << QByteArray("*+0000.00") << 1  << 0.0    << 0.0     << "0"     << "0"      << "0";
}
// clang-format on

void TestFlowChannel::reading()
{
    QFETCH(QByteArray, answer);
    QFETCH(int, reads);
    QFETCH(double, startTotal);
    QFETCH(double, hz);
    QFETCH(QString, hzText);
    QFETCH(QString, lpmText);
    QFETCH(QString, litersText);

    StationState &s = m_rig->state;
    s.pulseTotal = startTotal;
    m_rig->answer("5", answer);

    for (int i = 0; i < reads; ++i)
        m_rig->flow.ReadFlow();

    double total = startTotal;
    for (int i = 0; i < reads; ++i)
        total += hz;
    const double lpm = halfEven(hz * 60 / 6900, 2);
    const double liters = halfEven(total / 6900, 2);
    QCOMPARE(s.flowHz, hz);
    QCOMPARE(s.flowLpm, lpm);
    QCOMPARE(s.pulseTotal, total);
    QCOMPARE(s.totalLiters, liters);
    QVERIFY(m_rig->messages.texts.isEmpty());
    QCOMPARE(s.flowEnabled, FlagOn);
    QCOMPARE(m_rig->port.polledAddresses().size(), reads);

    const QStringList lastRead = m_rig->displayLog.mid(m_rig->displayLog.size() - 5);
    QCOMPARE(
        lastRead,
        (QStringList{"lblHz text \"" + hzText + "\"", "lblLitersPerMin text \"" + lpmText + "\"",
                     "CWSlideFlow value " + QString::number(lpm, 'g', 17),
                     "liters text \"" + litersText + "\"",
                     "CWSlideLiters value " + QString::number(liters, 'g', 17)}));
}

// clang-format off
void TestFlowChannel::invalidAnswer_data()
{
    QTest::addColumn<bool>("portOpen");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("messages");

    const QString noValid = "NO VALID RETURN FROM FLOW MODULE";
    QTest::newRow("no answer")        << true  << QByteArray()             << QStringList{noValid};
    QTest::newRow("refusal")          << true  << QByteArray("?5\r")       << QStringList{noValid};
    QTest::newRow("letter in field")  << true  << QByteArray("*+12a4.5\r") << QStringList{noValid};
    QTest::newRow("blanks and point") << true  << QByteArray("*+  .  \r")  << QStringList{noValid};
    QTest::newRow("two points")       << true  << QByteArray("*+1.2.3\r")  << QStringList{noValid};
    QTest::newRow("half an answer")   << true  << QByteArray("*+0115")     << QStringList{noValid};
    QTest::newRow("closed port")      << false << QByteArray()             << QStringList{"Port Not open", noValid};
}
// clang-format on

void TestFlowChannel::invalidAnswer()
{
    QFETCH(bool, portOpen);
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, messages);

    m_rig->presetReadings();
    m_rig->port.open_ = portOpen;
    if (!bytes.isEmpty())
        m_rig->port.scriptAddress("5", bytes);
    QList<Flag> flagWhileShown;
    m_rig->messages.onShow = [&] { flagWhileShown << m_rig->state.flowEnabled; };

    m_rig->flow.ReadFlow();

    QCOMPARE(m_rig->messages.texts, messages);
    QCOMPARE(m_rig->messages.titles.last(), QString("Kestrom dgh "));
    QCOMPARE(flagWhileShown.last(), FlagOn);
    QCOMPARE(m_rig->cwbFlow.value(), false);
    QCOMPARE(m_rig->state.flowEnabled, FlagOff);
    QCOMPARE(m_rig->displayLog,
             (QStringList{"lblHz text \"\"", "lblLitersPerMin text \"\"", "liters text \"\"",
                          "CWSlideFlow value 0", "CWSlideLiters value 0"}));
    QCOMPARE(m_rig->changedReadings(), QStringList());
}

void TestFlowChannel::emptyValueField()
{
    m_rig->state.pulseTotal = 500;
    m_rig->answer("5", "*+");
    m_rig->flow.ReadFlow();

    QVERIFY(m_rig->messages.texts.isEmpty());
    QVERIFY(m_rig->displayLog.isEmpty());
    QCOMPARE(m_rig->state.flowEnabled, FlagOn);
    QCOMPARE(m_rig->state.pulseTotal, 500.0);
    QCOMPARE(m_rig->state.flowHz, 0.0);
}

// clang-format off
void TestFlowChannel::fieldForms_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<double>("hz");

    QByteArray highBit("*+0115.00\r");
    for (char &c : highBit)
        c = static_cast<char>(c | 0x80);

    QTest::newRow("high bit set")         << "en_US" << highBit                          << true  << 115.0;
    QTest::newRow("only 8 field chars")   << "en_US" << QByteArray("*+0021.3799999\r")   << true  << 21.379;
    QTest::newRow("period under de_DE")   << "de_DE" << QByteArray("*+0021.50\r")        << true  << 21.5;
    QTest::newRow("comma under de_DE")    << "de_DE" << QByteArray("*+0021,50\r")        << false << 0.0;
    QTest::newRow("exponent")             << "en_US" << QByteArray("*+1.5e2\r")          << false << 0.0;
    QTest::newRow("hexadecimal")          << "en_US" << QByteArray("*+0x1F\r")           << false << 0.0;
    QTest::newRow("inf")                  << "en_US" << QByteArray("*+inf\r")            << false << 0.0;
    QTest::newRow("nan")                  << "en_US" << QByteArray("*+nan\r")            << false << 0.0;
    QTest::newRow("NUL inside")           << "en_US" << QByteArray("*+01\0" "15.0\r", 11) << false << 0.0;
    QTest::newRow("sign twice")           << "en_US" << QByteArray("*++-115.0\r")        << false << 0.0;
    QTest::newRow("blank inside")         << "en_US" << QByteArray("*+1 15.00\r")        << false << 0.0;
}
// clang-format on

void TestFlowChannel::fieldForms()
{
    QFETCH(QString, locale);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, accepted);
    QFETCH(double, hz);

    QLocale::setDefault(QLocale(locale));
    m_rig->port.scriptAddress("5", bytes);
    m_rig->flow.ReadFlow();

    QCOMPARE(m_rig->messages.texts.isEmpty(), accepted);
    QCOMPARE(m_rig->state.flowEnabled, accepted ? FlagOn : FlagOff);
    QCOMPARE(m_rig->state.flowHz, hz);
    QCOMPARE(m_rig->state.pulseTotal, hz);
    for (const QString &text : m_rig->allLabelTexts())
        QVERIFY2(!text.contains("inf") && !text.contains("nan"), qPrintable(text));
}

void TestFlowChannel::resetTotalWaitsForNextRead()
{
    m_rig->answer("5", "*+6900.00");
    m_rig->flow.ReadFlow();
    QCOMPARE(m_rig->liters.text(), QString("1"));

    m_rig->CWButton3.press();
    QCOMPARE(m_rig->state.pulseTotal, 0.0);
    QCOMPARE(m_rig->state.totalLiters, 1.0);
    QCOMPARE(m_rig->liters.text(), QString("1"));
    QCOMPARE(m_rig->CWSlideLiters.value(), 1.0);

    // Each press is a change, whichever way the button goes.
    m_rig->state.pulseTotal = 42;
    m_rig->CWButton3.press();
    QCOMPARE(m_rig->state.pulseTotal, 0.0);

    m_rig->flow.ReadFlow();
    QCOMPARE(m_rig->state.totalLiters, 1.0);
    QCOMPARE(m_rig->state.pulseTotal, 6900.0);
}

void TestFlowChannel::switchedOnAgainKeepsTotal()
{
    m_rig->answer("5", "*+0115.00");
    m_rig->port.scriptAddress("5", QByteArray());
    m_rig->answer("5", "*+0115.00");

    m_rig->flow.ReadFlow();
    m_rig->flow.ReadFlow(); // no answer: switched off
    QCOMPARE(m_rig->state.flowEnabled, FlagOff);
    QCOMPARE(m_rig->state.pulseTotal, 115.0);

    m_rig->cwbFlow.press();
    QCOMPARE(m_rig->state.flowEnabled, FlagOn);
    QCOMPARE(m_rig->liters.text(), QString()); // blank until the next read
    m_rig->flow.ReadFlow();
    QCOMPARE(m_rig->state.pulseTotal, 230.0);
    QCOMPARE(m_rig->state.totalLiters, halfEven(230.0 / 6900, 2));
}

// clang-format off
void TestFlowChannel::tankScaleKnob_data()
{
    QTest::addColumn<QList<double>>("turns");
    QTest::addColumn<double>("maximum");

    QTest::newRow("once to 100")       << QList<double>{100}      << 100.0;
    QTest::newRow("up then down")      << QList<double>{400, 25}  << 25.0;
    QTest::newRow("fractional")        << QList<double>{137.5}    << 137.5;
}
// clang-format on

void TestFlowChannel::tankScaleKnob()
{
    QFETCH(QList<double>, turns);
    QFETCH(double, maximum);

    m_rig->state.totalLiters = 3;
    for (double value : turns)
        m_rig->CWKnobflow.setValue(value);

    QCOMPARE(m_rig->CWSlideLiters.maximum, maximum);
    QCOMPARE(m_rig->CWSlideLiters.minimum, 0.0);
    QCOMPARE(m_rig->displayLog.filter("CWSlideLiters maximum").size(), turns.size());
    QCOMPARE(m_rig->state.totalLiters, 3.0);
}

QTEST_GUILESS_MAIN(TestFlowChannel)
#include "test_flow_channel.moc"
