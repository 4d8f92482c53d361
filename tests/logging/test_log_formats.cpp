#include "logging/LogIntervals.h"
#include "review/LogReader.h"
#include "review/LogTimeOfDay.h"
#include "station/LocaleTexts.h"

#include <QtTest>

// Times and dates inside log texts, and the interval list, per locale.
class TestLogFormats : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void timeOfDay_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QTime>("time");
        QTest::addColumn<QString>("expected");
        QTest::newRow("usAfternoon") << "en_US" << QTime(14, 5, 30) << "2:05:30 PM";
        QTest::newRow("usMorning") << "en_US" << QTime(9, 0, 7) << "9:00:07 AM";
        QTest::newRow("usMidnight") << "en_US" << QTime(0, 0, 0) << "12:00:00 AM";
        QTest::newRow("usNoon") << "en_US" << QTime(12, 0, 0) << "12:00:00 PM";
        QTest::newRow("germanDay") << "de_DE" << QTime(14, 5, 30) << "14:05:30";
        QTest::newRow("germanMorning") << "de_DE" << QTime(9, 0, 7) << "09:00:07";
        QTest::newRow("british") << "en_GB" << QTime(14, 5, 30) << "14:05:30";
        QTest::newRow("hungarian") << "hu_HU" << QTime(9, 5, 30) << "9:05:30";
    }
    void timeOfDay()
    {
        QFETCH(QString, locale);
        QFETCH(QTime, time);
        QFETCH(QString, expected);
        QCOMPARE(LocaleTexts::timeText(time, QLocale(locale)), expected);
    }

    // No locale's form may carry the time zone into a record: a record
    // holds the time of day only.
    void noZoneName_data()
    {
        QTest::addColumn<QString>("locale");
        for (const char *name :
             {"en_US", "de_DE", "fr_FR", "ja_JP", "zh_CN", "ko_KR", "fa_IR", "bg_BG", "be_BY",
              "sq_AL", "zh_HK"}) // zones after a comma, or in brackets
            QTest::newRow(name) << name;
    }
    void noZoneName()
    {
        QFETCH(QString, locale);
        const QLocale form(locale);
        const QString format = LocaleTexts::longTimeFormat(form);
        QVERIFY2(!format.contains(QLatin1Char('t')) || format.contains(QLatin1Char('\'')),
                 qPrintable(format));
        QVERIFY2(!format.startsWith(QLatin1Char(' ')) && !format.endsWith(QLatin1Char(' ')),
                 qPrintable(format));
        for (const char *left : {"()", "[]"})
            QVERIFY2(!format.contains(QLatin1String(left)), qPrintable(format));
        QVERIFY2(!format.endsWith(QLatin1Char(',')), qPrintable(format));
        // The same wall time under two zones gives the same text.
        const QTime time(14, 5, 30);
        const QDateTime utc(QDate(2026, 12, 7), time, Qt::UTC);
        const QDateTime offset(QDate(2026, 12, 7), time, Qt::OffsetFromUTC, 3600);
        QCOMPARE(form.toString(utc, format), form.toString(offset, format));
        QVERIFY(form.toString(utc, format).contains(form.toString(30)));
    }

    // Every time text the station writes, under any locale Qt has, reads
    // back as the time it was, under the reading locale of each row; no
    // such text comes near the length beyond which a time is refused unread.
    void everyLocalesTimeReadsBack_data()
    {
        QTest::addColumn<QString>("reader");
        QTest::newRow("readUs") << "en_US";
        QTest::newRow("readKorean") << "ko_KR";
        QTest::newRow("readArabic") << "ar_EG";
    }
    void everyLocalesTimeReadsBack()
    {
        QFETCH(QString, reader);
        const LogTimeOfDay timeOfDay{QLocale(reader)};
        const QList<QLocale> writers =
            QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyCountry);
        QVERIFY(writers.size() > 500);
        QStringList wrong;
        for (const QLocale &writer : writers) {
            for (const QTime &time : {QTime(0, 0, 0), QTime(3, 4, 5), QTime(11, 59, 59),
                                      QTime(12, 0, 0), QTime(15, 4, 5), QTime(23, 59, 59)}) {
                const QString text = LocaleTexts::timeText(time, writer);
                const QTime read = timeOfDay.read(text);
                if (read != time || text.size() > LogTimeOfDay::LongestText / 2 ||
                    text.toUtf8().size() > LogReader::LongestTimeField / 2)
                    wrong << QStringLiteral("%1 %2 \"%3\" read %4")
                                 .arg(writer.name(), time.toString(), text, read.toString());
            }
        }
        QVERIFY2(wrong.isEmpty(),
                 qPrintable(QStringLiteral("%1 wrong, first: %2")
                                .arg(wrong.size())
                                .arg(wrong.mid(0, 5).join(QStringLiteral(", ")))));
    }

    void dateInText_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("expected");
        // 36892 days after 30 December 1899 is 1 January 2001; 0.75 is 6 PM.
        QTest::newRow("usCalibration") << "en_US" << 36892.0 << "1/1/2001";
        QTest::newRow("germanCalib") << "de_DE" << 36892.0 << "01.01.2001";
        QTest::newRow("usWithTime") << "en_US" << 36892.75 << "1/1/2001 6:00:00 PM";
        QTest::newRow("germanWithTime") << "de_DE" << 36892.75 << "01.01.2001 18:00:00";
        QTest::newRow("epoch") << "en_US" << 0.0 << "12/30/1899";
        QTest::newRow("koreanFourDigit") << "ko_KR" << 36892.0 << "2001. 1. 1.";
        // The C locale's own short date is numeric (strftime's %x), not Qt's "1 Jan 2001".
        QTest::newRow("cLocale") << "C" << 36892.0 << "01/01/2001";
        QTest::newRow("cLocaleWithTime") << "C" << 36892.75 << "01/01/2001 18:00:00";
    }
    void dateInText()
    {
        QFETCH(QString, locale);
        QFETCH(double, value);
        QFETCH(QString, expected);
        QCOMPARE(LocaleTexts::dateText(value, QLocale(locale)), expected);
    }

    void intervalEntries_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("period") << "en_US"
                                << QStringList{"60", "30", "15", "10", "5", "2", "1", "0.5"};
        QTest::newRow("comma") << "de_DE"
                               << QStringList{"60", "30", "15", "10", "5", "2", "1", "0,5"};
    }
    void intervalEntries()
    {
        QFETCH(QString, locale);
        QFETCH(QStringList, expected);
        QCOMPARE(LogIntervals::entries(QLocale(locale)), expected);
    }

    void intervalBySeconds_data()
    {
        QTest::addColumn<double>("seconds");
        QTest::addColumn<int>("position");
        QTest::newRow("minute") << 60.0 << 0;
        QTest::newRow("second") << 1.0 << 6;
        QTest::newRow("half") << 0.5 << 7;
        QTest::newRow("notListed") << 3.0 << -1;
        QTest::newRow("zero") << 0.0 << -1;
        QTest::newRow("negative") << -1.0 << -1;
        QTest::newRow("nan") << qQNaN() << -1;
    }
    void intervalBySeconds()
    {
        QFETCH(double, seconds);
        QFETCH(int, position);
        QCOMPARE(LogIntervals::positionOfSeconds(seconds), position);
        if (position >= 0)
            QCOMPARE(LOG_INTERVALS_MS[position], qRound(seconds * 1000));
    }
};

QTEST_GUILESS_MAIN(TestLogFormats)
#include "test_log_formats.moc"
