#include "platform/qt/FileSnapshot.h"

#include <QDateTime>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

// File times may be as coarse as two seconds (FAT), so a file changed in the
// same step as it was read could look unchanged afterwards.
constexpr qint64 TIME_STEP_MS = 2000;

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

qint64 milliseconds(const struct timespec &time)
{
    return qint64(time.tv_sec) * 1000 + time.tv_nsec / 1000000;
}

bool sameTime(const struct timespec &a, const struct timespec &b)
{
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

} // namespace

bool FileSnapshot::refused(const struct stat &status, QString *reason) const
{
    if (S_ISREG(status.st_mode)) {
        if (status.st_size <= m_maxSize)
            return false;
        *reason = QStringLiteral("it is too large (%1 bytes; at most %2 are read)")
                      .arg(status.st_size)
                      .arg(m_maxSize);
    } else if (S_ISDIR(status.st_mode)) {
        *reason = QStringLiteral("it is a folder");
    } else if (S_ISFIFO(status.st_mode)) {
        *reason = QStringLiteral("it is a FIFO (a named pipe), not a file");
    } else if (S_ISCHR(status.st_mode) || S_ISBLK(status.st_mode)) {
        *reason = QStringLiteral("it is a device, not a file");
    } else if (S_ISSOCK(status.st_mode)) {
        *reason = QStringLiteral("it is a socket, not a file");
    } else {
        *reason = QStringLiteral("it is not a regular file");
    }
    return true;
}

bool FileSnapshot::unchanged(const QString &path, const struct stat &status) const
{
    return m_kept && path == m_path && status.st_dev == m_status.st_dev &&
        status.st_ino == m_status.st_ino && status.st_size == m_status.st_size &&
        sameTime(status.st_mtim, m_status.st_mtim) && sameTime(status.st_ctim, m_status.st_ctim) &&
        milliseconds(status.st_mtim) + TIME_STEP_MS < m_readAtMs;
}

bool FileSnapshot::read(const QString &path, QByteArray *bytes, QString *reason)
{
    struct stat status = {};
    if (::stat(QFile::encodeName(path).constData(), &status) == 0 && unchanged(path, status)) {
        *bytes = m_bytes;
        return true;
    }
    return readAfresh(path, bytes, reason);
}

bool FileSnapshot::readAfresh(const QString &path, QByteArray *bytes, QString *reason)
{
    m_kept = false;
    bytes->clear();
    const QByteArray name = QFile::encodeName(path);
    struct stat status = {};
    if (::stat(name.constData(), &status) != 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return true; // no file: nothing stored yet
        *reason = systemError();
        return false;
    }
    if (refused(status, reason))
        return false;
    // Should a FIFO be put there after the check, O_NONBLOCK keeps it from
    // holding the open, and what was opened is checked again.
    const qint64 readAtMs = QDateTime::currentMSecsSinceEpoch();
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        if (errno == ENOENT)
            return true;
        *reason = systemError();
        return false;
    }
    bool ok = ::fstat(fd, &status) == 0;
    if (!ok)
        *reason = systemError();
    else
        ok = !refused(status, reason);
    QByteArray content;
    while (ok) {
        char chunk[16384];
        const ssize_t count = ::read(fd, chunk, sizeof chunk);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0) {
            if (count < 0)
                *reason = systemError();
            ok = count == 0;
            break;
        }
        content.append(chunk, int(count));
        if (content.size() > m_maxSize) {
            *reason = QStringLiteral("it is too large (more than %1 bytes)").arg(m_maxSize);
            ok = false;
        }
    }
    ::close(fd);
    if (!ok)
        return false;
    m_kept = true;
    m_path = path;
    m_bytes = content;
    m_status = status;
    m_readAtMs = readAtMs;
    *bytes = content;
    return true;
}
