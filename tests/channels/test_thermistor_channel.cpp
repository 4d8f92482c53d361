#include "channels/ChannelRig.h"
#include "channels/ThermistorChannel.h"

#include <QtTest>

#include <memory>

namespace {

// A knob the operator keeps turning: every read gives the next value.
class TurningKnob : public Knob
{
public:
    QList<double> values;
    mutable int reads = 0;
    double value() const override { return values.value(reads++); }
    void setValue(double) override { changed.notify(); }
};

} // namespace

class TestThermistorChannel : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void readThermistors_data();
    void readThermistors();
    void labelText_data();
    void labelText();
    void displayOrder();
    void scaleKnobs_data();
    void scaleKnobs();
    void knobReadBeforeEachSlide_data();
    void knobReadBeforeEachSlide();
    void markerReset();

private:
    std::unique_ptr<ChannelRig> m_rig;
};

void TestThermistorChannel::init()
{
    QLocale::setDefault(QLocale(QStringLiteral("en_US")));
    m_rig = std::make_unique<ChannelRig>();
    m_rig->cwbTherm.press();
}

// clang-format off
void TestThermistorChannel::readThermistors_data()
{
    QTest::addColumn<bool>("portOpen");
    QTest::addColumn<QByteArray>("answer1");
    QTest::addColumn<QByteArray>("answer2");
    QTest::addColumn<QByteArray>("answer3");
    QTest::addColumn<QStringList>("polled");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QList<double>>("temps");
    QTest::addColumn<bool>("stillOn");
    QTest::addColumn<QStringList>("labels");

    const QByteArray t1("*+0021.37\r"), t2("*+0021.30\r"), t3("*+-05.50\r");
    const QStringList all{"1", "2", "3"};
    const QString m1 = "No valid return from thermistor 1", m2 = "No valid return from thermistor 2",
                  m3 = "No valid return from thermistor 3", port = "Port Not open";
    const QList<double> before{1.5, 2.5, 3.5};

    QTest::newRow("all three answer")
        << true << t1 << t2 << t3 << all << QStringList{}
        << QList<double>{21.37, 21.3, -5.5} << true << QStringList{"21.37", "21.3", "-5.5"};
    QTest::newRow("empty field from 1 stops")
        << true << QByteArray("*+\r") << t2 << t3 << QStringList{"1"} << QStringList{}
        << before << true << QStringList{"000", "000", "000"};
    QTest::newRow("empty field from 2 stops")
        << true << t1 << QByteArray("*\r") << t3 << QStringList{"1", "2"} << QStringList{}
        << QList<double>{21.37, 2.5, 3.5} << true << QStringList{"21.37", "000", "000"};
    QTest::newRow("2 fails, channel stays on")
        << true << t1 << QByteArray() << t3 << all << QStringList{m2}
        << QList<double>{21.37, 2.5, -5.5} << true << QStringList{"21.37", "000", "-5.5"};
    QTest::newRow("1 garbled, others read")
        << true << QByteArray("*+12a4.5\r") << t2 << t3 << all << QStringList{m1}
        << QList<double>{1.5, 21.3, -5.5} << true << QStringList{"000", "21.3", "-5.5"};
    QTest::newRow("3 fails, group off")
        << true << t1 << t2 << QByteArray("?3\r") << all << QStringList{m3}
        << QList<double>{21.37, 21.3, 3.5} << false << QStringList{"", "", ""};
    QTest::newRow("3 blanks and point")
        << true << t1 << t2 << QByteArray("*+  .  \r") << all << QStringList{m3}
        << QList<double>{21.37, 21.3, 3.5} << false << QStringList{"", "", ""};
    QTest::newRow("all fail")
        << true << QByteArray() << QByteArray() << QByteArray() << all << QStringList{m1, m2, m3}
        << before << false << QStringList{"", "", ""};
    QTest::newRow("closed port: six messages")
        << false << t1 << t2 << t3 << QStringList{} << QStringList{port, m1, port, m2, port, m3}
        << before << false << QStringList{"", "", ""};
}
// clang-format on

void TestThermistorChannel::readThermistors()
{
    QFETCH(bool, portOpen);
    QFETCH(QByteArray, answer1);
    QFETCH(QByteArray, answer2);
    QFETCH(QByteArray, answer3);
    QFETCH(QStringList, polled);
    QFETCH(QStringList, messages);
    QFETCH(QList<double>, temps);
    QFETCH(bool, stillOn);
    QFETCH(QStringList, labels);

    StationState &s = m_rig->state;
    s.therm1Temp = 1.5;
    s.therm2Temp = 2.5;
    s.therm3Temp = 3.5;
    m_rig->port.open_ = portOpen;
    m_rig->port.scriptAddress("1", answer1);
    m_rig->port.scriptAddress("2", answer2);
    m_rig->port.scriptAddress("3", answer3);

    m_rig->thermistors.ReadThermistors();

    QCOMPARE(m_rig->port.polledAddresses(), polled);
    QCOMPARE(m_rig->messages.texts, messages);
    for (int i = 0; i < m_rig->messages.texts.size(); ++i) {
        const bool portMessage = m_rig->messages.texts[i] == "Port Not open";
        QCOMPARE(m_rig->messages.titles[i], QString(portMessage ? "Port Failure" : "Kestrom dgh "));
    }
    QCOMPARE((QList<double>{s.therm1Temp, s.therm2Temp, s.therm3Temp}), temps);
    QCOMPARE(m_rig->cwbTherm.value(), stillOn);
    QCOMPARE(s.thermEnabled, stillOn ? FlagOn : FlagOff);
    QCOMPARE(
        (QStringList{m_rig->lblTherm1.text(), m_rig->lblTherm2.text(), m_rig->lblTherm3.text()}),
        labels);
    if (!stillOn) {
        QCOMPARE(m_rig->CWSlideTherm1.value(), 0.0);
        QCOMPARE(m_rig->CWSlideTherm2.value(), 0.0);
        QCOMPARE(m_rig->CWSlideTherm3.value(), 0.0);
    } else {
        QCOMPARE(m_rig->CWSlideTherm1.values.isEmpty() ? 1.5 : m_rig->CWSlideTherm1.value(),
                 temps[0]);
        QCOMPARE(m_rig->CWSlideTherm2.values.isEmpty() ? 2.5 : m_rig->CWSlideTherm2.value(),
                 temps[1]);
        QCOMPARE(m_rig->CWSlideTherm3.values.isEmpty() ? 3.5 : m_rig->CWSlideTherm3.value(),
                 temps[2]);
    }
}

// clang-format off
void TestThermistorChannel::labelText_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<double>("temp");
    QTest::addColumn<QString>("text");

    QTest::newRow("as sent")              << "en_US" << QByteArray("*+0021.37") << 21.37  << "21.37";
    QTest::newRow("trailing zero dropped") << "en_US" << QByteArray("*+0021.30") << 21.3  << "21.3";
    QTest::newRow("whole degrees")        << "en_US" << QByteArray("*+0022.00") << 22.0   << "22";
    QTest::newRow("decimal comma")        << "de_DE" << QByteArray("*+0021.30") << 21.3   << "21,3";
    QTest::newRow("no grouping")          << "de_DE" << QByteArray("*+1234.50") << 1234.5 << "1234,5";
    QTest::newRow("minus sign")           << "en_US" << QByteArray("*-00012.50") << -12.5 << "-12.5";
    QTest::newRow("plus sign")            << "en_US" << QByteArray("*+00012.50") << 12.5  << "12.5";
    QTest::newRow("blank sign")           << "en_US" << QByteArray("* 00012.50") << 12.5  << "12.5";
    QTest::newRow("minus below zero C")   << "de_DE" << QByteArray("*-0003.20")  << -3.2  << "-3,2";
}
// clang-format on

void TestThermistorChannel::labelText()
{
    QFETCH(QString, locale);
    QFETCH(QByteArray, answer);
    QFETCH(double, temp);
    QFETCH(QString, text);

    QLocale::setDefault(QLocale(locale));
    m_rig->answer("1", answer);
    m_rig->answer("2", "*+0020.00");
    m_rig->answer("3", "*+0020.00");
    m_rig->thermistors.ReadThermistors();

    QCOMPARE(m_rig->state.therm1Temp, temp);
    QCOMPARE(m_rig->lblTherm1.text(), text);
    QCOMPARE(m_rig->CWSlideTherm1.value(), temp);
}

void TestThermistorChannel::displayOrder()
{
    m_rig->answer("1", "*+0011.00");
    m_rig->answer("2", "*+0012.00");
    m_rig->answer("3", "*+0013.00");
    m_rig->thermistors.ReadThermistors();

    QCOMPARE(
        m_rig->displayLog,
        (QStringList{"lblTherm1 text \"11\"", "CWSlideTherm1 value 11", "lblTherm2 text \"12\"",
                     "CWSlideTherm2 value 12", "lblTherm3 text \"13\"", "CWSlideTherm3 value 13"}));
}

// clang-format off
void TestThermistorChannel::scaleKnobs_data()
{
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("maximum");
    QTest::addColumn<QStringList>("log");

    auto scale = [](const QString &end, double v) {
        const QString n = QString::number(v);
        return QStringList{"CWSlideTherm1 " + end + " " + n, "CWSlideTherm2 " + end + " " + n,
                           "CWSlideTherm3 " + end + " " + n};
    };
    QTest::newRow("start-up 5 to 25")   << 5.0  << 25.0 << scale("minimum", 5) + scale("maximum", 25);
    QTest::newRow("max to 30")          << 0.0  << 30.0 << scale("maximum", 30);
    QTest::newRow("min above max")      << 28.0 << 20.0 << scale("minimum", 28) + scale("maximum", 20);
    QTest::newRow("min equal to max")   << 15.0 << 15.0 << scale("minimum", 15) + scale("maximum", 15);
}
// clang-format on

void TestThermistorChannel::scaleKnobs()
{
    QFETCH(double, minimum);
    QFETCH(double, maximum);
    QFETCH(QStringList, log);

    m_rig->state.therm1Temp = 21;
    m_rig->lblTherm1.m_text = "21";
    m_rig->CWtherMin.setValue(minimum);
    m_rig->CWtherMax.setValue(maximum);

    QCOMPARE(m_rig->displayLog, log);
    for (FakeSlide *slide : {static_cast<FakeSlide *>(&m_rig->CWSlideTherm1),
                             static_cast<FakeSlide *>(&m_rig->CWSlideTherm2),
                             static_cast<FakeSlide *>(&m_rig->CWSlideTherm3)}) {
        QCOMPARE(slide->minimum, minimum);
        QCOMPARE(slide->maximum, maximum);
    }
    QCOMPARE(m_rig->state.therm1Temp, 21.0);
    QCOMPARE(m_rig->lblTherm1.text(), QString("21"));
    QVERIFY(m_rig->messages.texts.isEmpty());
}

// clang-format off
void TestThermistorChannel::knobReadBeforeEachSlide_data()
{
    QTest::addColumn<bool>("maximumKnob");

    QTest::newRow("CWtherMin") << false;
    QTest::newRow("CWtherMax") << true;
}
// clang-format on

void TestThermistorChannel::knobReadBeforeEachSlide()
{
    QFETCH(bool, maximumKnob);

    ChannelRig &r = *m_rig;
    // Controls of its own: the rig's channel already hears the rig's.
    FakeSwitch cwbTherm, cwbReset;
    TurningKnob minKnob, maxKnob;
    FakeSlide slide1, slide2, slide3;
    ThermistorChannel channel(r.state, r.link, r.faults.reporter,
                              ThermistorPanel{cwbTherm, cwbReset, minKnob, maxKnob, r.lblTherm1,
                                              r.lblTherm2, r.lblTherm3, slide1, slide2, slide3});
    TurningKnob &knob = maximumKnob ? maxKnob : minKnob;
    knob.values = {10, 11, 12};
    knob.setValue(0);

    QCOMPARE(maximumKnob ? slide1.maximum : slide1.minimum, 10.0);
    QCOMPARE(maximumKnob ? slide2.maximum : slide2.minimum, 11.0);
    QCOMPARE(maximumKnob ? slide3.maximum : slide3.minimum, 12.0);
    // The other end of the scale is left alone.
    QCOMPARE(maximumKnob ? slide1.minimum : slide1.maximum, 0.0);
    QCOMPARE((maximumKnob ? minKnob : maxKnob).reads, 0);
}

void TestThermistorChannel::markerReset()
{
    m_rig->cwbReset.press();
    m_rig->cwbReset.press();

    const QStringList once{"CWSlideTherm1 reset markers", "CWSlideTherm2 reset markers",
                           "CWSlideTherm3 reset markers"};
    QCOMPARE(m_rig->displayLog, once + once);
    QCOMPARE(m_rig->state.thermEnabled, FlagOn);
}

QTEST_GUILESS_MAIN(TestThermistorChannel)
#include "test_thermistor_channel.moc"
