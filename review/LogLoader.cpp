#include "review/LogLoader.h"

#include "review/LogBlocks.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <deque>
#include <fcntl.h>
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
constexpr int DefaultBlockSize = 1 << 20;
// Blocks being parsed at once, besides the one being read: both cores.
constexpr size_t BlocksInFlight = 2;
// How often the window gets the points read so far, once it has the first.
constexpr qint64 PointsMs = 250;
// How much less the reading threads weigh than the window's when the cores are busy.
constexpr int ReaderNice = 5;
// How much of a file's start is looked at for its first run's date.
constexpr int HeadBytes = 64 * 1024;

std::atomic<int> readers{0};

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// What a file that is no regular file is, in the operator's words.
QString kindOf(mode_t mode)
{
    if (S_ISDIR(mode))
        return QStringLiteral("a folder");
    if (S_ISFIFO(mode))
        return QStringLiteral("a FIFO (named pipe)");
    if (S_ISCHR(mode))
        return QStringLiteral("a character device");
    if (S_ISBLK(mode))
        return QStringLiteral("a block device");
    if (S_ISSOCK(mode))
        return QStringLiteral("a socket");
    return QStringLiteral("of an unknown kind");
}

QString refusalOf(const struct stat &status)
{
    return S_ISREG(status.st_mode)
        ? QString()
        : QStringLiteral("it is not a regular file: %1").arg(kindOf(status.st_mode));
}

// Opens a regular file for reading, looking before it opens, so that no FIFO
// or device is ever opened (opening one can wait for ever, or start the
// device), then making sure that what was opened is still that regular file.
int openRegular(const QString &fileName, QString *failure)
{
    const QByteArray name = QFile::encodeName(fileName);
    struct stat status
    {
    };
    if (::stat(name.constData(), &status) != 0) {
        *failure = QStringLiteral("it could not be opened: %1").arg(systemError(errno));
        return -1;
    }
    *failure = refusalOf(status);
    if (!failure->isEmpty())
        return -1;
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    struct stat opened
    {
    };
    if (fd < 0 || ::fstat(fd, &opened) != 0) {
        *failure = QStringLiteral("it could not be opened: %1").arg(systemError(errno));
        if (fd >= 0)
            ::close(fd);
        return -1;
    }
    *failure = refusalOf(opened);
    if (!failure->isEmpty()) {
        ::close(fd);
        return -1;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

// Reads until size bytes or the end; -1 on an error.
qint64 readFully(int fd, char *into, qint64 size)
{
    qint64 done = 0;
    while (done < size) {
        const ssize_t got = ::read(fd, into + done, static_cast<size_t>(size - done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return -1;
        if (got == 0)
            break;
        done += got;
    }
    return done;
}

// The date of the first dated run in the file's first bytes, to put files in order.
QDate firstRunDate(const QString &fileName)
{
    QString failure;
    const int fd = openRegular(fileName, &failure);
    if (fd < 0)
        return {};
    QByteArray head(HeadBytes, Qt::Uninitialized);
    const qint64 got = readFully(fd, head.data(), head.size());
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

    QStringList paths;
    QLocale locale;
    std::function<void()> beforeEachBlock;
    int blockSize = DefaultBlockSize;
    unsigned columns = LogColumns::PhColumns;
    std::atomic<bool> stop{false};
    // Points handed over that the window has not taken yet: no others are
    // copied meanwhile, so a slow window costs neither memory nor time.
    std::atomic<bool> pointsPending{false};
    ChartStore points{LogColumns::Plots, LogLoader::GapDays};
    bool pointsChanged = false;
    QElapsedTimer sincePoints;
    std::mutex receiverLock;
    LogLoader *receiver = nullptr; // null once the loader is gone

    std::vector<File> files;
    QDate origin;
    qint64 bytesRead = 0;
    qint64 bytesTotal = 0;

    void read();
    void listFiles();
    void readFile(int index, const LogTimeOfDay &times);
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
    m_reading->stop = true;
    const std::lock_guard<std::mutex> hold(m_reading->receiverLock);
    m_reading->receiver = nullptr;
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

int LogLoader::readersRunning()
{
    return readers;
}

void LogLoader::start()
{
    if (std::exchange(m_started, true))
        return;
    ++readers;
    std::thread([reading = m_reading] {
        // Below the window's thread (and the station's read cycle, in the
        // station's own process): the parsing threads it starts inherit this.
        ::setpriority(PRIO_PROCESS, static_cast<id_t>(::syscall(SYS_gettid)), ReaderNice);
        reading->read();
        --readers;
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
        struct stat status
        {
        };
        if (::stat(QFile::encodeName(file.path).constData(), &status) == 0 &&
            S_ISREG(status.st_mode))
            file.size = status.st_size;
        bytesTotal += file.size;
    }
    std::stable_sort(files.begin(), files.end(), [](const File &a, const File &b) {
        return a.firstRun.isValid() && (!b.firstRun.isValid() || a.firstRun < b.firstRun);
    });
    if (!files.empty())
        origin = files.front().firstRun;
    points.setOriginDate(origin);
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
    slice.points = whole ? std::make_shared<ChartStore>(std::move(points))
                         : std::make_shared<ChartStore>(points);
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
}

void LogLoader::Reading::readFile(int index, const LogTimeOfDay &times)
{
    const File &file = files[static_cast<size_t>(index)];
    LogReader reader(locale);
    reader.setOrigin(origin);
    const qint64 bytesBefore = bytesRead;
    int problemsHanded = 0;
    qint64 fileRead = 0;
    std::vector<LogReader::Record> records;
    const auto fill = [&](Slice &into) {
        into.file = index;
        reader.takeRecords(&records);
        keep(records);
        if (!origin.isValid() && reader.originDate().isValid())
            points.setOriginDate(reader.originDate());
        handPoints(into, false);
        into.runs = reader.runs();
        into.problems = reader.problems().mid(problemsHanded);
        problemsHanded = reader.problems().size();
        into.problemCount = reader.problemCount();
        into.originDate = origin.isValid() ? origin : reader.originDate();
        into.bytesRead = bytesRead;
        into.bytesTotal = bytesTotal;
    };
    Slice end;
    end.fileDone = true;
    const auto finish = [&] {
        if (!origin.isValid())
            origin = reader.originDate();
        fill(end);
        hand(std::move(end));
    };

    const int fd = file.failure.isEmpty() ? openRegular(file.path, &end.failure) : -1;
    if (fd < 0) {
        if (end.failure.isEmpty())
            end.failure = file.failure;
        finish();
        return;
    }

    // Blocks are cut after their last line end; what follows goes with the
    // next. A line longer than any log line is skipped to its end. Buffers
    // and parsed blocks are used again: no block costs an allocation.
    struct Job
    {
        std::vector<char> bytes;
        LogChunk chunk;
    };
    std::deque<std::future<Job>> parsing;
    std::vector<Job> spare;
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
    LogBlocks blocks(LongestLine);
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
        blocks.begin(&block);
        const size_t had = block.size();
        block.resize(had + static_cast<size_t>(blockSize));
        const qint64 got = readFully(fd, block.data() + had, blockSize);
        if (got < 0) {
            error = errno;
            block.resize(had);
            atEnd = true;
        } else {
            block.resize(had + static_cast<size_t>(got));
            atEnd = got < blockSize;
            fileRead += got;
            bytesRead += got;
        }
        const LogBlocks::Cut cut = blocks.cut(block, atEnd);
        parsing.push_back(std::async(
            std::launch::async, [job = std::move(job), cut, atEnd, &times, this]() mutable {
                job.chunk.parse(job.bytes.data() + cut.first, job.bytes.data() + cut.last, atEnd,
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
            fill(part);
            hand(std::move(part));
            sinceHanded.restart();
        }
    }
    for (auto &job : parsing)
        job.wait();
    ::close(fd);
    if (stop)
        return;
    bytesRead = bytesBefore + std::max(fileRead, file.size); // all of it, read or not worth reading
    if (error != 0)
        end.failure =
            QStringLiteral("reading stopped at byte %1: %2").arg(fileRead).arg(systemError(error));
    else if (fileRead == 0)
        end.failure = QStringLiteral("it is empty");
    else if (!reader.notALog().isEmpty())
        end.failure = QStringLiteral("it is not a station log: ") + reader.notALog();
    finish();
}
