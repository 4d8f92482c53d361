#include "calibration/CalibrationText.h"

#include <QtTest>

class TestCalibrationText : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }
    void toNumber_data();
    void toNumber();
    void toDate_data();
    void toDate();
    void dateRoundTrip_data();
    void dateRoundTrip();
};

// clang-format off
void TestCalibrationText::toNumber_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("isNumber");
    QTest::addColumn<double>("value");

    QTest::newRow("default")            << "en_US" << "2.5777"   << true  << 2.5777;
    QTest::newRow("trailingZeros")      << "en_US" << "4.53580"  << true  << 4.5358;
    QTest::newRow("blanksAround")       << "en_US" << " 2.5 "    << true  << 2.5;
    QTest::newRow("negative")           << "en_US" << "-0.0125"  << true  << -0.0125;
    QTest::newRow("whole")              << "en_US" << "3"        << true  << 3.0;
    QTest::newRow("commaDecimal")       << "de_DE" << "2,5777"   << true  << 2.5777;
    QTest::newRow("periodOnCommaLocale") << "de_DE" << "2.5777"  << true  << 2.5777;
    QTest::newRow("groupingRefused")    << "en_US" << "1,000.5"  << false << 0.0;
    QTest::newRow("commaOnPeriodLocale") << "en_US" << "2,5"     << false << 0.0;
    QTest::newRow("empty")              << "en_US" << ""         << false << 0.0;
    QTest::newRow("blank")              << "en_US" << "   "      << false << 0.0;
    QTest::newRow("letters")            << "en_US" << "abc"      << false << 0.0;
    QTest::newRow("trailingLetters")    << "en_US" << "2.5x"     << false << 0.0;
    QTest::newRow("notANumber")         << "en_US" << "nan"      << false << 0.0;
    QTest::newRow("infinite")           << "en_US" << "inf"      << false << 0.0;
    QTest::newRow("twoPeriods")         << "en_US" << "2.5.7"    << false << 0.0;
}
// clang-format on

void TestCalibrationText::toNumber()
{
    QFETCH(QString, locale);
    QFETCH(QString, text);
    QFETCH(bool, isNumber);
    QFETCH(double, value);

    QLocale::setDefault(QLocale(locale));
    double parsed = -99;
    QCOMPARE(CalibrationText::toNumber(text, &parsed), isNumber);
    if (isNumber)
        QCOMPARE(parsed, value);
    else
        QCOMPARE(parsed, -99.0); // left untouched
}

// clang-format off
void TestCalibrationText::toDate_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDate>("date");

    QTest::newRow("oldDefault")          << "en_US" << "01/01/01"   << QDate(2001, 1, 1);
    QTest::newRow("oldDefaultC")         << "C"     << "01/01/01"   << QDate(2001, 1, 1);
    QTest::newRow("iso")                 << "en_US" << "2001-01-01" << QDate(2001, 1, 1);
    QTest::newRow("isoOnGerman")         << "de_DE" << "2026-12-07" << QDate(2026, 12, 7);
    QTest::newRow("monthFirst")          << "en_US" << "12/31/01"   << QDate(2001, 12, 31);
    QTest::newRow("monthFirstC")         << "C"     << "12/31/01"   << QDate(2001, 12, 31);
    QTest::newRow("dayFirstGerman")      << "de_DE" << "31.12.01"   << QDate(2001, 12, 31);
    QTest::newRow("dayFirstBritish")     << "en_GB" << "31/12/2001" << QDate(2001, 12, 31);
    QTest::newRow("fourDigitYear")       << "en_US" << "1/2/1999"   << QDate(1999, 1, 2);
    QTest::newRow("windowTop2029")       << "en_US" << "1/2/29"     << QDate(2029, 1, 2);
    QTest::newRow("windowBottom1930")    << "en_US" << "1/2/30"     << QDate(1930, 1, 2);
    QTest::newRow("ninetyNine")          << "en_US" << "12/31/99"   << QDate(1999, 12, 31);
    QTest::newRow("blanksAround")        << "en_US" << " 3/4/05 "   << QDate(2005, 3, 4);
    QTest::newRow("noSuchMonth")         << "en_US" << "13/01/01"   << QDate();
    QTest::newRow("noSuchDay")           << "en_US" << "02/30/01"   << QDate();
    QTest::newRow("mixedSeparators")     << "en_US" << "01/01-01"   << QDate();
    QTest::newRow("words")               << "en_US" << "yesterday"  << QDate();
    QTest::newRow("empty")               << "en_US" << ""           << QDate();
}
// clang-format on

void TestCalibrationText::toDate()
{
    QFETCH(QString, locale);
    QFETCH(QString, text);
    QFETCH(QDate, date);

    QCOMPARE(CalibrationText::toDate(text, QLocale(locale)), date);
}

// clang-format off
void TestCalibrationText::dateRoundTrip_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QDate>("date");

    // Dates whose two-digit years or day/month order a short form would confuse.
    QTest::newRow("defaultDate")  << "en_US" << QDate(2001, 1, 1);
    QTest::newRow("before1930")   << "en_US" << QDate(1925, 6, 15);
    QTest::newRow("after2029")    << "en_US" << QDate(2031, 2, 28);
    QTest::newRow("dayBelow13")   << "de_DE" << QDate(2026, 3, 4);
    QTest::newRow("leapDay")      << "en_GB" << QDate(2024, 2, 29);
}
// clang-format on

void TestCalibrationText::dateRoundTrip()
{
    QFETCH(QString, locale);
    QFETCH(QDate, date);

    const QString text = CalibrationText::fromDate(date);
    QCOMPARE(CalibrationText::toDate(text, QLocale(locale)), date);
    // The written form is the same on every locale.
    QLocale::setDefault(QLocale(locale));
    QCOMPARE(CalibrationText::fromDate(date), text);
}

QTEST_GUILESS_MAIN(TestCalibrationText)
#include "test_calibration_text.moc"
