#include "review/LogLoader.h"

#include "review/DailyLog.h"
#include "review/LogBlocks.h"
#include "review/LogPreview.h"
#include "review/RegularFile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <deque>
#include <future>
#include <mutex>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <thread>
#include <unistd.h>
#include <utility>

namespace {

// How often the window hears of progress.
constexpr qint64 SliceMs = 50;
// How often the window gets the points read so far, once it has the first.
constexpr qint64 PointsMs = 250;
constexpr int DefaultBlockSize = 1 << 20;
// Blocks being parsed at once, besides the one being read: both cores.
constexpr size_t BlocksInFlight = 2;
// How much less the reading threads weigh than the window's when the cores are busy.
constexpr int ReaderNice = 5;
// A journal keeps a few lines an hour: one larger than this is read this far.
constexpr qint64 LargestJournal = 16 << 20;
// Places sampled for a first picture, over all files.
constexpr int PreviewSamples = 4000;
// How much of a file's start is looked at for its first run's date.
constexpr int HeadBytes = 64 * 1024;
// A followed log is looked at this often: a station writes twice a second at most.
constexpr std::chrono::milliseconds FollowEvery{250};
// And the folder of a daily log, for the next day's file, this many times less often.
constexpr int NextDayEvery = 4;

// Reading threads not ended yet. A reader ends under the lock and tells
// while holding it, so whoever sees none left finds nothing of the reader's
// still in use.
std::mutex readersLock;
std::condition_variable readerEnded;
int readers = 0;

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// The date of the first dated run in the file's first bytes, to put files in order.
QDate firstRunDate(const QString &fileName)
{
    QString failure;
    const int fd = RegularFile::open(fileName, &failure);
    if (fd < 0)
        return {};
    QByteArray head(HeadBytes, Qt::Uninitialized);
    const qint64 got = RegularFile::readFully(fd, head.data(), head.size());
    ::close(fd);
    head.resize(static_cast<int>(std::max<qint64>(got, 0)));
    LogChunk chunk;
    const LogTimeOfDay times(QLocale::c());
    chunk.parse(head.constBegin(), head.constEnd(), false, {times, QLocale::c(), 0});
    for (const LogChunk::RunStart &run : chunk.runStarts)
        if (run.date.isValid())
            return run.date;
    return {};
}

} // namespace

// What the reading thread shares with the loader; whichever ends last frees it.
struct LogLoader::Reading : std::enable_shared_from_this<Reading>
{
    struct File
    {
        QString path;
        QString failure; // known before reading: an empty folder
        QDate firstRun;
        qint64 size = 0;
    };
    // The file read last, kept open to be followed as it grows.
    struct Open
    {
        int index = -1;
        int fd = -1;
        dev_t device = 0;
        ino_t inode = 0;
        qint64 offset = 0; // read so far
        std::unique_ptr<LogBlocks> blocks;
        std::unique_ptr<LogReader> reader;
        int problemsHanded = 0;
        // A last line the file ended inside, taken as such; where it begins.
        bool tailTaken = false;
        qint64 tailStart = 0;
        bool gone = false;
        qint64 journalOffset = 0;
        QByteArray journalCarry;
    };

    QStringList paths;
    QLocale locale;
    std::function<void()> beforeEachBlock;
    int blockSize = DefaultBlockSize;
    unsigned columns = LogColumns::PhColumns;
    std::atomic<bool> stop{false};
    std::atomic<bool> following{false};
    // Wakes a follower waiting to be asked, or between its looks, to stop.
    std::mutex wakeLock;
    std::condition_variable wake;
    // Points handed over that the window has not taken yet: no others are
    // copied meanwhile, so a slow window costs neither memory nor time.
    std::atomic<bool> pointsPending{false};
    ChartStore points{LogColumns::Plots, LogLoader::GapDays};
    // A store handed over and given back, to copy the next points into.
    std::mutex recycledLock;
    std::shared_ptr<ChartStore> recycled;
    bool pointsWhole = false; // handed over for good: nothing to copy into any more
    bool pointsChanged = false;
    QElapsedTimer sincePoints;
    std::mutex receiverLock;
    LogLoader *receiver = nullptr; // null once the loader is gone

    std::vector<File> files;
    QDate origin;
    qint64 bytesRead = 0;
    qint64 bytesTotal = 0;
    std::unique_ptr<JournalReader> journal;
    Open open;

    void read();
    void listFiles();
    void readJournals(Slice &slice);
    void sampleAll(const LogTimeOfDay &times, Slice &slice);
    void readFile(int index, const LogTimeOfDay &times);
    void follow(const LogTimeOfDay &times);
    void followOnce(const LogTimeOfDay &times, Slice &slice);
    bool openToFollow(int index, Slice &slice);
    void readOn(const LogTimeOfDay &times, Slice &slice);
    void readJournalOn(Slice &slice);
    void takeTail(const LogTimeOfDay &times);
    void describe(Slice &slice);
    void keep(const std::vector<LogReader::Record> &records);
    // A copy of the points for the window, when it has taken the last one;
    // at the end (whole) the points themselves.
    void handPoints(Slice &slice, bool whole);
    // Queued to the receiver's thread; dropped if the receiver is gone by
    // then, as its pending events go with it.
    void hand(Slice slice)
    {
        const std::lock_guard<std::mutex> hold(receiverLock);
        if (!receiver)
            return;
        LogLoader *to = receiver;
        const bool withPoints = slice.points != nullptr;
        QMetaObject::invokeMethod(
            to,
            [to, withPoints, reading = shared_from_this(), slice = std::move(slice)] {
                to->sliceRead.notify(slice);
                if (withPoints)
                    reading->pointsPending = false;
            },
            Qt::QueuedConnection);
    }
};

LogLoader::LogLoader(const QStringList &paths, const QLocale &locale)
    : m_reading(std::make_shared<Reading>())
{
    m_reading->paths = paths;
    m_reading->locale = locale;
    m_reading->receiver = this;
}

LogLoader::~LogLoader()
{
    {
        const std::lock_guard<std::mutex> hold(m_reading->wakeLock);
        m_reading->stop = true;
    }
    m_reading->wake.notify_all();
    const std::lock_guard<std::mutex> hold(m_reading->receiverLock);
    m_reading->receiver = nullptr;
}

void LogLoader::recycle(std::shared_ptr<ChartStore> points)
{
    const std::lock_guard<std::mutex> hold(m_reading->recycledLock);
    if (!m_reading->pointsWhole && points && points->plotCount() == LogColumns::Plots)
        m_reading->recycled = std::move(points);
}

void LogLoader::setBeforeEachBlock(std::function<void()> pause)
{
    m_reading->beforeEachBlock = std::move(pause);
}

void LogLoader::setBlockSize(int bytes)
{
    m_reading->blockSize = std::max(bytes, 1);
}

void LogLoader::setColumns(unsigned columns)
{
    m_reading->columns = columns;
}

void LogLoader::setFollowing(bool following)
{
    {
        const std::lock_guard<std::mutex> hold(m_reading->wakeLock);
        m_reading->following = following;
    }
    m_reading->wake.notify_all();
}

int LogLoader::readersRunning()
{
    const std::lock_guard<std::mutex> hold(readersLock);
    return readers;
}

bool LogLoader::waitForReaders(std::chrono::milliseconds limit)
{
    std::unique_lock<std::mutex> hold(readersLock);
    return readerEnded.wait_for(hold, limit, [] { return readers == 0; });
}

void LogLoader::start()
{
    if (std::exchange(m_started, true))
        return;
    {
        const std::lock_guard<std::mutex> hold(readersLock);
        ++readers;
    }
    std::thread([reading = m_reading]() mutable {
        // Below the window's thread (and the station's read cycle, in the
        // station's own process): the parsing threads it starts inherit this.
        ::setpriority(PRIO_PROCESS, static_cast<id_t>(::syscall(SYS_gettid)), ReaderNice);
        reading->read();
        if (reading->open.fd >= 0)
            ::close(reading->open.fd);
        reading.reset(); // the last owner, once the loader is gone: freed before telling
        const std::lock_guard<std::mutex> hold(readersLock);
        --readers;
        readerEnded.notify_all();
    }).detach();
}

// A folder stands for the regular files in it, journals and hidden files
// aside; then all go in the order of their first run's date, those without
// one last, in the order named.
void LogLoader::Reading::listFiles()
{
    for (const QString &path : paths) {
        const QFileInfo info(path);
        if (!info.isDir() || info.isSymLink()) {
            files.push_back({path, {}, {}, 0});
            continue;
        }
        const QFileInfoList entries =
            QDir(path).entryInfoList(QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
        int added = 0;
        for (const QFileInfo &entry : entries) {
            if (entry.fileName().endsWith(QLatin1String(".events")))
                continue;
            files.push_back({entry.filePath(), {}, {}, 0});
            ++added;
        }
        if (added == 0)
            files.push_back({path, QStringLiteral("the folder holds no files to read"), {}, 0});
    }
    for (File &file : files) {
        if (stop)
            return;
        if (!file.failure.isEmpty())
            continue;
        file.firstRun = firstRunDate(file.path);
        dev_t device = 0;
        ino_t inode = 0;
        if (RegularFile::identify(file.path, &device, &inode, &file.size))
            bytesTotal += file.size;
    }
    std::stable_sort(files.begin(), files.end(), [](const File &a, const File &b) {
        return a.firstRun.isValid() && (!b.firstRun.isValid() || a.firstRun < b.firstRun);
    });
    if (!files.empty())
        origin = files.front().firstRun;
    points.setOriginDate(origin);
}

void LogLoader::Reading::read()
{
    listFiles();
    if (stop)
        return;
    const LogTimeOfDay times(locale);
    Slice first;
    for (const File &file : files)
        first.files.append(file.path);
    first.bytesTotal = bytesTotal;
    first.originDate = origin;
    readJournals(first);
    if (bytesTotal >= PreviewFrom)
        sampleAll(times, first);
    hand(std::move(first));
    for (int index = 0; index < static_cast<int>(files.size()) && !stop; ++index)
        readFile(index, times);
    if (stop)
        return;
    Slice done;
    done.last = true;
    done.originDate = origin;
    done.bytesRead = bytesRead;
    done.bytesTotal = bytesTotal;
    handPoints(done, true);
    hand(std::move(done));
    follow(times);
}

// The journal beside each log, in the logs' order: one stretch may begin in
// one day's journal and end in the next. None is no problem; one that is no
// regular file, or whose lines do not read, is.
void LogLoader::Reading::readJournals(Slice &slice)
{
    if (!origin.isValid())
        return; // nothing to place its times against
    journal = std::make_unique<JournalReader>(origin);
    for (const File &file : files) {
        const QString name = file.path + QStringLiteral(".events");
        if (stop)
            return;
        struct stat status
        {
        };
        if (::lstat(QFile::encodeName(name).constData(), &status) != 0)
            continue;
        QString failure;
        const int fd = RegularFile::open(name, &failure);
        if (fd < 0) {
            slice.notes << QStringLiteral("%1: %2").arg(native(name), failure);
            continue;
        }
        QByteArray bytes(static_cast<int>(std::min<qint64>(status.st_size, LargestJournal)),
                         Qt::Uninitialized);
        const qint64 got = RegularFile::readFully(fd, bytes.data(), bytes.size());
        ::close(fd);
        bytes.truncate(static_cast<int>(std::max<qint64>(got, 0)));
        const size_t problemsBefore = journal->problems().size();
        journal->beginFile();
        const int lastEnd = bytes.lastIndexOf('\n');
        for (const QByteArray &line : bytes.left(lastEnd + 1).split('\n'))
            journal->readLine(line.endsWith('\r') ? line.chopped(1) : line);
        if (&file == &files.back()) {
            open.journalOffset = lastEnd + 1;
            open.journalCarry.clear();
        }
        for (size_t i = problemsBefore; i < journal->problems().size(); ++i)
            slice.notes << QStringLiteral("%1, line %2: %3")
                               .arg(native(name))
                               .arg(journal->problems()[i].line)
                               .arg(journal->problems()[i].why);
        if (status.st_size > LargestJournal)
            slice.notes << QStringLiteral("%1: only its first %2 MB are read")
                               .arg(native(name))
                               .arg(LargestJournal >> 20);
    }
    slice.journal = std::make_shared<const std::vector<JournalStretch>>(journal->stretches());
}

void LogLoader::Reading::sampleAll(const LogTimeOfDay &times, Slice &slice)
{
    auto preview = std::make_shared<ChartStore>(LogColumns::Plots, 1.0);
    preview->setOriginDate(origin);
    for (const File &file : files) {
        QString failure;
        const int fd = file.failure.isEmpty() ? RegularFile::open(file.path, &failure) : -1;
        if (fd < 0 || stop)
            continue;
        const auto samples = static_cast<int>(PreviewSamples * file.size / bytesTotal);
        LogPreview::sample(fd, file.size, samples, origin, file.firstRun, {times, locale, columns},
                           preview.get());
        ::close(fd);
    }
    slice.preview = preview;
}

void LogLoader::Reading::keep(const std::vector<LogReader::Record> &records)
{
    for (int column = 0; column < LogColumns::Count; ++column) {
        if (!(columns & LogColumns::bit(column)))
            continue;
        const int plot = LogColumns::plotOf(column);
        for (const LogReader::Record &record : records)
            points.appendPlaced(plot, record.x, record.values[column]);
    }
    pointsChanged = pointsChanged || !records.empty();
}

void LogLoader::Reading::handPoints(Slice &slice, bool whole)
{
    if (!pointsChanged || (!whole && pointsPending))
        return;
    if (!whole && sincePoints.isValid() && sincePoints.elapsed() < PointsMs)
        return;
    sincePoints.start();
    pointsChanged = false;
    pointsPending = true;
    std::shared_ptr<ChartStore> copy;
    {
        const std::lock_guard<std::mutex> hold(recycledLock);
        copy = std::exchange(recycled, nullptr);
        pointsWhole = whole;
    }
    if (whole)
        slice.points = std::make_shared<ChartStore>(std::move(points));
    else if (copy)
        *(slice.points = copy) = points;
    else
        slice.points = std::make_shared<ChartStore>(points);
}

// The file the slice is of, as its reader has it so far.
void LogLoader::Reading::describe(Slice &slice)
{
    LogReader &reader = *open.reader;
    slice.file = open.index;
    slice.runs = reader.runs();
    slice.problems = reader.problems().mid(open.problemsHanded);
    open.problemsHanded = reader.problems().size();
    slice.problemCount = reader.problemCount();
    if (!origin.isValid())
        origin = reader.originDate();
    slice.originDate = origin;
    slice.bytesRead = bytesRead;
    slice.bytesTotal = bytesTotal;
}

// A last line the file ends inside, while the file is not followed: taken as
// such (a follower takes it back once it may be ended after all).
void LogLoader::Reading::takeTail(const LogTimeOfDay &times)
{
    std::vector<char> tail;
    open.blocks->begin(&tail);
    if (tail.empty() || !open.reader->worthReading())
        return;
    LogChunk chunk;
    chunk.parse(tail.data(), tail.data() + tail.size(), true, {times, locale, columns});
    open.reader->take(chunk);
    open.tailTaken = true;
    open.tailStart = open.offset - static_cast<qint64>(tail.size());
    open.blocks = std::make_unique<LogBlocks>(LongestLine);
}

void LogLoader::Reading::readFile(int index, const LogTimeOfDay &times)
{
    if (open.fd >= 0)
        ::close(open.fd);
    open = Open();
    open.index = index;
    open.reader = std::make_unique<LogReader>(locale);
    open.reader->setOrigin(origin);
    open.blocks = std::make_unique<LogBlocks>(LongestLine);
    LogReader &reader = *open.reader;
    const File &file = files[static_cast<size_t>(index)];
    const qint64 bytesBefore = bytesRead;
    Slice end;
    end.fileDone = true;
    const auto finish = [&] {
        describe(end);
        hand(std::move(end));
    };
    open.fd = file.failure.isEmpty() ? RegularFile::open(file.path, &end.failure) : -1;
    if (open.fd < 0) {
        if (end.failure.isEmpty())
            end.failure = file.failure;
        finish();
        return;
    }
    struct stat opened
    {
    };
    ::fstat(open.fd, &opened);
    open.device = opened.st_dev;
    open.inode = opened.st_ino;

    // Blocks are cut after their last line end and parsed on two threads;
    // what follows the last line end goes with the next. Buffers and parsed
    // blocks are used again: no block costs an allocation.
    struct Job
    {
        std::vector<char> bytes;
        LogChunk chunk;
    };
    std::deque<std::future<Job>> parsing;
    std::vector<Job> spare;
    std::vector<LogReader::Record> records;
    const auto takeOldest = [&] {
        Job job = parsing.front().get();
        parsing.pop_front();
        reader.take(job.chunk);
        reader.takeRecords(&records);
        keep(records);
        job.chunk.clear();
        spare.push_back(std::move(job));
    };
    QElapsedTimer sinceHanded;
    sinceHanded.start();
    bool atEnd = false;
    int error = 0;
    while (!stop && !atEnd && reader.worthReading()) {
        if (beforeEachBlock)
            beforeEachBlock();
        if (stop)
            break;
        Job job;
        if (!spare.empty()) {
            job = std::move(spare.back());
            spare.pop_back();
        }
        std::vector<char> &block = job.bytes;
        open.blocks->begin(&block);
        const size_t had = block.size();
        block.resize(had + static_cast<size_t>(blockSize));
        const qint64 got = RegularFile::readFully(open.fd, block.data() + had, blockSize);
        if (got < 0) {
            error = errno;
            block.resize(had);
            atEnd = true;
        } else {
            block.resize(had + static_cast<size_t>(got));
            atEnd = got < blockSize;
            open.offset += got;
            bytesRead += got;
        }
        // The line a block ends inside waits for the next, even at the end:
        // a followed file may end it yet.
        const LogBlocks::Cut cut = open.blocks->cut(block, false);
        parsing.push_back(
            std::async(std::launch::async, [job = std::move(job), cut, &times, this]() mutable {
                job.chunk.parse(job.bytes.data() + cut.first, job.bytes.data() + cut.last, false,
                                {times, locale, columns});
                return std::move(job);
            }));
        if (!cut.skipped.isEmpty()) {
            Job skipped;
            skipped.chunk.skip(cut.skipped.constData(), cut.skipped.size());
            std::promise<Job> ready;
            ready.set_value(std::move(skipped));
            parsing.push_back(ready.get_future());
        }
        while (parsing.size() > BlocksInFlight || (atEnd && !parsing.empty())) {
            takeOldest();
            if (!reader.worthReading())
                break;
        }
        if (sinceHanded.elapsed() >= SliceMs || (pointsChanged && !sincePoints.isValid())) {
            Slice part;
            describe(part);
            handPoints(part, false);
            hand(std::move(part));
            sinceHanded.restart();
        }
    }
    for (auto &job : parsing)
        job.wait();
    if (stop)
        return;
    if (!following || index + 1 < static_cast<int>(files.size()))
        takeTail(times);
    reader.takeRecords(&records);
    keep(records);
    bytesRead = bytesBefore + std::max(open.offset, file.size); // read, or not worth reading
    if (error != 0)
        end.failure = QStringLiteral("reading stopped at byte %1: %2")
                          .arg(open.offset)
                          .arg(RegularFile::systemError(error));
    else if (open.offset == 0)
        end.failure = QStringLiteral("it is empty");
    else if (!reader.notALog().isEmpty())
        end.failure = QStringLiteral("it is not a station log: ") + reader.notALog();
    finish();
}

// While asked to, looks at the last file read as tail -f does: what it grows
// by is read and handed over as records, its journal's new lines too. A file
// put in its place (an overwrite, a copy) is read again from its start, a
// file gone is waited for, each said once; the next day's file of a daily
// log takes over once it is there.
void LogLoader::Reading::follow(const LogTimeOfDay &times)
{
    if (open.index < 0)
        return;
    int looks = 0;
    bool wasFollowing = false;
    while (!stop) {
        {
            std::unique_lock<std::mutex> hold(wakeLock);
            if (!following)
                wasFollowing = false;
            // Asleep until asked to follow; then a look every quarter second.
            wake.wait(hold, [this] { return stop || following; });
            wake.wait_for(hold, FollowEvery, [this] { return bool(stop); });
        }
        if (stop)
            return;
        if (!following)
            continue;
        Slice slice;
        if (!wasFollowing && open.tailTaken) {
            // The line taken as one the file ends inside may be ended now.
            open.reader->forgetLastLine();
            open.offset = open.tailStart;
            open.tailTaken = false;
        }
        wasFollowing = true;
        followOnce(times, slice);
        if (++looks % NextDayEvery == 0 && !open.gone) {
            const QString next = DailyLog::nextAfter(files[static_cast<size_t>(open.index)].path);
            if (!next.isEmpty()) {
                // The rest of this day's file, then the next one's from its start.
                takeTail(times);
                Slice done;
                done.fileDone = true;
                describe(done);
                hand(std::move(done));
                files.push_back({next, {}, DailyLog::dateOf(next), 0});
                slice.files << next;
                if (openToFollow(static_cast<int>(files.size()) - 1, slice))
                    readOn(times, slice);
            }
        }
        if (!slice.records.empty() || !slice.notes.isEmpty() || slice.journal ||
            !slice.files.isEmpty() || !slice.problems.isEmpty())
            hand(std::move(slice));
    }
}

void LogLoader::Reading::followOnce(const LogTimeOfDay &times, Slice &slice)
{
    const QString &path = files[static_cast<size_t>(open.index)].path;
    dev_t device = 0;
    ino_t inode = 0;
    qint64 size = 0;
    if (!RegularFile::identify(path, &device, &inode, &size)) {
        if (!open.gone)
            slice.notes << QStringLiteral("%1 is gone: the window waits for it to come back")
                               .arg(native(path));
        open.gone = true;
        describe(slice);
        return;
    }
    if (open.gone || device != open.device || inode != open.inode || size < open.offset) {
        slice.notes
            << QStringLiteral("%1 was replaced: it is read again from its start").arg(native(path));
        if (!openToFollow(open.index, slice))
            return;
    }
    readOn(times, slice);
    readJournalOn(slice);
}

// Opens a file to follow from its start, with a reader of its own.
bool LogLoader::Reading::openToFollow(int index, Slice &slice)
{
    if (open.fd >= 0)
        ::close(open.fd);
    // A file put in place of the one followed keeps its journal; another
    // day's file has one of its own.
    const bool sameFile = index == open.index;
    const qint64 journalOffset = sameFile ? open.journalOffset : 0;
    const QByteArray journalCarry = sameFile ? open.journalCarry : QByteArray();
    if (!sameFile && journal)
        journal->beginFile();
    open = Open();
    open.index = index;
    open.journalOffset = journalOffset;
    open.journalCarry = journalCarry;
    open.reader = std::make_unique<LogReader>(locale);
    open.reader->setOrigin(origin);
    open.blocks = std::make_unique<LogBlocks>(LongestLine);
    QString failure;
    open.fd = RegularFile::open(files[static_cast<size_t>(index)].path, &failure);
    struct stat opened
    {
    };
    if (open.fd < 0 || ::fstat(open.fd, &opened) != 0) {
        open.gone = true;
        slice.notes << QStringLiteral("%1: %2").arg(native(files[static_cast<size_t>(index)].path),
                                                    failure);
        return false;
    }
    open.device = opened.st_dev;
    open.inode = opened.st_ino;
    return true;
}

// What the file grew by, its whole lines; the line it ends inside waits.
void LogLoader::Reading::readOn(const LogTimeOfDay &times, Slice &slice)
{
    LogReader &reader = *open.reader;
    std::vector<char> block;
    std::vector<LogReader::Record> records;
    while (!stop && reader.worthReading()) {
        open.blocks->begin(&block);
        const size_t had = block.size();
        block.resize(had + static_cast<size_t>(blockSize));
        const qint64 got = RegularFile::readAt(open.fd, open.offset, block.data() + had, blockSize);
        if (got <= 0)
            break;
        block.resize(had + static_cast<size_t>(got));
        open.offset += got;
        const LogBlocks::Cut cut = open.blocks->cut(block, false);
        LogChunk chunk;
        chunk.parse(block.data() + cut.first, block.data() + cut.last, false,
                    {times, locale, columns});
        reader.take(chunk);
        if (!cut.skipped.isEmpty())
            reader.skipLine(cut.skipped, LogChunk::tooLong());
        reader.takeRecords(&records);
        slice.records.insert(slice.records.end(), records.begin(), records.end());
        if (got < blockSize)
            break;
    }
    describe(slice);
}

// The new whole lines of the followed file's journal.
void LogLoader::Reading::readJournalOn(Slice &slice)
{
    if (!journal)
        return;
    const QString name = files[static_cast<size_t>(open.index)].path + QStringLiteral(".events");
    dev_t device = 0;
    ino_t inode = 0;
    qint64 size = 0;
    if (!RegularFile::identify(name, &device, &inode, &size) || size == open.journalOffset)
        return;
    if (size < open.journalOffset) { // begun anew
        open.journalOffset = 0;
        open.journalCarry.clear();
    }
    QString failure;
    const int fd = RegularFile::open(name, &failure);
    if (fd < 0)
        return;
    const qint64 wanted = std::min(size - open.journalOffset, LargestJournal);
    QByteArray bytes(static_cast<int>(wanted), Qt::Uninitialized);
    const qint64 got = RegularFile::readAt(fd, open.journalOffset, bytes.data(), wanted);
    ::close(fd);
    if (got <= 0)
        return;
    bytes.truncate(static_cast<int>(got));
    open.journalOffset += got;
    bytes.prepend(open.journalCarry);
    const int lastEnd = bytes.lastIndexOf('\n');
    open.journalCarry = bytes.mid(lastEnd + 1);
    if (lastEnd < 0)
        return;
    for (const QByteArray &line : bytes.left(lastEnd).split('\n'))
        journal->readLine(line.endsWith('\r') ? line.chopped(1) : line);
    slice.journal = std::make_shared<const std::vector<JournalStretch>>(journal->stretches());
}
