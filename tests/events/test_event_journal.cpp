#include "LoggingFixture.h"
#include "events/EventJournal.h"
#include "fakes/FakeClock.h"

#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

// The journal on a real file system: the file beside a log that nobody
// named, and events that could not be written.
class TestEventJournal : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        // The station's own journal, where events go when the one beside a log cannot be used.
        qputenv("XDG_STATE_HOME", m_dir.filePath("state").toLocal8Bit());
    }

    void besideTheLogIsNeverFollowed_data();
    void besideTheLogIsNeverFollowed();
    void unwrittenEventsAreCounted();
};

// clang-format off
void TestEventJournal::besideTheLogIsNeverFollowed_data()
{
    // What stands where the journal of "run.csv" goes, how the run opens the log.
    QTest::addColumn<QString>("planted");  // link, dangling, fifo, folder, file, none
    QTest::addColumn<bool>("overwrite");
    QTest::addColumn<bool>("besideLog");   // the events went beside the log, else to the station's own
    QTest::addColumn<QByteArray>("besideBytesBefore"); // what the file beside starts with, if used

    QTest::newRow("linkOverwrite")     << "link"     << true  << false << QByteArray();
    QTest::newRow("linkAppend")        << "link"     << false << false << QByteArray();
    QTest::newRow("danglingLink")      << "dangling" << true  << false << QByteArray();
    QTest::newRow("fifo")              << "fifo"     << true  << false << QByteArray();
    QTest::newRow("folder")            << "folder"   << false << false << QByteArray();
    QTest::newRow("ownFileEmptied")    << "file"     << true  << true  << QByteArray();
    QTest::newRow("ownFileAppended")   << "file"     << false << true  << QByteArray("old line\n");
    QTest::newRow("nothingThere")      << "none"     << true  << true  << QByteArray();
}
// clang-format on

void TestEventJournal::besideTheLogIsNeverFollowed()
{
    QFETCH(QString, planted);
    QFETCH(bool, overwrite);
    QFETCH(bool, besideLog);
    QFETCH(QByteArray, besideBytesBefore);

    const QString folder = m_dir.filePath(QTest::currentDataTag());
    QVERIFY(QDir().mkpath(folder));
    const QString journal = folder + "/run.csv.events";
    const QString victim = folder + "/victim.txt";
    QVERIFY(LoggingFixture::writeFile(victim, "precious\n"));
    if (planted == "link")
        QVERIFY(QFile::link(victim, journal));
    else if (planted == "dangling")
        QVERIFY(QFile::link(folder + "/nowhere.txt", journal));
    else if (planted == "fifo")
        QCOMPARE(::mkfifo(QFile::encodeName(journal).constData(), 0600), 0);
    else if (planted == "folder")
        QVERIFY(QDir().mkpath(journal));
    else if (planted == "file")
        QVERIFY(LoggingFixture::writeFile(journal, "old line\n"));
    QFile::remove(EventJournal::stationFileName());

    FakeClock clock;
    EventJournal events(clock);
    events.followLogRun(folder + "/run.csv",
                        overwrite ? LogFile::Mode::Overwrite : LogFile::Mode::Append);
    events.record("6", "fault", "NO VALID RETURN FROM pH MODULE");

    const QByteArray line =
        "2026-12-07T14:05:30+00:00,6,fault,\"NO VALID RETURN FROM pH MODULE\"\n";
    QCOMPARE(LoggingFixture::contents(victim), QByteArray("precious\n"));
    QVERIFY(!QFileInfo::exists(folder + "/nowhere.txt"));
    if (besideLog) {
        QCOMPARE(LoggingFixture::contents(journal), besideBytesBefore + line);
        QVERIFY(!QFileInfo::exists(EventJournal::stationFileName()));
    } else {
        QCOMPARE(LoggingFixture::contents(EventJournal::stationFileName()), line);
        QCOMPARE(events.fileName(), EventJournal::stationFileName());
    }
}

// A full disk (here a file size limit) loses events; once writing works
// again the journal says how many before anything else.
void TestEventJournal::unwrittenEventsAreCounted()
{
    const QString fileName = m_dir.filePath("full/run.csv");
    QVERIFY(QDir().mkpath(m_dir.filePath("full")));
    FakeClock clock;
    EventJournal events(clock);
    events.followLogRun(fileName, LogFile::Mode::Overwrite);
    events.record("6", "fault", "first");
    {
        FileSizeLimit full(QFileInfo(fileName + ".events").size());
        for (int i = 0; i < 3; ++i)
            events.record("log", "fault", "No space left on device");
    }
    events.record("log", "writing again", "Works again after 3 faults");

    const QList<QByteArray> lines = LoggingFixture::contents(fileName + ".events").split('\n');
    QCOMPARE(lines.size(), 4); // and the empty rest after the last LF
    QVERIFY(lines[0].endsWith(",6,fault,\"first\""));
    QCOMPARE(lines[1],
             "2026-12-07T14:05:30+00:00,journal,not written,\"3 events could not be written before "
             "this line\"");
    QVERIFY(lines[2].endsWith(",log,writing again,\"Works again after 3 faults\""));
    QCOMPARE(events.recent().size(), size_t(5)); // the window still lists every one
}

QTEST_GUILESS_MAIN(TestEventJournal)
#include "test_event_journal.moc"
