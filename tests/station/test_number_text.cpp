#include "station/NumberText.h"
#include "station/OleDate.h"

#include <QtTest>

class TestNumberText : public QObject
{
    Q_OBJECT

private slots:
    void roundHalfEven_data();
    void roundHalfEven();
    void display_data();
    void display();
    void parseValueField_data();
    void parseValueField();
    void oleDates();
};

// clang-format off
void TestNumberText::roundHalfEven_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<double>("rounded");

    QTest::newRow("halfEven70000.5") << 7.00005 << 4 << 7.0;
    QTest::newRow("halfEven70001.5") << 7.00015 << 4 << 7.0002;
    QTest::newRow("halfDownTo2")     << 2.5     << 0 << 2.0;
    QTest::newRow("halfUpTo4")       << 3.5     << 0 << 4.0;
    QTest::newRow("negativeHalf")    << -2.5    << 0 << -2.0;
    QTest::newRow("twoDecimals")     << 782.6086956 << 2 << 782.61;
    QTest::newRow("alreadyRound")    << 1.5     << 2 << 1.5;
}
// clang-format on

void TestNumberText::roundHalfEven()
{
    QFETCH(double, value);
    QFETCH(int, decimals);
    QFETCH(double, rounded);
    // The scaled value is what decides: check the rows really sit on a half.
    QCOMPARE(NumberText::roundHalfEven(value, decimals), rounded);
}

// clang-format off
void TestNumberText::display_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("text");

    QTest::newRow("trailingZeroDropped") << 21.30 << "en_US" << "21.3";
    QTest::newRow("decimalComma")        << 21.3  << "de_DE" << "21,3";
    QTest::newRow("whole")               << 22.0  << "en_US" << "22";
    QTest::newRow("noGrouping")          << 90000.0 << "de_DE" << "90000";
    QTest::newRow("negative")            << -35.2 << "en_US" << "-35.2";
    QTest::newRow("negativeZero")        << -0.0  << "en_US" << "0";
    QTest::newRow("fifteenDigits")       << 1.0 / 3 << "en_US" << "0.333333333333333";
    QTest::newRow("sevenEightyTwo")      << 782.61 << "en_US" << "782.61";
}
// clang-format on

void TestNumberText::display()
{
    QFETCH(double, value);
    QFETCH(QString, locale);
    QFETCH(QString, text);
    QCOMPARE(NumberText::display(value, QLocale(locale)), text);
}

// clang-format off
void TestNumberText::parseValueField_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<double>("value");

    QTest::newRow("signedPlus")    << "+0021.37" << true  << 21.37;
    QTest::newRow("signedMinus")   << "-0035.20" << true  << -35.2;
    QTest::newRow("blanksAround")  << " 21.5 "   << true  << 21.5;
    QTest::newRow("noDigitsBefore") << ".5"      << true  << 0.5;
    QTest::newRow("trailingPoint") << "12."      << true  << 12.0;
    QTest::newRow("letterInside")  << "+12a4.5"  << false << 0.0;
    QTest::newRow("blanksAndPoint") << "+  .  "  << false << 0.0;
    QTest::newRow("signOnly")      << "+"        << false << 0.0;
    QTest::newRow("empty")         << ""         << false << 0.0;
    QTest::newRow("comma")         << "21,5"     << false << 0.0;
    QTest::newRow("exponent")      << "1e5"      << false << 0.0;
    QTest::newRow("infinity")      << "inf"      << false << 0.0;
    QTest::newRow("twoSigns")      << "+-1"      << false << 0.0;
    QTest::newRow("innerBlank")    << "12 3"     << false << 0.0;
}
// clang-format on

void TestNumberText::parseValueField()
{
    QFETCH(QString, field);
    QFETCH(bool, ok);
    QFETCH(double, value);
    double parsed = -999;
    QCOMPARE(NumberText::parseValueField(field, &parsed), ok);
    if (ok)
        QCOMPARE(parsed, value);
    else
        QCOMPARE(parsed, -999.0); // untouched
}

void TestNumberText::oleDates()
{
    QCOMPARE(OleDates::fromDate(QDate(1899, 12, 30)), 0.0);
    QCOMPARE(OleDates::fromDate(QDate(2001, 1, 1)), 36892.0);
    QCOMPARE(OleDates::toDate(36892.0), QDate(2001, 1, 1));
    QCOMPARE(OleDates::fromTime(QTime(12, 0)), 0.5);
    QCOMPARE(OleDates::toTime(OleDates::fromTime(QTime(14, 5, 9))), QTime(14, 5, 9));
    QCOMPARE(OleDates::toTime(3.25), QTime(6, 0)); // beyond one day: time part only
    const QDateTime moment(QDate(2026, 12, 7), QTime(18, 0));
    QCOMPARE(OleDates::fromDateTime(moment), 46363.75);
}

QTEST_GUILESS_MAIN(TestNumberText)
#include "test_number_text.moc"
