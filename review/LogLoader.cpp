#include "review/LogLoader.h"

#include <QElapsedTimer>
#include <QFile>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <utility>

namespace {

// How often the window hears of progress.
constexpr qint64 SliceMs = 100;

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

// Why fileName is not read: it is missing, or it is no regular file.
QString refusal(const QString &fileName)
{
    struct stat status
    {
    };
    if (::stat(QFile::encodeName(fileName).constData(), &status) != 0)
        return QStringLiteral("it could not be opened: %1").arg(systemError(errno));
    return refusalOf(status);
}

} // namespace

// What the reading thread shares with the loader; whichever ends last frees it.
struct LogLoader::Reading
{
    QString fileName;
    QLocale locale;
    std::function<void()> beforeEachLine;
    std::atomic<bool> stop{false};
    std::mutex receiverLock;
    LogLoader *receiver = nullptr; // null once the loader is gone

    void read();
    // Queued to the receiver's thread; dropped if the receiver is gone by
    // then, as its pending events go with it.
    void hand(Slice slice)
    {
        const std::lock_guard<std::mutex> hold(receiverLock);
        if (!receiver)
            return;
        LogLoader *to = receiver;
        QMetaObject::invokeMethod(
            to, [to, slice = std::move(slice)] { to->sliceRead.notify(slice); },
            Qt::QueuedConnection);
    }
    bool open(QFile *file, QString *failure);
};

LogLoader::LogLoader(const QString &fileName, const QLocale &locale)
    : m_reading(std::make_shared<Reading>())
{
    m_reading->fileName = fileName;
    m_reading->locale = locale;
    m_reading->receiver = this;
}

LogLoader::~LogLoader()
{
    m_reading->stop = true;
    const std::lock_guard<std::mutex> hold(m_reading->receiverLock);
    m_reading->receiver = nullptr;
}

void LogLoader::setBeforeEachLine(std::function<void()> pause)
{
    m_reading->beforeEachLine = std::move(pause);
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
        reading->read();
        --readers;
    }).detach();
}

// Looks before it opens, so that no FIFO or device is ever opened (opening
// one can wait for ever, or start the device); then makes sure that what
// was opened is still that regular file.
bool LogLoader::Reading::open(QFile *file, QString *failure)
{
    *failure = refusal(fileName);
    if (!failure->isEmpty())
        return false;
    const int fd = ::open(QFile::encodeName(fileName).constData(),
                          O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    struct stat opened
    {
    };
    if (fd < 0 || ::fstat(fd, &opened) != 0) {
        *failure = QStringLiteral("it could not be opened: %1").arg(systemError(errno));
        if (fd >= 0)
            ::close(fd);
        return false;
    }
    *failure = refusalOf(opened);
    if (!failure->isEmpty()) {
        ::close(fd);
        return false;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (!file->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        *failure = QStringLiteral("it could not be opened: %1").arg(file->errorString());
        ::close(fd);
        return false;
    }
    return true;
}

void LogLoader::Reading::read()
{
    QFile file;
    Slice slice;
    slice.last = true;
    if (!open(&file, &slice.failure)) {
        hand(std::move(slice));
        return;
    }

    LogReader reader(locale);
    int problemsHanded = 0;
    QElapsedTimer sinceHanded;
    sinceHanded.start();
    const auto fill = [&](Slice &into) {
        into.records = reader.takeRecords();
        into.runs = reader.runs();
        into.problems = reader.problems().mid(problemsHanded);
        problemsHanded = reader.problems().size();
        into.problemCount = reader.problemCount();
        into.originDate = reader.originDate();
        into.bytesRead = file.pos();
        into.bytesTotal = file.size();
    };

    QByteArray line;
    while (!stop && !file.atEnd() && reader.worthReading()) {
        if (beforeEachLine)
            beforeEachLine();
        line = file.readLine(LongestLine);
        if (line.isEmpty() && file.error() != QFileDevice::NoError)
            break;
        const bool ended = line.endsWith('\n');
        if (!ended && line.size() >= LongestLine - 1) {
            // Not a log line: read on to its end without keeping it.
            while (!stop && !file.atEnd() && file.error() == QFileDevice::NoError &&
                   !file.readLine(LongestLine).endsWith('\n')) { }
            reader.skipLine(line, QStringLiteral("longer than any log line: left out"));
            continue;
        }
        line.chop(ended ? (line.endsWith("\r\n") ? 2 : 1) : 0);
        reader.readLine(line, ended);
        if (sinceHanded.elapsed() >= SliceMs) {
            Slice part;
            fill(part);
            hand(std::move(part));
            sinceHanded.restart();
        }
    }
    if (stop)
        return;
    fill(slice);
    if (file.error() != QFileDevice::NoError)
        slice.failure = QStringLiteral("reading stopped at byte %1: %2")
                            .arg(file.pos())
                            .arg(file.errorString());
    else if (file.pos() == 0)
        slice.failure = QStringLiteral("it is empty");
    else if (!reader.notALog().isEmpty())
        slice.failure = QStringLiteral("it is not a station log: ") + reader.notALog();
    hand(std::move(slice));
}
