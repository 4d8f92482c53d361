#include "calibration/BufferCalibration.h"
#include "calibration/BufferSession.h"
#include "calibration/BufferTables.h"
#include "calibration/StabilityWindow.h"
#include "station/StationState.h"

#include <QtTest>

namespace {

QString fixed(double value, int decimals)
{
    const QString text = QString::number(value, 'f', decimals);
    return text.startsWith('-') && text.count('0') == text.size() - 2 ? text.mid(1) : text;
}

} // namespace

// The buffer assistant's arithmetic against values worked out by hand.
class TestBufferCalibration : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    // clang-format off
    void bufferAtTemperature_data()
    {
        QTest::addColumn<double>("nominal");
        QTest::addColumn<double>("celsius");
        QTest::addColumn<double>("ph");

        QTest::newRow("borax10")        << 9.18  << 10.0 << 9.332;
        QTest::newRow("borax30")        << 9.18  << 30.0 << 9.139;
        QTest::newRow("phthalate10")    << 4.01  << 10.0 << 3.998;
        QTest::newRow("phthalate30")    << 4.01  << 30.0 << 4.015;
        QTest::newRow("technical7at30") << 7.00  << 30.0 << 6.99;
        QTest::newRow("phosphateMiddle") << 6.86 << 22.5 << 6.873; // halfway from 6.881 to 6.865
        QTest::newRow("belowTable")     << 10.01 << -5.0 << 10.32; // held at 0 degC
        QTest::newRow("typedIn")        << 5.5   << 10.0 << 5.5;   // no table: as it stands
    }
    // clang-format on

    void bufferAtTemperature()
    {
        QFETCH(double, nominal);
        QFETCH(double, celsius);
        QFETCH(double, ph);
        QCOMPARE(fixed(BufferTables::atTemperature(nominal, celsius).ph, 4), fixed(ph, 4));
    }

    // clang-format off
    void fit_data()
    {
        // Readings as {buffer pH at its temperature, degC, mV}; expected
        // "offset slope", the residuals in pH, the warnings, or the problem.
        QTest::addColumn<QVector<QVector<double>>>("readings");
        QTest::addColumn<QString>("result");
        QTest::addColumn<QString>("residuals");
        QTest::addColumn<int>("warnings");

        // 7.00: u = 0, so the offset is its volts; 4.008 at 25 degC:
        // u = 0.000198416 x 298.15 x -2.992 = -0.1770, slope 0.8028 V / 0.1770.
        QTest::newRow("twoWithSeven")    << QVector<QVector<double>>{{7.00, 25, 2453.00}, {4.008, 25, 1650.16}}
                                         << "2.4530 4.5358" << "0.000 0.000" << 0;
        QTest::newRow("twoWithoutSeven") << QVector<QVector<double>>{{4.008, 25, 1721.20}, {9.180, 25, 3067.44}}
                                         << "2.5000 4.4000" << "0.000 0.000" << 0;
        // Least squares through three buffers at 10, 20 and 30 degC, the middle one 3 mV high.
        QTest::newRow("threeBuffers")    << QVector<QVector<double>>{{3.998, 10, 1824.78}, {7.02, 20, 2558.00}, {9.97, 30, 3318.17}}
                                         << "2.5510 4.2999" << "-0.004 0.008 -0.004" << 0;
        // 80 % of the default slope.
        QTest::newRow("worn")            << QVector<QVector<double>>{{7.00, 25, 2577.70}, {4.008, 25, 1934.50}}
                                         << "2.5777 3.6339" << "0.000 0.000" << 1;
        // 0.2 V from the default offset and 70 %: two warnings.
        QTest::newRow("farOffWorn")      << QVector<QVector<double>>{{7.00, 25, 2377.70}, {4.008, 25, 1814.70}}
                                         << "2.3777 3.1808" << "0.000 0.000" << 2;
        QTest::newRow("oneBuffer")       << QVector<QVector<double>>{{7.00, 25, 2453.00}}
                                         << "Capture at least two buffers." << "" << 0;
        QTest::newRow("samePh")          << QVector<QVector<double>>{{7.00, 25, 2453.00}, {7.00, 24, 2460.00}}
                                         << "The buffers lie only 0.00 pH apart: use buffers at least 1 pH apart, such as 4.01 and 7.00." << "" << 0;
        QTest::newRow("tooClose")        << QVector<QVector<double>>{{6.86, 25, 2440.00}, {7.00, 25, 2453.00}}
                                         << "The buffers lie only 0.14 pH apart: use buffers at least 1 pH apart, such as 4.01 and 7.00." << "" << 0;
        QTest::newRow("slopeZero")       << QVector<QVector<double>>{{4.008, 25, 2453.00}, {7.00, 25, 2453.00}}
                                         << "These readings give a slope of 0.0000, where the millivolts must rise with the pH: check that each buffer was captured in its own row and that the probe answers." << "" << 0;
        QTest::newRow("slopeNegative")   << QVector<QVector<double>>{{4.008, 25, 3255.00}, {7.00, 25, 2453.00}}
                                         << "These readings give a slope of -4.5311, where the millivolts must rise with the pH: check that each buffer was captured in its own row and that the probe answers." << "" << 0;
    }
    // clang-format on

    void fit()
    {
        QFETCH(QVector<QVector<double>>, readings);
        QFETCH(QString, result);
        QFETCH(QString, residuals);
        QFETCH(int, warnings);

        QVector<BufferCalibration::Reading> taken;
        for (const QVector<double> &r : readings)
            taken.append({r[0], r[1], r[2]});
        const BufferCalibration::Result fitted = BufferCalibration::fit(taken, QLocale::c());
        if (!fitted.ok) {
            QCOMPARE(fitted.problem, result);
            return;
        }
        QCOMPARE(fixed(fitted.offset, 4) + ' ' + fixed(fitted.slope, 4), result);
        QStringList shown;
        for (const double residual : fitted.residuals)
            shown << fixed(residual, 3);
        QCOMPARE(shown.join(' '), residuals);
        QCOMPARE(fitted.warnings(QLocale::c()).size(), warnings);
    }

    // clang-format off
    void stability_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<double>("mvStep");  // millivolts added per reading
        QTest::addColumn<double>("tempStep");
        QTest::addColumn<bool>("stable");

        QTest::newRow("tenSteady")   << 10 << 0.04 << 0.02 << true;  // 0.36 mV, 0.18 degC
        QTest::newRow("nineSteady")  << 9  << 0.0  << 0.0  << false;
        QTest::newRow("mvAtLimit")   << 10 << 0.5 / 9 << 0.0 << false; // exactly 0.5 mV is not below it
        QTest::newRow("warming")     << 10 << 0.0  << 0.03 << false; // 0.27 degC
        QTest::newRow("lastTenOnly") << 25 << 0.04 << 0.0  << true;  // older readings let go
    }
    // clang-format on

    void stability()
    {
        QFETCH(int, count);
        QFETCH(double, mvStep);
        QFETCH(double, tempStep);
        QFETCH(bool, stable);

        StabilityWindow window;
        for (int i = 0; i < count; ++i)
            window.add(2453 + i * mvStep, 25 + i * tempStep);
        QCOMPARE(window.isStable(), stable);
        const int held = std::min(count, StabilityWindow::Count);
        QCOMPARE(window.size(), held);
        // The mean of the readings held: the middle of an even ramp.
        QCOMPARE(fixed(window.meanMillivolts(), 6),
                 fixed(2453 + (count - 1 + count - held) / 2.0 * mvStep, 6));
    }

    // clang-format off
    void session_data()
    {
        QTest::addColumn<bool>("phOn");
        QTest::addColumn<bool>("thermOn");
        QTest::addColumn<int>("freshReadings"); // of 8 looks a second apart, the first ones fresh
        QTest::addColumn<QString>("blocker");
        QTest::addColumn<QString>("note");

        QTest::newRow("polling")  << true  << true  << 8 << "" << "";
        QTest::newRow("phOff")    << false << true  << 8
            << "pH polling is off: switch on the pH group in the main window." << "";
        QTest::newRow("probeStopsAnswering") << true << true << 2
            << "pH Probe #2 has given no reading for 6 s: check the probe and its module." << "";
        QTest::newRow("thermistorsOff") << true << false << 8 << ""
            << "Thermistor polling is off: the probe is compensated at 18.5 °C, the last temperature of thermistor 3.";
    }
    // clang-format on

    void session()
    {
        QFETCH(bool, phOn);
        QFETCH(bool, thermOn);
        QFETCH(int, freshReadings);
        QFETCH(QString, blocker);
        QFETCH(QString, note);

        StationState state;
        state.phEnabled = phOn ? FlagOn : FlagOff;
        state.thermEnabled = thermOn ? FlagOn : FlagOff;
        state.probe2TempSource = 3;
        state.therm3Temp = 18.5;
        BufferSession session(state);
        session.setProbe(2);
        for (int second = 0; second < 8; ++second) {
            if (second < freshReadings) {
                state.probe2mV = 2450 + second * 0.01;
                ++state.probe2Reads;
            }
            session.look(second * 1000);
        }
        QCOMPARE(session.blocker(), blocker);
        QCOMPARE(session.temperatureNote(), note);
        // Only fresh readings of the probe count, and only while it is polled.
        QCOMPARE(session.window().size(), phOn ? freshReadings : 0);
        QString why;
        QCOMPARE(session.capture(0, 7.00, &why), blocker.isEmpty());
        QCOMPARE(why, blocker);
        if (blocker.isEmpty()) {
            QCOMPARE(session.row(0).celsius, 18.5);
            QCOMPARE(fixed(session.row(0).millivolts, 3), fixed(2450 + 0.035, 3));
        }
    }
};

QTEST_GUILESS_MAIN(TestBufferCalibration)
#include "test_buffer_calibration.moc"
