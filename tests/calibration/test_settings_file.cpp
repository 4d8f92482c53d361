#include "calibration/CalibrationFixture.h"
#include "calibration/CalibrationStore.h"
#include "calibration/CalibrationText.h"
#include "fakes/FakeMessageBox.h"
#include "platform/qt/QSettingsStore.h"
#include "station/StationState.h"

#include <QLockFile>
#include <QtTest>

#include <atomic>
#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QByteArray BOM("\xEF\xBB\xBF");

// The start-up load on a thread of its own, so that a load that waits on
// the file fails the test instead of hanging it. A FIFO it waits on is
// opened for writing, again and again, until the load lets go.
class LoadOnThread
{
public:
    LoadOnThread(CalibrationStore &calibration, QString fifo)
        : m_fifo(QFile::encodeName(fifo))
        , m_thread(QThread::create([this, &calibration] {
            calibration.LoadCalibration();
            m_done = true;
        }))
    {
        m_thread->start();
    }
    ~LoadOnThread()
    {
        while (!m_done) {
            const int fd = ::open(m_fifo.constData(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0)
                ::close(fd);
            QThread::msleep(10);
        }
        m_thread->wait();
    }
    bool done() const { return m_done; }

private:
    QByteArray m_fifo;
    std::atomic<bool> m_done{false};
    std::unique_ptr<QThread> m_thread;
};

// How often the file was opened since the last call.
int opensSince(int inotify)
{
    int opens = 0;
    alignas(inotify_event) char buffer[4096];
    for (ssize_t length; (length = ::read(inotify, buffer, sizeof buffer)) > 0;) {
        for (ssize_t at = 0; at < length;) {
            const auto *event = reinterpret_cast<const inotify_event *>(buffer + at);
            opens += (event->mask & IN_OPEN) ? 1 : 0;
            at += ssize_t(sizeof(inotify_event)) + event->len;
        }
    }
    return opens;
}

} // namespace

// The settings store on a real INI file in a temporary configuration folder.
class TestSettingsFile : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void fileNameAndPlace_data();
    void fileNameAndPlace();
    void readingNeverWrites();
    void valuesRoundTripThroughNewSettings_data();
    void valuesRoundTripThroughNewSettings();
    void keysWithBlanksInTheFile();
    void dateRoundTrip_data();
    void dateRoundTrip();
    void oldDefaultDateInFile();
    void failedWriteReported_data();
    void failedWriteReported();
    void twoWritersLoseNothing();
    void fileReadOnceWhileUnchanged();
    void unparsableFileLeftAlone();
    void valueReadAsItStands();
    void failedSaveSucceedsOnceWritable();
    void systemWideFileNotRead();
    void handEditedFileKeptByteForByte();
    void oddFilesStillRead_data();
    void oddFilesStillRead();
    void readProblem_data();
    void readProblem();

private:
    QString iniPath() const { return m_dir->filePath(App + QStringLiteral(".ini")); }
    QByteArray fileBytes() const
    {
        QFile file(iniPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void writeFile(const QByteArray &content) const
    {
        QFile file(iniPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(content), qint64(content.size()));
    }

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestSettingsFile::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir->path()));
}

// clang-format off
void TestSettingsFile::fileNameAndPlace_data()
{
    QTest::addColumn<bool>("xdgConfigHome"); // set, or HOME's .config used

    QTest::newRow("xdgConfigHome")   << true;
    QTest::newRow("homeDotConfig")   << false;
}
// clang-format on

void TestSettingsFile::fileNameAndPlace()
{
    QFETCH(bool, xdgConfigHome);

    // Where QSettings keeps it, found without opening anything there.
    const QByteArray home = qgetenv("HOME");
    if (!xdgConfigHome) {
        qunsetenv("XDG_CONFIG_HOME");
        qputenv("HOME", QFile::encodeName(m_dir->path()));
    }
    const QString name = QSettingsStore::fileName(App);
    qputenv("HOME", home);
    QCOMPARE(name, xdgConfigHome ? iniPath() : m_dir->filePath(".config/" + App + ".ini"));
}

void TestSettingsFile::readingNeverWrites()
{
    QSettingsStore store;
    StationState state;
    FakeMessageBox messages;
    CalibrationStore(store, state, messages).LoadCalibration();
    QCOMPARE(store.value(App, Section, QStringLiteral("offset"), QStringLiteral("d")),
             QStringLiteral("d"));
    QCOMPARE(state.probe1Slope, 4.5427);
    QVERIFY(!QFile::exists(iniPath()));
    QVERIFY(QDir(m_dir->path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
}

// clang-format off
void TestSettingsFile::valuesRoundTripThroughNewSettings_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("text");

    QTest::newRow("trailingZeros")   << "offset"         << "2.45300";
    QTest::newRow("serialNumber")    << "serial number"  << "000.0";
    QTest::newRow("blankInKey")      << "serial number2" << "SN 4711";
    QTest::newRow("commaInText")     << "serial number"  << "A, B";
    QTest::newRow("atSign")          << "serial number"  << "@lab";
    QTest::newRow("equalsAndQuotes") << "serial number"  << "x=\"1\"";
    QTest::newRow("empty")           << "slope"          << "";
    QTest::newRow("nonLatin")        << "serial number"  << "Sonde Nr. 7 \u00e4\u00df";
}
// clang-format on

void TestSettingsFile::valuesRoundTripThroughNewSettings()
{
    QFETCH(QString, key);
    QFETCH(QString, text);

    QSettingsStore store;
    QVERIFY(store.setValue(App, Section, key, text, nullptr));
    QCOMPARE(store.status(), QSettings::NoError);

    // Another process: a fresh QSettings on the same file.
    QSettings fresh(iniPath(), QSettings::IniFormat);
    const QVariant stored = fresh.value(Section + QLatin1Char('/') + key);
    QCOMPARE(stored.userType(), int(QMetaType::QString));
    QCOMPARE(stored.toString(), text);
    QCOMPARE(QSettingsStore().value(App, Section, key, QStringLiteral("default")), text);
}

void TestSettingsFile::keysWithBlanksInTheFile()
{
    QSettingsStore store;
    QVERIFY(store.setValue(App, Section, QStringLiteral("serial number2"), QStringLiteral("000.0"),
                           nullptr));
    const QByteArray bytes = fileBytes();
    QVERIFY2(bytes.startsWith("[Coefficients]\n"), bytes.constData());
    QVERIFY2(bytes.contains("serial%20number2=000.0\n"), bytes.constData());
}

// clang-format off
void TestSettingsFile::dateRoundTrip_data()
{
    QTest::addColumn<int>("probe");
    QTest::addColumn<QDate>("date");

    QTest::newRow("probe1Today")      << 1 << QDate(2026, 12, 7);
    QTest::newRow("probe2Default")    << 2 << QDate(2001, 1, 1);
    QTest::newRow("probe1Before1930") << 1 << QDate(1929, 5, 6);
    QTest::newRow("probe2After2029")  << 2 << QDate(2035, 10, 11);
}
// clang-format on

void TestSettingsFile::dateRoundTrip()
{
    QFETCH(int, probe);
    QFETCH(QDate, date);

    QSettingsStore store;
    StationState state;
    FakeMessageBox messages;
    CalibrationStore calibration(store, state, messages);
    QVERIFY(calibration.WriteCalibrationValue(probe, CalibrationItem::Date,
                                              CalibrationText::fromDate(date)));

    QSettings fresh(iniPath(), QSettings::IniFormat);
    const QVariant stored = fresh.value(Section + QLatin1Char('/') +
                                        CalibrationStore::key(probe, CalibrationItem::Date));
    QCOMPARE(stored.userType(), int(QMetaType::QString));
    QCOMPARE(CalibrationText::toDate(stored.toString()), date);

    StationState next;
    CalibrationStore(store, next, messages).LoadCalibration();
    const double days = static_cast<double>(QDate(1899, 12, 30).daysTo(date));
    QCOMPARE(probe == 1 ? next.probe1CalDate : next.probe2CalDate, days);
    QVERIFY(messages.texts.isEmpty());
}

void TestSettingsFile::oldDefaultDateInFile()
{
    QFile file(iniPath());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[Coefficients]\ndate=01/01/01\ndate2=12/31/99\n");
    file.close();

    QSettingsStore store;
    StationState state;
    FakeMessageBox messages;
    CalibrationStore(store, state, messages).LoadCalibration();
    QCOMPARE(OleDates::toDate(state.probe1CalDate), QDate(2001, 1, 1));
    QCOMPARE(OleDates::toDate(state.probe2CalDate), QDate(1999, 12, 31));
}

// clang-format off
void TestSettingsFile::failedWriteReported_data()
{
    QTest::addColumn<bool>("lockHeld");  // else a folder where the file goes
    QTest::addColumn<QString>("why");

    QTest::newRow("folderInPlace")     << false << "folder";
    QTest::newRow("lockHeldElsewhere") << true  << ".ini.lock";
}
// clang-format on

void TestSettingsFile::failedWriteReported()
{
    QFETCH(bool, lockHeld);
    QFETCH(QString, why);

    // Another program saving its settings holds the lock QSettings takes; a
    // folder where the file should be cannot be written, by root included.
    QLockFile otherProgram(iniPath() + QStringLiteral(".lock"));
    if (lockHeld)
        QVERIFY(otherProgram.tryLock(0));
    else
        QVERIFY(QDir(m_dir->path()).mkdir(App + QStringLiteral(".ini")));
    QSettingsStore store;
    QString problem;
    QVERIFY(
        !store.setValue(App, Section, QStringLiteral("offset"), QStringLiteral("2.5"), &problem));
    QVERIFY(store.status() != QSettings::NoError);
    QVERIFY2(problem.contains(iniPath()) && problem.contains(why), qPrintable(problem));
    QVERIFY(!QFileInfo(iniPath()).isFile());
}

void TestSettingsFile::twoWritersLoseNothing()
{
    // Two programs saving at once, each its own keys, as fast as they can.
    const int writes = 150;
    std::atomic<int> failed{0};
    const auto writer = [&](const QString &prefix) {
        QSettingsStore store;
        for (int n = 0; n < writes; ++n)
            if (!store.setValue(App, Section, prefix + QString::number(n), QString::number(n),
                                nullptr))
                ++failed;
    };
    std::unique_ptr<QThread> first(QThread::create(writer, QStringLiteral("first")));
    std::unique_ptr<QThread> second(QThread::create(writer, QStringLiteral("second")));
    first->start();
    second->start();
    QVERIFY(first->wait(120000) && second->wait(120000));
    QCOMPARE(failed.load(), 0);

    QSettings written(iniPath(), QSettings::IniFormat);
    written.beginGroup(Section);
    QStringList missing;
    for (const QString prefix : {"first", "second"})
        for (int n = 0; n < writes; ++n)
            if (written.value(prefix + QString::number(n)).toString() != QString::number(n))
                missing << prefix + QString::number(n);
    QCOMPARE(missing, QStringList());
}

void TestSettingsFile::fileReadOnceWhileUnchanged()
{
    writeFile("[Coefficients]\noffset=2.6\nslope=4.4\n");
    QFile aged(iniPath());
    QVERIFY(aged.open(QIODevice::ReadWrite));
    QVERIFY(aged.setFileTime(QDateTime::currentDateTime().addSecs(-3600),
                             QFileDevice::FileModificationTime));
    aged.close();
    const int inotify = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    QVERIFY(inotify >= 0);
    // Closes watched too: an open right after an open would be merged into it.
    QVERIFY(::inotify_add_watch(inotify, QFile::encodeName(iniPath()).constData(),
                                IN_OPEN | IN_CLOSE) >= 0);

    // Start-up, then the calibration dialog showing both probes.
    QSettingsStore store;
    StationState state;
    FakeMessageBox messages;
    CalibrationStore calibration(store, state, messages);
    calibration.LoadCalibration();
    QCOMPARE(calibration.ReadProbeCalibration(1).offset, QStringLiteral("2.6"));
    QCOMPARE(calibration.ReadProbeCalibration(2).slope, QStringLiteral("4.5427"));
    const int opens = opensSince(inotify);

    // Edited by hand while the station runs: the next look reads it again.
    writeFile("[Coefficients]\noffset=2.7\nslope=4.4\n");
    opensSince(inotify);
    QCOMPARE(calibration.ReadProbeCalibration(1).offset, QStringLiteral("2.7"));
    QVERIFY(opensSince(inotify) >= 1);
    ::close(inotify);
    QCOMPARE(state.probe1Offset, 2.6);
    QCOMPARE(opens, 1);
}

void TestSettingsFile::unparsableFileLeftAlone()
{
    const QByteArray broken = "[Coefficients]\nslope=4.1\n[broken\n\"x\n";
    QFile file(iniPath());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(broken);
    file.close();

    // Read first, as start-up does, then saved to from the dialog.
    QSettingsStore store;
    QCOMPARE(store.value(App, Section, QStringLiteral("slope"), QString()), QStringLiteral("4.1"));
    QCOMPARE(store.value(App, Section, QStringLiteral("date"), QStringLiteral("d")),
             QStringLiteral("d"));
    QVERIFY(
        !store.setValue(App, Section, QStringLiteral("offset"), QStringLiteral("2.5"), nullptr));
    QCOMPARE(store.status(), QSettings::FormatError);
    QCOMPARE(fileBytes(), broken);

    // Once repaired, the file takes the value.
    QFile repaired(iniPath());
    QVERIFY(repaired.open(QIODevice::WriteOnly));
    repaired.write("[Coefficients]\nslope=4.1\n");
    repaired.close();
    QVERIFY(store.setValue(App, Section, QStringLiteral("offset"), QStringLiteral("2.5"), nullptr));
    QCOMPARE(QSettingsStore().value(App, Section, QStringLiteral("offset"), QString()),
             QStringLiteral("2.5"));
}

void TestSettingsFile::valueReadAsItStands()
{
    QFile file(iniPath());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[Coefficients]\noffset=2,5\n");
    file.close();

    // A decimal comma, as a German operator types it: text, never a list.
    QSettingsStore store;
    QCOMPARE(store.value(App, Section, QStringLiteral("offset"), QString()), QStringLiteral("2,5"));
}

void TestSettingsFile::failedSaveSucceedsOnceWritable()
{
    // The configuration folder cannot be made: a file stands where it goes.
    const QString folder = m_dir->filePath(QStringLiteral("config"));
    QFile blocker(folder);
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(folder));

    QSettingsStore store;
    StationState state;
    FakeMessageBox messages;
    CalibrationStore calibration(store, state, messages);
    QString problem;
    QVERIFY(!calibration.WriteCalibrationValue(1, CalibrationItem::Offset, "2.5", &problem));
    QVERIFY2(problem.contains("could not be written") && !problem.contains("cannot be read"),
             qPrintable(problem));

    // Made writable while the station runs: the next Save stores it.
    QVERIFY(QFile::remove(folder));
    QVERIFY(calibration.WriteCalibrationValue(1, CalibrationItem::Offset, "2.5", &problem));
    QCOMPARE(QSettingsStore().value(App, Section, "offset", QString()), QStringLiteral("2.5"));
}

void TestSettingsFile::systemWideFileNotRead()
{
    // A file of the same name where QSettings looks for system-wide values
    // (XDG_CONFIG_DIRS, /etc/xdg by default).
    QTemporaryDir system;
    QSettings::setPath(QSettings::IniFormat, QSettings::SystemScope, system.path());
    QFile file(system.filePath(App + QStringLiteral(".ini")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[Coefficients]\noffset=1.1111\nslope=3.3333\nserial%20number=SYS\n");
    file.close();

    QSettingsStore store;
    StationState state;
    FakeMessageBox messages;
    CalibrationStore(store, state, messages).LoadCalibration();
    QCOMPARE(state.probe1Offset, 2.5777);
    QCOMPARE(state.probe1Slope, 4.5427);
    QCOMPARE(state.probe1Serial, QStringLiteral("180312"));
}

void TestSettingsFile::handEditedFileKeptByteForByte()
{
    const QByteArray edited = "; calibrated by hand on 1 December\n"
                              "[Coefficients]\n"
                              "offset = 2,4530\n"
                              "slope=4.5358\n"
                              "# probe 1's serial number from its label\n"
                              "serial%20number=A-17\n"
                              "date=2026-11-30\n";
    QFile file(iniPath());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(edited);
    file.close();

    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QSettingsStore store;
    StationState state;
    FakeMessageBox messages;
    CalibrationStore calibration(store, state, messages);
    calibration.LoadCalibration();
    QCOMPARE(state.probe1Offset, 2.453);
    QCOMPARE(calibration.ReadProbeCalibration(1).offset, QStringLiteral("2,4530"));
    for (const auto &[item, text] :
         {std::pair{CalibrationItem::Offset, "2.6"}, std::pair{CalibrationItem::Slope, "4.4"},
          std::pair{CalibrationItem::SerialNumber, "B, 2"},
          std::pair{CalibrationItem::Date, "2026-12-08"}})
        QVERIFY(calibration.WriteCalibrationValue(2, item, QString::fromUtf8(text)));
    QLocale::setDefault(QLocale::c());

    // Probe 2's keys join the section; every byte before them is as it was.
    QCOMPARE(fileBytes(),
             edited +
                 "offset2=2.6\nslope2=4.4\nserial%20number2=\"B, 2\"\n"
                 "date2=2026-12-08\n");
    QVERIFY(messages.texts.isEmpty());
}

// clang-format off
void TestSettingsFile::oddFilesStillRead_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("text"); // as read, "default" for none

    const QByteArray longLine = "comment=" + QByteArray((1 << 20) - 64, 'x') + "\n";
    QTest::newRow("latin1Serial")     << QByteArray("[Coefficients]\nserial%20number=Sonde \xe4\n") << "serial number" << QString("Sonde \u00e4");
    QTest::newRow("duplicateKey")     << QByteArray("[Coefficients]\nslope=4.1\nslope=4.2\n") << "slope" << "4.2";
    QTest::newRow("sectionTwice")     << QByteArray("[Coefficients]\nslope=4.1\n[Other]\nx=1\n[Coefficients]\noffset=2.6\n") << "offset" << "2.6";
    QTest::newRow("otherSectionsKey") << QByteArray("[Other]\noffset=9\n") << "offset" << "default";
    QTest::newRow("megabyteLine")     << "[Coefficients]\n" + longLine + "slope=4.3\n" << "slope" << "4.3";
    QTest::newRow("noLastNewline")    << QByteArray("[Coefficients]\nslope=4.4") << "slope" << "4.4";
    QTest::newRow("crLf")             << QByteArray("[Coefficients]\r\nslope=4.5\r\n") << "slope" << "4.5";
    QTest::newRow("utf8ByteOrderMark") << BOM + "[Coefficients]\r\nslope=4.6\r\n" << "slope" << "4.6";
    QTest::newRow("commentAfterValue") << QByteArray("[Coefficients]\noffset=2.4 ; note\n") << "offset" << "2.4";
    QTest::newRow("commentAfterSection") << QByteArray("[Coefficients] ; note\nslope=4.7\n") << "slope" << "4.7";
    QTest::newRow("crOnly")           << QByteArray("; by hand\r[Coefficients]\r; probe 1\rslope=4.8\r") << "slope" << "4.8";
    QTest::newRow("blanksInSection")  << QByteArray("[ Coefficients ]\nslope=4.2\n") << "slope" << "4.2";
    QTest::newRow("quotedSemicolon")  << QByteArray("[Coefficients]\nserial%20number=\"A;B\" ; label\n") << "serial number" << "A;B";
}
// clang-format on

void TestSettingsFile::oddFilesStillRead()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, key);
    QFETCH(QString, text);

    writeFile(content);
    // What QSettings reads from the same bytes.
    QSettings reference(iniPath(), QSettings::IniFormat);
    QCOMPARE(reference.value(Section + QLatin1Char('/') + key, "default").toString(), text);
    const bool sectionThere = reference.childGroups().contains(Section);

    QSettingsStore store;
    StationState state;
    FakeMessageBox messages;
    CalibrationStore(store, state, messages).LoadCalibration();
    QCOMPARE(store.value(App, Section, key, QStringLiteral("default")), text);
    QCOMPARE(messages.texts, QStringList());
    QCOMPARE(fileBytes(), content); // start-up writes nothing

    // A Save keeps the rest as it stands, the end of line style included.
    QVERIFY(store.setValue(App, Section, QStringLiteral("date2"), QStringLiteral("2026-12-08"),
                           nullptr));
    const QByteArray eol = content.contains("\r\n")         ? "\r\n"
        : content.contains('\r') && !content.contains('\n') ? "\r"
                                                            : "\n";
    QVERIFY2(fileBytes().contains("date2=2026-12-08" + eol), fileBytes().left(200).constData());
    QCOMPARE(fileBytes().startsWith(BOM), content.startsWith(BOM));
    const int header = sectionThere ? 0 : 14 + eol.size();
    const bool lastLineEnded = content.endsWith('\n') || content.endsWith('\r');
    QCOMPARE(fileBytes().size(),
             content.size() + int(QByteArray("date2=2026-12-08").size()) + eol.size() +
                 (lastLineEnded ? 0 : eol.size()) + header);
    QCOMPARE(QSettingsStore().value(App, Section, key, QStringLiteral("default")), text);
    QSettings saved(iniPath(), QSettings::IniFormat);
    QCOMPARE(saved.value(Section + QStringLiteral("/date2")).toString(),
             QStringLiteral("2026-12-08"));
    QCOMPARE(saved.value(Section + QLatin1Char('/') + key, "default").toString(), text);
}

// clang-format off
void TestSettingsFile::readProblem_data()
{
    QTest::addColumn<QString>("standing");   // what stands where the file goes
    QTest::addColumn<QByteArray>("content"); // of a file
    QTest::addColumn<QString>("told");       // empty: nothing to tell
    QTest::addColumn<QString>("why");        // named by the message and by a refused Save
    QTest::addColumn<double>("slope");       // probe 1's, after start-up

    const QByteArray good = "[Coefficients]\nslope=4.1\n";
    const QByteArray large = good + "; " + QByteArray(1 << 20, 'x') + "\n";
    QTest::newRow("noFile")       << "nothing" << QByteArray() << "" << "" << 4.5427;
    QTest::newRow("good")         << "file" << good << "" << "" << 4.1;
    QTest::newRow("damaged")      << "file" << good + "[broken\n\"x\n" << "damaged" << "line 3" << 4.1;
    QTest::newRow("folder")       << "folder" << QByteArray() << "cannot be read" << "folder" << 4.5427;
    QTest::newRow("fifo")         << "fifo" << QByteArray() << "cannot be read" << "FIFO" << 4.5427;
    QTest::newRow("linkToDevice") << "/dev/null" << QByteArray() << "cannot be read" << "device" << 4.5427;
    QTest::newRow("tooLarge")     << "file" << large << "cannot be read" << "too large" << 4.5427;
    QTest::newRow("openQuote")    << "file" << QByteArray("[Coefficients]\nserial%20number=\"A-17\nslope=4.1\n") << "damaged" << "line 2" << 4.5427;
}
// clang-format on

void TestSettingsFile::readProblem()
{
    QFETCH(QString, standing);
    QFETCH(QByteArray, content);
    QFETCH(QString, told);
    QFETCH(QString, why);
    QFETCH(double, slope);

    const QByteArray path = QFile::encodeName(iniPath());
    if (standing == "folder")
        QVERIFY(QDir(m_dir->path()).mkdir(App + QStringLiteral(".ini")));
    else if (standing == "fifo")
        QCOMPARE(::mkfifo(path.constData(), 0644), 0);
    else if (standing.startsWith('/'))
        QVERIFY(QFile::link(standing, iniPath()));
    else if (standing == "file")
        writeFile(content);

    QSettingsStore store;
    StationState state;
    FakeMessageBox messages;
    CalibrationStore calibration(store, state, messages);
    {
        LoadOnThread load(calibration, iniPath());
        QTRY_VERIFY_WITH_TIMEOUT(load.done(), 10000);
    }
    QCOMPARE(state.probe1Slope, slope);
    if (told.isEmpty()) {
        QVERIFY(store.readProblem(App).isEmpty());
        QVERIFY(messages.texts.isEmpty());
    } else {
        const QString problem = store.readProblem(App);
        QVERIFY2(problem.contains(told) && problem.contains(why), qPrintable(problem));
        QVERIFY(problem.contains(iniPath()));
        QCOMPARE(messages.texts.size(), 1);
        QVERIFY(messages.texts.first().contains(iniPath()));

        // A Save says why it is refused, and writes nothing through a link.
        QString refused;
        QVERIFY(!store.setValue(App, Section, QStringLiteral("offset"), QStringLiteral("2.5"),
                                &refused));
        QVERIFY2(refused.contains(iniPath()) && refused.contains(why), qPrintable(refused));
    }
    if (standing == "file")
        QCOMPARE(fileBytes(), content); // reading changed nothing
    if (standing.startsWith('/'))
        QCOMPARE(QFileInfo(iniPath()).symLinkTarget(), standing);
    if (standing == "fifo") {
        struct stat status = {};
        QVERIFY(::lstat(path.constData(), &status) == 0 && S_ISFIFO(status.st_mode));
    }
}

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "test_settings_file.moc"
