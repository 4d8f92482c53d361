#include "LoggingFixture.h"
#include "review/JournalReader.h"
#include "review/LogLoader.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <chrono>
#include <cmath>
#include <future>
#include <sys/stat.h>

namespace {

// Everything a loader handed over, once it handed its last slice.
struct Loaded
{
    std::shared_ptr<ChartStore> points;
    qint64 records = 0; // as the runs count them
    QStringList files;
    QVector<LogReader::Run> runs;
    QVector<LogReader::Problem> problems;
    qint64 problemCount = 0;
    QDate origin;
    QString failure;
    int slices = 0;
    qint64 bytesRead = 0;
    qint64 bytesTotal = 0;
};

Loaded load(const QString &fileName, const QLocale &locale,
            unsigned columns = LogColumns::PhColumns)
{
    Loaded loaded;
    bool done = false;
    LogLoader loader({fileName}, locale);
    loader.setColumns(columns);
    loader.sliceRead.setHandler([&](const LogLoader::Slice &slice) {
        if (slice.points)
            loaded.points = slice.points;
        loaded.files += slice.files;
        loaded.problems += slice.problems;
        if (slice.file >= 0) {
            loaded.runs = slice.runs;
            loaded.problemCount = slice.problemCount;
            loaded.failure = slice.failure;
        }
        loaded.origin = slice.originDate;
        loaded.bytesRead = slice.bytesRead;
        loaded.bytesTotal = slice.bytesTotal;
        ++loaded.slices;
        done = slice.last;
    });
    loader.start();
    QElapsedTimer waited;
    waited.start();
    while (!done && waited.elapsed() < 20000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    for (const LogReader::Run &run : loaded.runs)
        loaded.records += run.records;
    return loaded;
}

// A record's place as a local date and time to the second.
QDateTime placeOf(QDate origin, double x)
{
    const auto day = static_cast<int>(std::floor(x));
    const auto second = static_cast<int>(std::lround((x - day) * 86400));
    return QDateTime(origin.addDays(day), QTime(0, 0).addSecs(second));
}

bool writeBytes(const QString &fileName, const QByteArray &bytes)
{
    return LoggingFixture::writeFile(fileName, bytes);
}

const QByteArray Header = "\r\n\"Kestrom Science DGH Logging Program\",#2026-12-07#\r\n"
                          "\"Version: 1.1\"\r\n\r\n"
                          "\"Time, Therm1, Therm2, Therm3, pH 1 mVolts, pH 2 mVolts, pH 1 value, "
                          "pH 2 value, Flow Frequency, Liters/min, Liters\"\r\n\r\n";
const QByteArray Record =
    "\"14:05:30\",21.5,21.75,22,2545.3,2601.7,6.878,7.0904,172.5,1.5,\"37,25\"";

} // namespace

// Logs read back for review: runs written by the station's own logger, and
// files that are not what a log should be.
class TestLogReview : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.filePath(name); }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    // clang-format off
    void roundTrip_data()
    {
        QTest::addColumn<QString>("written"); // the locale the logger ran under
        QTest::addColumn<QString>("read");    // the locale the review runs under

        QTest::newRow("us")              << "en_US" << "en_US";
        QTest::newRow("german")          << "de_DE" << "de_DE";
        QTest::newRow("usReadGerman")    << "en_US" << "de_DE";
        QTest::newRow("germanReadUs")    << "de_DE" << "en_US";
        QTest::newRow("koreanReadUs")    << "ko_KR" << "en_US";
        QTest::newRow("chineseReadUs")   << "zh_CN" << "en_US";
        QTest::newRow("arabicReadUs")    << "ar_EG" << "en_US";
        QTest::newRow("persianReadGerman") << "fa_IR" << "de_DE";
    }
    // clang-format on

    void roundTrip()
    {
        QFETCH(QString, written);
        QFETCH(QString, read);

        // Two runs appended to one file: the first across midnight, the
        // second the next afternoon, with the litres text as the label shows it.
        QLocale::setDefault(QLocale(written));
        const QString fileName =
            path(QStringLiteral("round-trip-%1.txt").arg(QTest::currentDataTag()));
        LoggingFixture f;
        f.liters.setText(QLocale().toString(37.25));
        f.state.probe1Serial = QString::fromUtf8("\xce\xa9-180312-\xc2\xb5"); // Greek omega, micro
        const QDateTime firstTick(QDate(2026, 12, 7), QTime(23, 59, 58));
        const QDateTime secondRun(QDate(2026, 12, 8), QTime(13, 0, 0));
        QVector<QPair<QDateTime, double>> expected;
        f.clock.wallClock = firstTick;
        f.startWriting(fileName, 0, 6);
        for (int i = 0; i < 4; ++i) {
            f.clock.wallClock = firstTick.addSecs(i);
            f.state.probe1pH = 7 + i / 100.0;
            f.state.probe2pH = 4 - i / 8.0;
            f.tmrLogger.fire();
            expected.append({f.clock.wallClock, f.state.probe1pH});
        }
        f.mnuStop.press();
        f.clock.wallClock = secondRun;
        f.startWriting(fileName, 0, 6);
        for (int i = 0; i < 2; ++i) {
            f.clock.wallClock = secondRun.addSecs(i * 60);
            f.state.probe1pH = 9.5 + i;
            f.tmrLogger.fire();
            expected.append({f.clock.wallClock, f.state.probe1pH});
        }
        f.mnuStop.press();
        QLocale::setDefault(QLocale::c());

        const Loaded loaded = load(fileName, QLocale(read));
        QVERIFY2(loaded.failure.isEmpty(), qPrintable(loaded.failure));
        QCOMPARE(loaded.problemCount, 0);
        QCOMPARE(loaded.runs.size(), 2);
        QCOMPARE(loaded.runs[0].date, QDate(2026, 12, 7));
        QCOMPARE(loaded.runs[1].date, QDate(2026, 12, 8));
        QCOMPARE(loaded.runs[0].records, 4);
        QCOMPARE(loaded.runs[1].line, 18);
        QVERIFY(loaded.runs[1].header.contains("Log File: " + fileName));
        QVERIFY(loaded.runs[0].header.contains("Serial Number: " + f.state.probe1Serial +
                                               "  Serial Number2: " + f.state.probe2Serial));
        QCOMPARE(loaded.origin, QDate(2026, 12, 7));
        QCOMPARE(loaded.records, expected.size());
        const PlotSeries &ph1 = loaded.points->series(1).tier(0);
        QCOMPARE(ph1.size(), expected.size());
        for (int i = 0; i < expected.size(); ++i) {
            QCOMPARE(placeOf(loaded.origin, ph1.x(i)), expected[i].first);
            QCOMPARE(ph1.y(i), float(expected[i].second)); // as the chart keeps it
        }
        QCOMPARE(loaded.points->series(2).tier(0).y(3), float(4 - 3 / 8.0));
        QCOMPARE(loaded.bytesRead, loaded.bytesTotal);
    }

    // clang-format off
    void badFiles_data()
    {
        QTest::addColumn<QString>("kind");     // "file" holding the bytes, "fifo", "folder", or a path
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("records");
        QTest::addColumn<QString>("failure");  // of the whole file; empty: it was read
        QTest::addColumn<QStringList>("problems"); // "line: why"

        const QString notALog = "it is not a station log: ";
        const QString run = "a run (\"Kestrom Science DGH Logging Program\")";
        const QByteArray r = Record + "\r\n";
        QTest::newRow("empty") << "file" << QByteArray() << 0 << "it is empty" << QStringList();
        QTest::newRow("truncatedMidLine") << "file" << Header + r + r + Record.left(40) << 2 << ""
            << QStringList{"9: the file ends inside this line"};
        QTest::newRow("badLinesRestShown") << "file" << Header + r + "garbage\r\n" + r +
                                      "\"14:05:31\",1,2,x,4,5,6,7,8,9,\"\"\r\n" +
                                      "\"25:00:00\",1,2,3,4,5,6,7,8,9,\"\"\r\n" +
                                      "\"14:05:32\",1,2,3,4,5,6,7,8,\"\"\r\n" + r << 3 << ""
            << QStringList{"8: not a record: it does not start with a quoted time",
                           "10: value 4 (\"x\") is not a number",
                           "11: \"25:00:00\" is no time of day",
                           "12: value 10 (\"\"\"\") is not a number"};
        QTest::newRow("recordsBeforeAnyRun") << "file" << r + Header + r << 1 << ""
            << QStringList{"1: the line before the first run header (\"Kestrom Science DGH Logging "
                           "Program\") is left out"};
        QTest::newRow("undatedRun") << "file" << QByteArray(Header).replace("#2026-12-07#", "#2026-13-07#") + r
            << 0 << "" << QStringList{"2: the run's date \"2026-13-07#\" is no date: its records are left out"};
        QByteArray prose;
        for (int i = 0; i < 300; ++i)
            prose += "Dear operator, this is a letter, not a log.\n";
        QTest::newRow("notALog") << "file" << prose << 0
            << "it is not a station log: none of its first 200 lines opens a run "
               "(\"Kestrom Science DGH Logging Program\")" << QStringList();
        QByteArray noise(300000, 'x');
        QRandomGenerator random(5);
        for (char &c : noise) {
            const int byte = random.bounded(1, 256);
            c = char(byte == '\n' ? 0 : byte);
        }
        QTest::newRow("binaryWithoutLineEnds") << "file" << Header + r + noise << 1 << ""
            << QStringList{"8: longer than any log line: left out"};

        // Never opened, so never waited on.
        QTest::newRow("fifo") << "fifo" << QByteArray() << 0
            << "it is not a regular file: a FIFO (named pipe)" << QStringList();
        QTest::newRow("emptyFolder") << "folder" << QByteArray() << 0
            << "the folder holds no files to read" << QStringList();
        QTest::newRow("devZero") << "/dev/zero" << QByteArray() << 0
            << "it is not a regular file: a character device" << QStringList();
        // Read, and found to be no log.
        QTest::newRow("crOnly") << "file" << QByteArray(Header + r + r).replace("\r\n", "\r") << 0
            << notALog + "its lines end in CR alone, where a station log's end in CR LF, and none "
                         "opens " + run << QStringList();
        QTest::newRow("shortNotALog") << "file" << QByteArray("Dear operator,\r\nthis is no log.\r\n")
            << 0 << notALog + "none of its 2 lines opens " + run << QStringList();
        QTest::newRow("oneLineNotALog") << "file" << QByteArray("x") << 0
            << notALog + "its one line does not open " + run << QStringList();
        // A time field is refused by its length before anything reads it.
        QTest::newRow("hugeTimeField") << "file"
            << Header + r + '"' + QByteArray(60000, ' ') + "\",1,2,3,4,5,6,7,8,9,\"\"\r\n" + r
            << 2 << "" << QStringList{"8: its time (60000 bytes) is longer than any time of day"};
        QTest::newRow("paddedTimeField") << "file"
            << Header + r + '"' + QByteArray(200, ' ') + "14:05:31\",1,2,3,4,5,6,7,8,9,\"\"\r\n"
            << 1 << "" << QStringList{"8: \"                                        ...\" is no time of day"};
    }
    // clang-format on

    void badFiles()
    {
        QFETCH(QString, kind);
        QFETCH(QByteArray, bytes);
        QFETCH(int, records);
        QFETCH(QString, failure);
        QFETCH(QStringList, problems);

        QString fileName = path(QTest::currentDataTag());
        if (kind == "file")
            QVERIFY(writeBytes(fileName, bytes));
        else if (kind == "fifo")
            QCOMPARE(::mkfifo(QFile::encodeName(fileName).constData(), 0600), 0);
        else if (kind == "folder")
            QVERIFY(QDir().mkdir(fileName));
        else
            fileName = kind;
        const Loaded loaded = load(fileName, QLocale("en_US"));
        QCOMPARE(loaded.failure, failure);
        QCOMPARE(loaded.records, records);
        QStringList reported;
        for (const LogReader::Problem &problem : loaded.problems)
            reported << QString::number(problem.line) + ": " + problem.why;
        QCOMPARE(reported, problems);
        // The file is read, never written.
        if (kind == "file")
            QCOMPARE(LoggingFixture::contents(fileName), bytes);
    }

    // A reader held up inside the file, as by a slow disk: letting its
    // loader go does not wait for it, nor does the program's end beyond its
    // limit; the reader stops at its next block once it may go on (what it
    // still had in hand goes nowhere: the sanitizer build would see it).
    void loaderNeverWaitsForItsReader()
    {
        // Readers of the cases before may still be on their way out.
        QVERIFY(LogLoader::waitForReaders(std::chrono::seconds(10)));
        const QString fileName = path("held.txt");
        QVERIFY(writeBytes(fileName, Header + Record + "\r\n"));
        std::promise<void> release;
        std::shared_future<void> released = release.get_future().share();
        std::atomic<int> blocksBegun{0};
        {
            LogLoader loader({fileName}, QLocale("en_US"));
            loader.setBlockSize(16);
            loader.setBeforeEachBlock([&blocksBegun, released] {
                if (++blocksBegun == 3)
                    released.wait();
            });
            loader.start();
            QTRY_COMPARE_WITH_TIMEOUT(blocksBegun.load(), 3, 10000);
            QCOMPARE(LogLoader::readersRunning(), 1);
        } // would wait for ever, were the reader waited for
        QVERIFY(!LogLoader::waitForReaders(std::chrono::milliseconds(50)));
        release.set_value();
        QVERIFY(LogLoader::waitForReaders(std::chrono::seconds(10)));
        QCOMPARE(LogLoader::readersRunning(), 0);
        QCOMPARE(blocksBegun.load(), 3);
    }

    // A value is a reading once its channel has given one in the run: the
    // zeros written before are none, as are the flow's while the litres
    // text says the flow was not read ("000" before its first reading,
    // empty while it is off). Points are "second of the day=value".
    // clang-format off
    void readingsAndGaps_data()
    {
        QTest::addColumn<QByteArray>("records");
        QTest::addColumn<int>("column");
        QTest::addColumn<QStringList>("points");

        const auto r = [](int second, const char *values, const char *litres) {
            return "\"14:00:" + QByteArray::number(10 + second) + "\"," + values + ",\"" + litres +
                "\"\r\n";
        };
        const QByteArray probes = r(0, "0,0,0,0,0,0,0,0,0", "000") +
                                  r(1, "21.5,0,0,2545.3,0,7.1,0,0,0", "000") +
                                  r(2, "21.5,0,0,2545.3,2601.7,0,6.5,0,0", "000") +
                                  r(3, "0,0,0,0,2601.7,7.2,6.6,0,0", "000");
        QTest::newRow("ph1FromItsFirstReading") << probes << int(LogColumns::Probe1pH)
                                                << QStringList{"50411=7.1", "50412=0", "50413=7.2"};
        QTest::newRow("ph2FromItsFirstReading") << probes << int(LogColumns::Probe2pH)
                                                << QStringList{"50412=6.5", "50413=6.6"};
        QTest::newRow("millivolts")             << probes << int(LogColumns::Probe2mV)
                                                << QStringList{"50412=2601.7", "50413=2601.7"};
        QTest::newRow("thermistorNeverRead")    << probes << int(LogColumns::Therm2) << QStringList{};
        QTest::newRow("thermistorZeroLater")    << probes << int(LogColumns::Therm1)
                                                << QStringList{"50411=21.5", "50412=21.5", "50413=0"};

        const QByteArray flow = r(0, "0,0,0,0,0,0,0,0,0", "000") +
                                r(1, "0,0,0,0,0,0,0,172.5,1.5", "12.5") +
                                r(2, "0,0,0,0,0,0,0,0,0", "12.5") +
                                r(3, "0,0,0,0,0,0,0,0,0", "") +
                                r(4, "0,0,0,0,0,0,0,0,0", "37,25");
        QTest::newRow("flowOnlyWhileRead") << flow << int(LogColumns::FlowHz)
                                           << QStringList{"50411=172.5", "50412=0", "50414=0"};
        QTest::newRow("litresAnyDecimals") << flow << int(LogColumns::Litres)
                                           << QStringList{"50411=12.5", "50412=12.5", "50414=37.25"};

        // The largest doubles, written to 15 digits, round up past the largest:
        // the record still reads (the chart leaves out what no float holds).
        QTest::newRow("pastTheLargestDouble")
            << r(0, "21.5,0,0,0,0,-1.79769313486232e+308,0,0,0", "000") << int(LogColumns::Therm1)
            << QStringList{"50410=21.5"};

        // A station started again begins a run of its own, read from nothing.
        QTest::newRow("eachRunAfresh") << r(0, "0,0,0,0,0,7,0,0,0", "000") + Header +
                                          r(1, "0,0,0,0,0,0,0,0,0", "000") +
                                          r(2, "0,0,0,0,0,7.5,0,0,0", "000")
                                       << int(LogColumns::Probe1pH)
                                       << QStringList{"50410=7", "50412=7.5"};
    }
    // clang-format on
    void readingsAndGaps()
    {
        QFETCH(QByteArray, records);
        QFETCH(int, column);
        QFETCH(QStringList, points);

        const QString fileName = path(QStringLiteral("gaps-%1.txt").arg(QTest::currentDataTag()));
        QVERIFY(writeBytes(fileName, Header + records));
        const Loaded loaded = load(fileName, QLocale("en_US"), LogColumns::AllColumns);
        QVERIFY2(loaded.failure.isEmpty(), qPrintable(loaded.failure));
        QCOMPARE(loaded.problemCount, 0);
        const PlotSeries &series = loaded.points->series(LogColumns::plotOf(column)).tier(0);
        QStringList read;
        for (qint64 i = 0; i < series.size(); ++i)
            read << QStringLiteral("%1=%2").arg(std::lround(series.x(i) * 86400)).arg(series.y(i));
        QCOMPARE(read, points);
    }

    // What a journal tells, as the stretches shaded behind the chart: kind,
    // source, from and to (the time of day, a day on "+1d"), "open" while
    // under way at its end. An alarm is known by its name.
    // clang-format off
    void journalStretches_data()
    {
        QTest::addColumn<QByteArray>("journal");
        QTest::addColumn<QStringList>("stretches");
        QTest::addColumn<QStringList>("problems");

        const auto line = [](const char *time, const char *source, const char *kind,
                             const char *text) {
            return QByteArray("2026-12-07T") + time + "+01:00," + source + ',' + kind + ",\"" +
                text + "\"\n";
        };
        QTest::newRow("moduleFailing")
            << line("10:00:00", "6", "fault", "Probe 1: no answer") +
                   line("10:00:10", "6", "still failing", "no answer (10 times in a row)") +
                   line("10:05:00", "6", "answering again", "Works again after 300 faults")
            << QStringList{"failing 6 10:00:00 10:05:00"} << QStringList();
        QTest::newRow("portAndModuleApart")
            << line("10:00:00", "port", "port lost", "Port 1 lost") +
                   line("10:01:00", "5", "fault", "Flow: no answer") +
                   line("10:02:00", "port", "port reopened", "Port 1 open") +
                   line("10:03:00", "5", "answering again", "Works again")
            << QStringList{"failing port 10:00:00 10:02:00", "failing 5 10:01:00 10:03:00"}
            << QStringList();
        QTest::newRow("intermittentToSteady")
            << line("09:00:00", "7", "intermittent", "3 times in 10 minutes") +
                   line("09:30:00", "7", "still intermittent", "4 faults in 2 episodes") +
                   line("10:00:00", "7", "steady", "No fault for 10 minutes")
            << QStringList{"intermittent 7 09:00:00 10:00:00"} << QStringList();
        QTest::newRow("stillFailingStartsThere")
            << line("10:00:10", "1", "still failing", "since 10:00:00") +
                   line("10:01:00", "1", "answering again", "Works again")
            << QStringList{"failing 1 10:00:10 10:01:00"} << QStringList();
        QTest::newRow("alarmsByName")
            << line("11:00:00", "alarm", "active", "ph1.high: 8.72 above 8.5") +
                   line("11:10:00", "alarm", "active", "ph2.low: 6.2 below 6.5") +
                   line("11:15:00", "alarm", "acknowledged", "ph1.high: by the operator") +
                   line("11:30:00", "alarm", "normal", "ph1.high: 8.3") +
                   line("11:40:00", "alarm", "returned", "ph2.low: 6.6")
            << QStringList{"alarm ph1.high 11:00:00 11:30:00", "alarm ph2.low 11:10:00 11:40:00"}
            << QStringList();
        QTest::newRow("openAtTheEndAcrossMidnight")
            << line("23:59:00", "5", "fault", "Flow: no answer") +
                   QByteArray("2026-12-08T00:00:30+01:00,3,fault,\"Therm 3: no answer\"\n")
            << QStringList{"failing 5 23:59:00 open", "failing 3 00:00:30+1d open"}
            << QStringList();
        QTest::newRow("theWallClockOfEachLine")
            << QByteArray("2026-12-07T12:00:00+00:00,6,fault,\"a\"\n"
                          "2026-12-07T12:00:00-05:00,6,answering again,\"b\"\n")
            << QStringList{"failing 6 12:00:00 12:00:00"} << QStringList();
        QTest::newRow("badLinesSaid")
            << "garbage\n" + line("10:00:00", "6", "fault", "x") +
                   QByteArray("2026-12-07 10:00:00,6,answering again,\"y\"\n")
            << QStringList{"failing 6 10:00:00 open"}
            << QStringList{"1: not a journal line: it is not TIME,SOURCE,KIND,\"TEXT\"",
                           "3: \"2026-12-07 10:00:00\" is no date and time with its UTC offset"};
    }
    // clang-format on
    void journalStretches()
    {
        QFETCH(QByteArray, journal);
        QFETCH(QStringList, stretches);
        QFETCH(QStringList, problems);

        JournalReader reader(QDate(2026, 12, 7));
        for (const QByteArray &line : journal.split('\n'))
            reader.readLine(line);
        const auto timeOf = [](double x) {
            const auto day = static_cast<int>(std::floor(x));
            return QTime(0, 0).addSecs(int(std::lround((x - day) * 86400))).toString("HH:mm:ss") +
                (day ? QStringLiteral("+%1d").arg(day) : QString());
        };
        QStringList read;
        for (const JournalStretch &stretch : reader.stretches()) {
            const char *kind = stretch.kind == JournalStretch::Kind::Failing ? "failing"
                : stretch.kind == JournalStretch::Kind::Intermittent         ? "intermittent"
                                                                             : "alarm";
            read << QStringLiteral("%1 %2 %3 %4")
                        .arg(kind, stretch.source, timeOf(stretch.from),
                             stretch.to == JournalStretch::Open ? "open" : timeOf(stretch.to));
        }
        QCOMPARE(read, stretches);
        QStringList said;
        for (const JournalReader::Problem &problem : reader.problems())
            said << QStringLiteral("%1: %2").arg(problem.line).arg(problem.why);
        QCOMPARE(said, problems);
    }

    // Followed as tail -f does, a daily log grows by whole lines, is
    // overwritten by a new run, gives way to the next day's file, and goes:
    // each record comes once, at its place, and each change is said once.
    void followsAGrowingLog()
    {
        const QString today = path("tank-2026-12-07.csv");
        const QString tomorrow = path("tank-2026-12-08.csv");
        const auto record = [](const char *time, const char *ph) {
            return QByteArray("\"") + time + "\",21.5,21.75,22,2545.3,2601.7," + ph +
                ",7.1,172.5,1.5,\"37.25\"\r\n";
        };
        const auto header = [](const char *date) {
            return QByteArray(Header).replace("2026-12-07", date);
        };
        const auto append = [](const QString &name, const QByteArray &bytes) {
            QFile file(name);
            return file.open(QIODevice::Append) && file.write(bytes) == bytes.size();
        };
        QVERIFY(writeBytes(today, Header + record("10:00:00", "7.0")));

        QStringList records; // "seconds from the first day's midnight=pH 1"
        QStringList notes;
        QStringList files;
        bool read = false;
        LogLoader loader({today}, QLocale("en_US"));
        loader.setFollowing(true);
        loader.sliceRead.setHandler([&](const LogLoader::Slice &slice) {
            if (slice.points) {
                const PlotSeries &ph1 = slice.points->series(1).tier(0);
                for (qint64 i = 0; i < ph1.size(); ++i)
                    records
                        << QStringLiteral("%1=%2").arg(std::lround(ph1.x(i) * 86400)).arg(ph1.y(i));
            }
            for (const LogReader::Record &added : slice.records)
                records << QStringLiteral("%1=%2")
                               .arg(std::lround(added.x * 86400))
                               .arg(added.values[LogColumns::Probe1pH]);
            notes += slice.notes;
            files += slice.files;
            read = read || slice.last;
        });
        loader.start();
        QTRY_VERIFY_WITH_TIMEOUT(read, 10000);
        QCOMPARE(records, QStringList{"36000=7"});

        // Whole lines only: one the station is still writing waits for its end.
        QVERIFY(append(today, record("10:00:01", "7.1") + record("10:00:02", "7.2").left(20)));
        QTRY_COMPARE_WITH_TIMEOUT(records.size(), 2, 10000);
        QVERIFY(append(today, record("10:00:02", "7.2").mid(20)));
        QTRY_COMPARE_WITH_TIMEOUT(records, (QStringList{"36000=7", "36001=7.1", "36002=7.2"}),
                                  10000);

        // Overwritten by a new run: read again from its start.
        QVERIFY(writeBytes(today, header("2026-12-07") + record("11:00:00", "6.5")));
        QTRY_COMPARE_WITH_TIMEOUT(records.size(), 4, 10000);
        QCOMPARE(records.last(), QString("39600=6.5"));
        QCOMPARE(notes, QStringList{today + " was replaced: it is read again from its start"});

        // The next day's file takes over, and grows in its turn.
        QVERIFY(writeBytes(tomorrow, header("2026-12-08") + record("0:00:05", "6.6")));
        QTRY_COMPARE_WITH_TIMEOUT(files, (QStringList{today, tomorrow}), 10000);
        QTRY_COMPARE_WITH_TIMEOUT(records.size(), 5, 10000);
        QCOMPARE(records.last(), QString("86405=6.6"));
        QVERIFY(append(tomorrow, record("0:00:06", "6.7")));
        QTRY_COMPARE_WITH_TIMEOUT(records.size(), 6, 10000);
        QCOMPARE(records.last(), QString("86406=6.7"));

        // Gone: said once, however long it stays away.
        QVERIFY(QFile::remove(tomorrow));
        QTRY_COMPARE_WITH_TIMEOUT(notes.size(), 2, 10000);
        QCOMPARE(notes.last(), tomorrow + " is gone: the window waits for it to come back");
        QTest::qWait(1000);
        QCOMPARE(notes.size(), 2);
        QCOMPARE(records.size(), 6);
    }

    void missingFile()
    {
        const Loaded loaded = load(path("no-such-log.txt"), QLocale("en_US"));
        QCOMPARE(loaded.failure, QString("it could not be opened: No such file or directory"));
        QCOMPARE(loaded.slices, 3); // the files to read, why this one was not, the end
    }
};

QTEST_GUILESS_MAIN(TestLogReview)
#include "test_log_review.moc"
