#include "sim/SimulatorOptions.h"

#include <QtTest>

namespace {

std::vector<std::string> words(const QStringList &list)
{
    std::vector<std::string> out;
    for (const QString &word : list)
        out.push_back(word.toStdString());
    return out;
}

} // namespace

class TestSimulatorOptions : public QObject
{
    Q_OBJECT

private slots:
    void accepted_data();
    void accepted();
    void refused_data();
    void refused();
    void fault_data();
    void fault();
};

// clang-format off
void TestSimulatorOptions::accepted_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("link");
    QTest::addColumn<QString>("answers");  // "ADDR=TEXT;..." in address order
    QTest::addColumn<QString>("silent");   // addresses in order
    QTest::addColumn<int>("faults");
    QTest::addColumn<bool>("log");
    QTest::addColumn<qint64>("seed");      // -1: none given
    QTest::addColumn<bool>("exitWithParent");

    QTest::newRow("nothing")      << QStringList{} << "" << "" << "" << 0 << false << qint64(-1) << false;
    QTest::newRow("link")         << QStringList{"--link", "/tmp/COM1"} << "/tmp/COM1" << "" << "" << 0 << false << qint64(-1) << false;
    QTest::newRow("answer")       << QStringList{"--answer", "1=*+0021.37"} << "" << "1=*+0021.37" << "" << 0 << false << qint64(-1) << false;
    QTest::newRow("answerEquals") << QStringList{"--answer", "6==x=y"} << "" << "6==x=y" << "" << 0 << false << qint64(-1) << false;
    QTest::newRow("emptyAnswer")  << QStringList{"--answer", "5="} << "" << "5=" << "" << 0 << false << qint64(-1) << false;
    QTest::newRow("laterWins")    << QStringList{"--answer", "2=a", "--answer", "2=b"} << "" << "2=b" << "" << 0 << false << qint64(-1) << false;
    QTest::newRow("twoSilent")    << QStringList{"--silent", "3", "--silent", "1"} << "" << "" << "13" << 0 << false << qint64(-1) << false;
    QTest::newRow("faults")       << QStringList{"--fault", "late", "--fault", "noise@0.25"} << "" << "" << "" << 2 << false << qint64(-1) << false;
    QTest::newRow("logAndSeed")   << QStringList{"--log", "--seed", "4294967295"} << "" << "" << "" << 0 << true << qint64(4294967295LL) << false;
    QTest::newRow("exitWithParent") << QStringList{"--exit-with-parent"} << "" << "" << "" << 0 << false << qint64(-1) << true;
    QTest::newRow("seedZero")     << QStringList{"--seed", "0"} << "" << "" << "" << 0 << false << qint64(0) << false;
}
// clang-format on

void TestSimulatorOptions::accepted()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, link);
    QFETCH(QString, answers);
    QFETCH(QString, silent);
    QFETCH(int, faults);
    QFETCH(bool, log);
    QFETCH(qint64, seed);
    QFETCH(bool, exitWithParent);

    SimulatorOptions options;
    std::string error;
    QVERIFY2(SimulatorOptions::parse(words(arguments), &options, &error), error.c_str());
    QCOMPARE(QString::fromStdString(options.linkPath), link);
    QStringList answerList;
    for (const auto &[address, text] : options.answers)
        answerList << QString(QChar(address)) + "=" + QString::fromStdString(text);
    QCOMPARE(answerList.join(";"), answers);
    QString silentList;
    for (char address : options.silent)
        silentList += QChar(address);
    QCOMPARE(silentList, silent);
    QCOMPARE(int(options.faults.size()), faults);
    QCOMPARE(options.log, log);
    QCOMPARE(options.exitWithParent, exitWithParent);
    QCOMPARE(options.seedGiven, seed >= 0);
    if (seed >= 0)
        QCOMPARE(qint64(options.seed), seed);
}

// clang-format off
void TestSimulatorOptions::refused_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("mentions"); // a word the reason must contain

    QTest::newRow("unknownOption")   << QStringList{"--frobnicate"}           << "--frobnicate";
    QTest::newRow("linkWithoutPath") << QStringList{"--link"}                 << "--link";
    QTest::newRow("linkEmpty")       << QStringList{"--link", ""}             << "--link";
    QTest::newRow("answerNoEquals")  << QStringList{"--answer", "1"}          << "ADDR=TEXT";
    QTest::newRow("answerLongAddr")  << QStringList{"--answer", "12=*+1"}     << "12=*+1";
    QTest::newRow("answerNoAddr")    << QStringList{"--answer", "=*+1"}       << "=*+1";
    QTest::newRow("answerDollar")    << QStringList{"--answer", "$=x"}        << "$=x";
    QTest::newRow("silentMissing")   << QStringList{"--silent"}               << "--silent";
    QTest::newRow("silentLong")      << QStringList{"--silent", "10"}         << "10";
    QTest::newRow("faultUnknown")    << QStringList{"--fault", "gremlins"}    << "gremlins";
    QTest::newRow("faultRateHigh")   << QStringList{"--fault", "late@1.5"}    << "1.5";
    QTest::newRow("faultRateWord")   << QStringList{"--fault", "late@often"}  << "often";
    QTest::newRow("faultRateEmpty")  << QStringList{"--fault", "late@"}       << "rate";
    QTest::newRow("faultRateNan")    << QStringList{"--fault", "late@nan"}    << "nan";
    QTest::newRow("seedNegative")    << QStringList{"--seed", "-1"}           << "-1";
    QTest::newRow("seedTooLarge")    << QStringList{"--seed", "4294967296"}   << "4294967296";
    QTest::newRow("seedWord")        << QStringList{"--seed", "abc"}          << "abc";
}
// clang-format on

void TestSimulatorOptions::refused()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, mentions);

    SimulatorOptions options;
    options.log = true; // a refused line leaves what the caller had
    std::string error;
    QVERIFY(!SimulatorOptions::parse(words(arguments), &options, &error));
    QVERIFY2(QString::fromStdString(error).contains(mentions), error.c_str());
    QVERIFY(options.log);
}

// clang-format off
void TestSimulatorOptions::fault_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<double>("rate");

    QTest::newRow("refusal")     << "refusal"       << "refusal"   << 1.0;
    QTest::newRow("none")        << "none"          << "none"      << 1.0;
    QTest::newRow("noise")       << "noise@0.5"     << "noise"     << 0.5;
    QTest::newRow("highbit")     << "highbit@0"     << "highbit"   << 0.0;
    QTest::newRow("crlf")        << "crlf@1"        << "crlf"      << 1.0;
    QTest::newRow("late")        << "late@0.125"    << "late"      << 0.125;
    QTest::newRow("truncated")   << "truncated@.75" << "truncated" << 0.75;
}
// clang-format on

void TestSimulatorOptions::fault()
{
    QFETCH(QString, text);
    QFETCH(QString, kind);
    QFETCH(double, rate);

    Fault fault;
    std::string error;
    QVERIFY2(SimulatorOptions::parseFault(text.toStdString(), &fault, &error), error.c_str());
    QCOMPARE(QString(SimulatorOptions::faultName(fault.kind)), kind);
    QCOMPARE(fault.rate, rate);
}

QTEST_GUILESS_MAIN(TestSimulatorOptions)
#include "test_simulator_options.moc"
