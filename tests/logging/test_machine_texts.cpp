#include "logging/LogHeader.h"
#include "logging/LogValue.h"
#include "station/IsoTime.h"
#include "station/StationState.h"
#include "ui/chart/ChartCsv.h"
#include "ui/chart/ChartStore.h"

#include <QBuffer>
#include <QtTest>

// Texts that programs read back (the log's date value, the export's times)
// keep ASCII digits on a system whose own digits are others: this test runs
// with Arabic-Indic digits as the system's numbers, as on an Egyptian desktop.
class TestMachineTexts : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // Otherwise the rows below would test nothing.
        QVERIFY2(QLocale::system().zeroDigit() != QLatin1Char('0'),
                 "run with LC_NUMERIC=ar_EG.UTF-8");
    }

    void asciiDigits_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("expected");

        QTest::newRow("logDate") << LogValue::encodeLine({LogValue::date(QDate(2026, 12, 7))})
                                 << QByteArray("#2026-12-07#\r\n");
        const QVector<LogLine> header =
            LogHeader::lines(StationState(), "/data/run.csv", QDate(2026, 12, 7), QLocale("ar_EG"));
        QTest::newRow("logHeaderDate")
            << LogValue::encodeLine(header.at(1))
            << QByteArray("\"Kestrom Science DGH Logging Program\",#2026-12-07#\r\n");

        ChartStore store;
        store.setOriginDate(QDate(2026, 12, 7));
        store.appendPlaced(1, 1.5, 7.25);
        QBuffer csv;
        csv.open(QIODevice::WriteOnly);
        ChartCsv::write(store, 0, 2, csv);
        QTest::newRow("exportTime") << csv.data()
                                    << QByteArray("Time,pH 1,pH 2,Kind\n"
                                                  "2026-12-08T12:00:00.000,7.25,,reading\n");

        // The journal's lines, the readings and events sent to a broker, the
        // calibration history: one time form for all.
        const QDateTime moment(QDate(2026, 12, 7), QTime(14, 5, 30, 120), Qt::OffsetFromUTC,
                               -12600);
        QTest::newRow("isoTime") << IsoTime::withOffset(moment).toUtf8()
                                 << QByteArray("2026-12-07T14:05:30-03:30");
        QTest::newRow("isoTimeMs") << IsoTime::withOffset(moment, true).toUtf8()
                                   << QByteArray("2026-12-07T14:05:30.120-03:30");
    }
    void asciiDigits()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, expected);
        QCOMPARE(text, expected);
    }
};

QTEST_GUILESS_MAIN(TestMachineTexts)
#include "test_machine_texts.moc"
