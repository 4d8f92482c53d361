#include "sim/ModuleModel.h"
#include "station/ModuleLink.h"

#include <QtTest>

#include <cmath>

using namespace std::chrono;

namespace {

// pH from probe millivolts as the station computes it, for the default calibration.
double stationPh(double millivolts, double celsius)
{
    return 7.0 + (millivolts / 1000.0 - 2.5777) / (0.000198416 * 4.5427 * (celsius + 273.15));
}

} // namespace

class TestModuleModel : public QObject
{
    Q_OBJECT

private slots:
    void formatAnswer_data();
    void formatAnswer();
    void readingsStayInRange_data();
    void readingsStayInRange();
    void sameSeedSameReadings();
    void onlyTheSixModulesAnswer_data();
    void onlyTheSixModulesAnswer();
};

// clang-format off
void TestModuleModel::formatAnswer_data()
{
    QTest::addColumn<char>("address");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("answer");

    QTest::newRow("temperature")     << '1' << 21.37    << "*+0021.37";
    QTest::newRow("coldTemperature") << '2' << -5.5     << "*-0005.50";
    QTest::newRow("roundsToCents")   << '3' << 18.004   << "*+0018.00";
    QTest::newRow("flowTop")         << '5' << 300.0    << "*+0300.00";
    QTest::newRow("flowLow")         << '5' << 50.25    << "*+0050.25";
    QTest::newRow("probeNeutral")    << '6' << 2577.7   << "*+02577.70";
    QTest::newRow("probeLow")        << '7' << 2049.125 << "*+02049.12";
}
// clang-format on

void TestModuleModel::formatAnswer()
{
    QFETCH(char, address);
    QFETCH(double, value);
    QFETCH(QString, answer);

    const QString text = QString::fromStdString(ModuleModel::formatAnswer(address, value));
    QCOMPARE(text, answer);
    // The station reads the number from characters 3 to 10.
    bool isNumber = false;
    const double field = ModuleLink::valueField(text).toDouble(&isNumber);
    QVERIFY(isNumber);
    QVERIFY(std::fabs(field - std::fabs(value)) <= 0.00501);
}

// clang-format off
void TestModuleModel::readingsStayInRange_data()
{
    QTest::addColumn<char>("address");
    QTest::addColumn<double>("low");  // in the unit the station shows
    QTest::addColumn<double>("high");

    QTest::newRow("thermistor1") << '1' << 18.0 << 26.0;
    QTest::newRow("thermistor2") << '2' << 18.0 << 26.0;
    QTest::newRow("thermistor3") << '3' << 18.0 << 26.0;
    QTest::newRow("flowHz")      << '5' << 50.0 << 300.0;
    QTest::newRow("probe1pH")    << '6' << 5.0  << 9.0;
    QTest::newRow("probe2pH")    << '7' << 5.0  << 9.0;
}
// clang-format on

void TestModuleModel::readingsStayInRange()
{
    QFETCH(char, address);
    QFETCH(double, low);
    QFETCH(double, high);

    // A week of one reading a second, then some long gaps.
    const bool probe = address == '6' || address == '7';
    for (std::uint32_t seed : {1u, 2u, 3u}) {
        ModuleModel model(seed);
        auto now = ModuleModel::TimePoint{} + hours(1);
        double lowest = 1e9;
        double highest = -1e9;
        for (int i = 0; i < 7 * 24 * 3600; ++i) {
            now += i % 100000 == 99999 ? hours(30) : seconds(1);
            const auto reading = model.reading(address, now);
            QVERIFY(reading.has_value());
            // The station's own conversion, at both ends of the thermistors' range.
            const double shown = probe ? stationPh(*reading, 20.0) : *reading;
            lowest = std::min(lowest, probe ? std::min(shown, stationPh(*reading, 26.0)) : shown);
            highest = std::max(highest, probe ? std::max(shown, stationPh(*reading, 26.0)) : shown);
        }
        QVERIFY2(lowest >= low && highest <= high,
                 qPrintable(QString("seed %1: %2 .. %3").arg(seed).arg(lowest).arg(highest)));
        // It drifts: a week covers a fair part of the range.
        QVERIFY2(highest - lowest > (high - low) / 10,
                 qPrintable(QString("seed %1: %2 .. %3").arg(seed).arg(lowest).arg(highest)));
    }
}

void TestModuleModel::sameSeedSameReadings()
{
    ModuleModel first(42);
    ModuleModel second(42);
    ModuleModel other(43);
    auto now = ModuleModel::TimePoint{} + hours(1);
    bool differs = false;
    for (int i = 0; i < 100; ++i) {
        now += seconds(1);
        const double a = *first.reading('6', now);
        QCOMPARE(*second.reading('6', now), a);
        differs = differs || *other.reading('6', now) != a;
    }
    QVERIFY(differs);
}

// clang-format off
void TestModuleModel::onlyTheSixModulesAnswer_data()
{
    QTest::addColumn<char>("address");
    QTest::addColumn<bool>("present");
    for (char address : {'0', '1', '2', '3', '4', '5', '6', '7', '8', 'A'}) {
        const bool present = address == '1' || address == '2' || address == '3'
                             || address == '5' || address == '6' || address == '7';
        QTest::newRow(qPrintable(QString("address%1").arg(address))) << address << present;
    }
}
// clang-format on

void TestModuleModel::onlyTheSixModulesAnswer()
{
    QFETCH(char, address);
    QFETCH(bool, present);
    ModuleModel model(1);
    QCOMPARE(ModuleModel::hasModule(address), present);
    QCOMPARE(model.reading(address, ModuleModel::TimePoint{}).has_value(), present);
}

QTEST_GUILESS_MAIN(TestModuleModel)
#include "test_module_model.moc"
