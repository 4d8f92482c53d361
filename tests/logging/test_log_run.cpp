#include "LoggingFixture.h"
#include "logging/LogHeader.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// The header block as the file must hold it, built from the design's
// worked example with the locale-dependent texts given by the row.
QByteArray expectedHeader(const QString &fileName, const QByteArray &offset,
                          const QByteArray &slope, const QByteArray &calDate,
                          const QByteArray &serial = "180312")
{
    return "\r\n"
           "\"Kestrom Science DGH Logging Program\",#2026-12-07#\r\n"
           "\"Version: 1.1\"\r\n"
           "\r\n"
           "\"Offset: " +
        offset + "\",\"Offset2: " + offset +
        "\"\r\n"
        "\"Slope: " +
        slope + "\",\"Slope2: " + slope +
        "\"\r\n"
        "\"Serial Number: " +
        serial + "\",\"Serial Number2: " + serial +
        "\"\r\n"
        "\"Calibration Date: " +
        calDate +
        "\"\r\n"
        "\"Log File: " +
        fileName.toUtf8() +
        "\"\r\n"
        "\r\n"
        "\"Time, Therm1, Therm2, Therm3, pH 1 mVolts, pH 2 mVolts, pH 1 value, pH 2 value, "
        "Flow Frequency, Liters/min, Liters\"\r\n"
        "\r\n";
}

QByteArray join(const QVector<LogLine> &lines)
{
    QByteArray bytes;
    for (const LogLine &line : lines)
        bytes += LogValue::encodeLine(line);
    return bytes;
}

} // namespace

// Whole logging runs into real files: header, records, stop, failures.
class TestLogRun : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.filePath(name); }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }
    void init() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void cleanupTestCase() { QLocale::setDefault(QLocale::c()); }

    // The design's header example, file name included, encoded exactly.
    void headerExample_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QByteArray>("offset");
        QTest::addColumn<QByteArray>("slope");
        QTest::addColumn<QByteArray>("calDate");
        QTest::newRow("en_US") << QLocale(QLocale::English, QLocale::UnitedStates)
                               << QByteArray("2.5777") << QByteArray("4.5427")
                               << QByteArray("1/1/2001");
        QTest::newRow("de_DE") << QLocale(QLocale::German, QLocale::Germany) << QByteArray("2,5777")
                               << QByteArray("4,5427") << QByteArray("01.01.2001");
    }
    void headerExample()
    {
        QFETCH(QLocale, locale);
        QFETCH(QByteArray, offset);
        QFETCH(QByteArray, slope);
        QFETCH(QByteArray, calDate);
        LoggingFixture f;
        f.loadWorkedExample();
        const QString fileName = QStringLiteral("C:\\logs\\tank.txt");
        QCOMPARE(join(LogHeader::lines(f.state, fileName, QDate(2026, 12, 7), locale)),
                 expectedHeader(fileName, offset, slope, calDate));
    }

    // Both worked examples through the dialog into a real file, under the
    // locale the test sets: header, then one record per tick.
    void workedExamples_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("liters");
        QTest::addColumn<QByteArray>("offset");
        QTest::addColumn<QByteArray>("slope");
        QTest::addColumn<QByteArray>("calDate");
        QTest::addColumn<QByteArray>("record");
        QTest::newRow("en_US")
            << QLocale(QLocale::English, QLocale::UnitedStates) << "37.25" << QByteArray("2.5777")
            << QByteArray("4.5427") << QByteArray("1/1/2001")
            << QByteArray("\"2:05:30 "
                          "PM\",21.5,21.75,22,2545.3,2601.7,6.878,7.0904,172.5,1.5,\"37.25\"\r\n");
        QTest::newRow("de_DE")
            << QLocale(QLocale::German, QLocale::Germany) << "37,25" << QByteArray("2,5777")
            << QByteArray("4,5427") << QByteArray("01.01.2001")
            << QByteArray(
                   "\"14:05:30\",21.5,21.75,22,2545.3,2601.7,6.878,7.0904,172.5,1.5,\"37,25\"\r\n");
    }
    void workedExamples()
    {
        QFETCH(QLocale, locale);
        QFETCH(QString, liters);
        QFETCH(QByteArray, offset);
        QFETCH(QByteArray, slope);
        QFETCH(QByteArray, calDate);
        QFETCH(QByteArray, record);
        QLocale::setDefault(locale);
        LoggingFixture f;
        f.loadWorkedExample();
        f.liters.setText(liters);
        const QString fileName = path(QStringLiteral("tank-%1.txt").arg(QTest::currentDataTag()));
        f.startWriting(fileName, 1, 6);
        QCOMPARE(f.messages.texts, QStringList());
        const QByteArray header = expectedHeader(fileName, offset, slope, calDate);
        QCOMPARE(LoggingFixture::contents(fileName), header);
        f.tmrLogger.fire();
        QCOMPARE(LoggingFixture::contents(fileName), header + record);
        f.tmrLogger.fire();
        f.mnuStop.press();
        QCOMPARE(LoggingFixture::contents(fileName), header + record + record);
        f.tmrLogger.fire(); // stopped: nothing more
        QCOMPARE(LoggingFixture::contents(fileName), header + record + record);
    }

    // Record contents that depend on what the station holds.
    void records_data()
    {
        QTest::addColumn<QString>("liters");
        QTest::addColumn<double>("therm1");
        QTest::addColumn<QTime>("time");
        QTest::addColumn<QByteArray>("record");
        QTest::newRow("neverRead") << "000" << 0.0 << QTime(14, 5, 30)
                                   << QByteArray("\"2:05:30 PM\",0,0,0,0,0,0,0,0,0,\"000\"\r\n");
        QTest::newRow("flowOff") << "" << 0.0 << QTime(14, 5, 30)
                                 << QByteArray("\"2:05:30 PM\",0,0,0,0,0,0,0,0,0,\"\"\r\n");
        QTest::newRow("negative") << "000" << -35.2 << QTime(14, 5, 30)
                                  << QByteArray("\"2:05:30 PM\",-35.2,0,0,0,0,0,0,0,0,\"000\"\r\n");
        QTest::newRow("pastMidnight")
            << "000" << 0.0 << QTime(0, 0, 1)
            << QByteArray("\"12:00:01 AM\",0,0,0,0,0,0,0,0,0,\"000\"\r\n");
    }
    void records()
    {
        QFETCH(QString, liters);
        QFETCH(double, therm1);
        QFETCH(QTime, time);
        QFETCH(QByteArray, record);
        LoggingFixture f;
        const QString fileName = path(QStringLiteral("rec-%1.txt").arg(QTest::currentDataTag()));
        f.startWriting(fileName, 1, 6);
        const QByteArray header = LoggingFixture::contents(fileName);
        f.liters.setText(liters);
        f.state.therm1Temp = therm1;
        f.clock.wallClock = QDateTime(QDate(2026, 12, 8), time);
        f.tmrLogger.fire();
        QCOMPARE(LoggingFixture::contents(fileName), header + record);
    }

    // Overwrite leaves exactly one run; Append adds a run after the old
    // content, which stays as it was.
    void openModes_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("keepsOld");
        QTest::newRow("overwrite") << 1 << false;
        QTest::newRow("append") << 0 << true;
    }
    void openModes()
    {
        QFETCH(int, mode);
        QFETCH(bool, keepsOld);
        const QString fileName = path(QStringLiteral("modes-%1.txt").arg(QTest::currentDataTag()));
        const QByteArray old = "earlier run\r\n\"1:00:00 PM\",1,2,3,4,5,6,7,8,9,\"10\"\r\n";
        QVERIFY(LoggingFixture::writeFile(fileName, old));
        LoggingFixture f;
        f.startWriting(fileName, mode, 6);
        f.tmrLogger.fire();
        f.mnuStop.press();
        const QByteArray run = expectedHeader(fileName, "0", "0", "12/30/1899", "") +
            "\"2:05:30 PM\",0,0,0,0,0,0,0,0,0,\"000\"\r\n";
        QCOMPARE(LoggingFixture::contents(fileName), keepsOld ? old + run : run);
        QVERIFY(
            LoggingFixture::contents(fileName).startsWith(keepsOld ? "earlier" : "\r\n\"Kestrom"));
    }

    void twoRunsIntoOneFile()
    {
        const QString fileName = path("two-runs.txt");
        LoggingFixture f;
        f.startWriting(fileName, 0, 6);
        f.tmrLogger.fire();
        f.mnuStop.press();
        f.state.therm1Temp = 20;
        f.startWriting(fileName, 0, 6);
        f.tmrLogger.fire();
        f.tmrLogger.fire();
        f.mnuStop.press();
        const QByteArray header = expectedHeader(fileName, "0", "0", "12/30/1899", "");
        const QByteArray zeros = "\"2:05:30 PM\",0,0,0,0,0,0,0,0,0,\"000\"\r\n";
        const QByteArray twenty = "\"2:05:30 PM\",20,0,0,0,0,0,0,0,0,\"000\"\r\n";
        QCOMPARE(LoggingFixture::contents(fileName), header + zeros + header + twenty + twenty);
    }

    void serialNumbersAsStored_data()
    {
        QTest::addColumn<QString>("serial");
        QTest::addColumn<QByteArray>("written");
        QTest::newRow("doubleQuote") << "18\"03,12" << QByteArray("18\"03,12");
        QTest::newRow("lineBreak") << "1803\r\n12" << QByteArray("1803  12");
        QTest::newRow("empty") << "" << QByteArray("");
    }
    void serialNumbersAsStored()
    {
        QFETCH(QString, serial);
        QFETCH(QByteArray, written);
        LoggingFixture f;
        f.loadWorkedExample();
        f.state.probe1Serial = f.state.probe2Serial = serial;
        const QString fileName = path(QStringLiteral("serial-%1.txt").arg(QTest::currentDataTag()));
        f.startWriting(fileName, 1, 6);
        QCOMPARE(LoggingFixture::contents(fileName),
                 expectedHeader(fileName, "2.5777", "4.5427", "1/1/2001", written));
    }

    // Position 7 runs the timer at 500 ms whatever its entry reads.
    void halfSecondInterval_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("entry");
        QTest::newRow("period") << QLocale(QLocale::English, QLocale::UnitedStates) << "0.5";
        QTest::newRow("comma") << QLocale(QLocale::German, QLocale::Germany) << "0,5";
    }
    void halfSecondInterval()
    {
        QFETCH(QLocale, locale);
        QFETCH(QString, entry);
        QLocale::setDefault(locale);
        LoggingFixture f;
        QCOMPARE(f.cmbInterval.entries.value(7), entry);
        f.startWriting(path("half.txt"), 1, 7);
        QCOMPARE(f.tmrLogger.interval(), 500);
        QVERIFY(f.tmrLogger.isEnabled());
    }

    // The header is complete before the timer is given an interval, and a
    // tick before the run writes nothing.
    void headerBeforeRecords()
    {
        const QString fileName = path("order.txt");
        LoggingFixture f;
        f.tmrLogger.fire();
        QByteArray atMessage;
        int intervalAtMessage = -1;
        f.messages.onShow = [&] {
            atMessage = LoggingFixture::contents(fileName);
            intervalAtMessage = f.tmrLogger.interval();
            f.tmrLogger.fire();
        };
        f.startWriting(fileName, 1, -1); // no interval: the message comes after the header
        QCOMPARE(atMessage, expectedHeader(fileName, "0", "0", "12/30/1899", ""));
        QCOMPARE(intervalAtMessage, 0);
        QCOMPARE(LoggingFixture::contents(fileName), atMessage);
    }

    // A record that cannot be written stops logging first, then one message
    // names the file; the file ends with its last whole line.
    void recordWriteFails_data()
    {
        QTest::addColumn<QString>("failure");
        QTest::addColumn<QString>("reason");
        QTest::newRow("fileRemoved") << "removed"
                                     << "removed";
        QTest::newRow("diskFull") << "limit"
                                  << "File too large";
    }
    void recordWriteFails()
    {
        QFETCH(QString, failure);
        QFETCH(QString, reason);
        const QString fileName = path(QStringLiteral("fail-%1.txt").arg(QTest::currentDataTag()));
        LoggingFixture f;
        f.startWriting(fileName, 1, 6);
        f.tmrLogger.fire();
        const QByteArray written = LoggingFixture::contents(fileName);
        f.messages.onShow = [&f] { f.tmrLogger.fire(); }; // ticks while the message shows
        {
            std::unique_ptr<FileSizeLimit> limit;
            if (failure == "removed")
                QVERIFY(QFile::remove(fileName));
            else
                limit = std::make_unique<FileSizeLimit>(written.size() + 10);
            f.tmrLogger.fire();
            f.tmrLogger.fire();
        }
        QCOMPARE(f.messages.texts.size(), 1);
        QVERIFY2(f.messages.texts.constFirst().contains(fileName),
                 qPrintable(f.messages.texts.constFirst()));
        QVERIFY2(f.messages.texts.constFirst().contains(reason, Qt::CaseInsensitive),
                 qPrintable(f.messages.texts.constFirst()));
        QCOMPARE(f.messages.titles.constFirst(), QStringLiteral("Kestrom dgh "));
        QVERIFY(!f.tmrLogger.isEnabled());
        QCOMPARE(f.statusBar.texts.value(4), QStringLiteral("Not Logging"));
        QVERIFY(f.mnuLogSetup.isEnabled());
        QVERIFY(!f.mnuStop.isEnabled());
        QVERIFY(!f.logger.logFile().isOpen());
        if (failure == "limit")
            QCOMPARE(LoggingFixture::contents(fileName), written);
        // The station can log again.
        f.startWriting(path("after-failure.txt"), 1, 6);
        QVERIFY(f.logger.isLogging());
    }

    // A header that does not fit is taken back whole: an appended file keeps
    // exactly its old content, and the station stays idle.
    void headerWriteFails()
    {
        const QString fileName = path("header-fails.txt");
        const QByteArray old = "old content\r\n";
        QVERIFY(LoggingFixture::writeFile(fileName, old));
        LoggingFixture f;
        {
            FileSizeLimit limit(old.size() + 60);
            f.startWriting(fileName, 0, 6);
        }
        QCOMPARE(f.messages.texts.size(), 1);
        QVERIFY(f.messages.texts.constFirst().contains(fileName));
        QCOMPARE(LoggingFixture::contents(fileName), old);
        QCOMPARE(f.hides, 0);
        QVERIFY(!f.logger.isLogging());
        QVERIFY(!f.logger.logFile().isOpen());
        QCOMPARE(f.tmrLogger.interval(), 0);
    }

    // Files by day across a faked midnight: the last record of the day in
    // its file, the first of the next in a new whole log with its own header
    // and its journal beside it; a new day's file that cannot be opened is a
    // fault like a record that cannot be written.
    void filesByDay_data()
    {
        QTest::addColumn<QString>("name"); // as given
        QTest::addColumn<bool>("unattended");
        QTest::addColumn<bool>("nextDayFails"); // its file cannot be made
        QTest::addColumn<QStringList>("files"); // and their record counts
        QTest::newRow("csv") << "tank.csv" << false << false
                             << QStringList{"tank-2026-12-08.csv 2", "tank-2026-12-09.csv 2"};
        QTest::newRow("noSuffix") << "tank" << false << false
                                  << QStringList{"tank-2026-12-08 2", "tank-2026-12-09 2"};
        QTest::newRow("dotsInName")
            << "tank.v2.log" << false << false
            << QStringList{"tank.v2-2026-12-08.log 2", "tank.v2-2026-12-09.log 2"};
        QTest::newRow("attendedStops")
            << "stop.csv" << false << true << QStringList{"stop-2026-12-08.csv 2"};
        QTest::newRow("unattendedGoesOn")
            << "on.csv" << true << true
            << QStringList{"on-2026-12-08.csv 2", "on-2026-12-09.csv 1"};
    }
    void filesByDay()
    {
        QFETCH(QString, name);
        QFETCH(bool, unattended);
        QFETCH(bool, nextDayFails);
        QFETCH(QStringList, files);
        const QString folder = path(QTest::currentDataTag());
        QVERIFY(QDir().mkpath(folder));
        const QString blocked =
            folder + "/" + Logger::dailyFileName(name, QDate(2026, 12, 9)).section('/', -1);
        if (nextDayFails)
            QVERIFY(QDir().mkpath(blocked)); // a folder where the file would go
        LoggingFixture f;
        f.faults.reporter.setUnattended(unattended);
        QStringList began;
        Handlers handlers;
        handlers.install(f.logger.runBegan, [&](const QString &fileName, LogFile::Mode) {
            began << fileName.section('/', -1);
        });
        f.clock.wallClock = QDateTime(QDate(2026, 12, 8), QTime(23, 59, 58));
        QString error;
        QVERIFY2(f.setup.startWithoutDialog(folder + "/" + name, LogFile::Mode::Overwrite, 1,
                                            &error, true),
                 qPrintable(error));
        f.tmrLogger.fire();
        f.clock.wallClock = f.clock.wallClock.addSecs(1);
        f.tmrLogger.fire();
        f.clock.wallClock = f.clock.wallClock.addSecs(2); // 00:00:01, the next day
        f.tmrLogger.fire();
        if (nextDayFails && unattended)
            QVERIFY(QDir(blocked).removeRecursively()); // the disk is back
        f.clock.wallClock = f.clock.wallClock.addSecs(1);
        f.tmrLogger.fire();

        QStringList found;
        for (const QString &file : QDir(folder).entryList(QDir::Files, QDir::Name)) {
            const QByteArray bytes = LoggingFixture::contents(folder + "/" + file);
            QVERIFY2(bytes.contains("\"Log File: " + QFile::encodeName(folder + "/" + file) + "\""),
                     qPrintable(file)); // each a whole log, naming itself
            found << QStringLiteral("%1 %2").arg(file).arg(bytes.count("\r\n") - 12);
        }
        QCOMPARE(found, files);
        QStringList expectedBegan;
        for (const QString &file : files)
            expectedBegan << file.section(' ', 0, 0);
        QCOMPARE(began, expectedBegan); // the journal follows each file
        QCOMPARE(f.logger.isLogging(), !nextDayFails || unattended);
        QCOMPARE(f.messages.texts.size(), nextDayFails && !unattended ? 1 : 0);
    }

    void closeAtExitKeepsWholeRecords()
    {
        const QString fileName = path("exit.txt");
        LoggingFixture f;
        f.startWriting(fileName, 1, 6);
        f.tmrLogger.fire();
        f.logger.closeLogFile();
        QVERIFY(!f.logger.logFile().isOpen());
        QVERIFY(LoggingFixture::contents(fileName).endsWith(",\"000\"\r\n"));
        f.tmrLogger.fire(); // a late tick finds no file and says nothing
        QCOMPARE(f.messages.texts, QStringList());
        QCOMPARE(LoggingFixture::contents(fileName).count("\r\n"), 13);
    }
};

QTEST_GUILESS_MAIN(TestLogRun)
#include "test_log_run.moc"
