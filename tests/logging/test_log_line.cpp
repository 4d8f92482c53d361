#include "logging/LogValue.h"

#include <QLocale>
#include <QtTest>

Q_DECLARE_METATYPE(LogLine)

// The byte encoding of one log line.
class TestLogLine : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void encodesValues_data()
    {
        QTest::addColumn<LogLine>("values");
        QTest::addColumn<QByteArray>("expected");

        const QDate dec7(2026, 12, 7);
        QTest::newRow("emptyLine") << LogLine{} << QByteArray("\r\n");
        QTest::newRow("emptyText") << LogLine{LogValue::text({})} << QByteArray("\"\"\r\n");
        QTest::newRow("textUnescaped")
            << LogLine{LogValue::text("a \"b\", c")} << QByteArray("\"a \"b\", c\"\r\n");
        QTest::newRow("wholeNumber") << LogLine{LogValue::number(22)} << QByteArray("22\r\n");
        QTest::newRow("decimalNumber")
            << LogLine{LogValue::number(6.878)} << QByteArray("6.878\r\n");
        QTest::newRow("negativeNumber")
            << LogLine{LogValue::number(-35.2)} << QByteArray("-35.2\r\n");
        QTest::newRow("zero") << LogLine{LogValue::number(0)} << QByteArray("0\r\n");
        QTest::newRow("negativeZero") << LogLine{LogValue::number(-0.0)} << QByteArray("0\r\n");
        QTest::newRow("fifteenDigits")
            << LogLine{LogValue::number(2.0 / 3.0)} << QByteArray("0.666666666666667\r\n");
        QTest::newRow("noGrouping")
            << LogLine{LogValue::number(1234567.25)} << QByteArray("1234567.25\r\n");
        QTest::newRow("tenthSum") << LogLine{LogValue::number(0.1 + 0.2)} << QByteArray("0.3\r\n");
        QTest::newRow("date") << LogLine{LogValue::date(dec7)} << QByteArray("#2026-12-07#\r\n");
        QTest::newRow("dateSingleDigits")
            << LogLine{LogValue::date(QDate(2001, 1, 1))} << QByteArray("#2001-01-01#\r\n");
        QTest::newRow("mixed") << LogLine{LogValue::text("x"), LogValue::number(1.5),
                                          LogValue::date(dec7), LogValue::text("")}
                               << QByteArray("\"x\",1.5,#2026-12-07#,\"\"\r\n");
        QTest::newRow("lineFeedInText")
            << LogLine{LogValue::text("18\n0312")} << QByteArray("\"18 0312\"\r\n");
        QTest::newRow("crLfInText")
            << LogLine{LogValue::text("a\r\nb")} << QByteArray("\"a  b\"\r\n");
        QTest::newRow("carriageReturnOnly")
            << LogLine{LogValue::text("\r")} << QByteArray("\" \"\r\n");
        QTest::newRow("nonAsciiAsUtf8") << LogLine{LogValue::text(QString::fromUtf8("T\xC3\xBC"
                                                                                    "r"))}
                                        << QByteArray("\"T\xC3\xBCr\"\r\n");
    }
    void encodesValues()
    {
        QFETCH(LogLine, values);
        QFETCH(QByteArray, expected);
        QCOMPARE(LogValue::encodeLine(values), expected);
    }

    // Number values keep the period and no grouping whatever the user's locale.
    void numbersIgnoreTheLocale_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::newRow("de_DE") << "de_DE";
        QTest::newRow("fr_FR") << "fr_FR";
        QTest::newRow("ar_EG") << "ar_EG";
    }
    void numbersIgnoreTheLocale()
    {
        QFETCH(QString, locale);
        QLocale::setDefault(QLocale(locale));
        const LogLine values{LogValue::number(2545.3), LogValue::number(-1234567.5),
                             LogValue::date(QDate(2026, 12, 7))};
        QCOMPARE(LogValue::encodeLine(values), QByteArray("2545.3,-1234567.5,#2026-12-07#\r\n"));
    }

    // Whatever a text holds, an encoded line is exactly one line.
    void oneLineWhateverTheText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("lf") << "a\nb";
        QTest::newRow("cr") << "a\rb";
        QTest::newRow("many") << "\n\n\r\r\n";
        QTest::newRow("atEnd") << "serial\r\n";
    }
    void oneLineWhateverTheText()
    {
        QFETCH(QString, text);
        const QByteArray line = LogValue::encodeLine({LogValue::text(text), LogValue::number(1)});
        QVERIFY(line.endsWith("\r\n"));
        const QByteArray body = line.chopped(2);
        QVERIFY2(!body.contains('\r') && !body.contains('\n'), line.constData());
        QCOMPARE(body.count(','), 1);
    }
};

QTEST_GUILESS_MAIN(TestLogLine)
#include "test_log_line.moc"
