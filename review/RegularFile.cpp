#include "review/RegularFile.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

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

// Reads until size bytes are in, the file ends or it fails (-1); a read
// broken off by a signal is made again.
template <typename Read> qint64 fill(char *into, qint64 size, Read readSome)
{
    qint64 done = 0;
    while (done < size) {
        const ssize_t got = readSome(into + done, static_cast<size_t>(size - done), done);
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

} // namespace

namespace RegularFile {

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

int open(const QString &fileName, QString *failure)
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

qint64 readFully(int fd, char *into, qint64 size)
{
    return fill(into, size,
                [fd](char *at, size_t wanted, qint64) { return ::read(fd, at, wanted); });
}

qint64 readAt(int fd, qint64 offset, char *into, qint64 size)
{
    return fill(into, size, [fd, offset](char *at, size_t wanted, qint64 done) {
        return ::pread(fd, at, wanted, static_cast<off_t>(offset + done));
    });
}

bool identify(const QString &fileName, dev_t *device, ino_t *inode, qint64 *size)
{
    struct stat status
    {
    };
    if (::stat(QFile::encodeName(fileName).constData(), &status) != 0 || !S_ISREG(status.st_mode))
        return false;
    *device = status.st_dev;
    *inode = status.st_ino;
    *size = status.st_size;
    return true;
}

} // namespace RegularFile
