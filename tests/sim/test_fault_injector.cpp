#include "sim/FaultInjector.h"

#include <QtTest>

class TestFaultInjector : public QObject
{
    Q_OBJECT

private slots:
    void apply_data();
    void apply();
    void noiseNeverLooksLikeAnAnswer();
    void rateIsAChancePerAnswer_data();
    void rateIsAChancePerAnswer();
    void firstFaultThatStrikesWins();
};

// clang-format off
void TestFaultInjector::apply_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("extraDelayMs");

    QTest::newRow("refusal")   << "refusal"   << QByteArray("?1 SYNTAX ERROR\r")                     << 0;
    QTest::newRow("none")      << "none"      << QByteArray()                                        << 0;
    QTest::newRow("highbit")   << "highbit"   << QByteArray("\xaa\xab\xb0\xb0\xb2\xb1\xae\xb3\xb7\x8d") << 0;
    QTest::newRow("crlf")      << "crlf"      << QByteArray("*+0021.37\r\n")                         << 0;
    QTest::newRow("late")      << "late"      << QByteArray("*+0021.37\r")                           << 50;
    QTest::newRow("truncated") << "truncated" << QByteArray("*+002")                                 << 0;
}
// clang-format on

void TestFaultInjector::apply()
{
    QFETCH(QString, kind);
    QFETCH(QByteArray, bytes);
    QFETCH(int, extraDelayMs);

    Fault fault;
    std::string error;
    QVERIFY(SimulatorOptions::parseFault(kind.toStdString(), &fault, &error));
    std::mt19937 random(1);
    const Transmission sent = FaultInjector::apply(fault.kind, "*+0021.37", '1', random);
    QCOMPARE(QByteArray::fromStdString(sent.bytes), bytes);
    QCOMPARE(int(sent.extraDelay.count()), extraDelayMs);
}

void TestFaultInjector::noiseNeverLooksLikeAnAnswer()
{
    std::mt19937 random(5);
    for (int i = 0; i < 500; ++i) {
        const QByteArray bytes = QByteArray::fromStdString(
            FaultInjector::apply(FaultKind::Noise, "*+0021.37", '1', random).bytes);
        QVERIFY(bytes.endsWith("*+0021.37\r"));
        const QByteArray noise = bytes.left(bytes.size() - 10);
        QVERIFY(!noise.isEmpty());
        for (char byte : noise) {
            const char low = char(byte & 0x7f);
            QVERIFY2(low != '*' && low != '?' && low != '\r', noise.toHex().constData());
        }
    }
}

// clang-format off
void TestFaultInjector::rateIsAChancePerAnswer_data()
{
    QTest::addColumn<double>("rate");
    QTest::addColumn<int>("fewest"); // of 2000 answers, far beyond chance either way
    QTest::addColumn<int>("most");

    QTest::newRow("never")   << 0.0  << 0    << 0;
    QTest::newRow("quarter") << 0.25 << 400  << 600;
    QTest::newRow("half")    << 0.5  << 880  << 1120;
    QTest::newRow("always")  << 1.0  << 2000 << 2000;
}
// clang-format on

void TestFaultInjector::rateIsAChancePerAnswer()
{
    QFETCH(double, rate);
    QFETCH(int, fewest);
    QFETCH(int, most);

    FaultInjector faults({Fault{FaultKind::None, rate}}, 11);
    int spoiled = 0;
    for (int i = 0; i < 2000; ++i) {
        const Transmission sent = faults.shape("*+0021.37", '1');
        if (sent.bytes.empty())
            ++spoiled;
        else
            QCOMPARE(QByteArray::fromStdString(sent.bytes), QByteArray("*+0021.37\r"));
    }
    QVERIFY2(spoiled >= fewest && spoiled <= most, qPrintable(QString::number(spoiled)));
}

void TestFaultInjector::firstFaultThatStrikesWins()
{
    FaultInjector faults({Fault{FaultKind::CrLf, 1.0}, Fault{FaultKind::None, 1.0}}, 3);
    QCOMPARE(QByteArray::fromStdString(faults.shape("*+1", '2').bytes), QByteArray("*+1\r\n"));
}

QTEST_GUILESS_MAIN(TestFaultInjector)
#include "test_fault_injector.moc"
