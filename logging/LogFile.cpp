#include "logging/LogFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool LogFile::open(const QString &fileName, Mode mode, QString *reason)
{
    close();
    m_name = fileName;
    m_file.setFileName(fileName);
    if (fileName.isEmpty()) {
        *reason = QStringLiteral("No file name was chosen.");
        return false;
    }
    // Unbuffered: each write goes straight to the operating system, so a
    // record is there before the next tick even if the program then dies.
    QIODevice::OpenMode flags = QIODevice::WriteOnly | QIODevice::Unbuffered;
    flags |= mode == Mode::Append ? QIODevice::Append : QIODevice::Truncate;
    if (!m_file.open(flags)) {
        *reason = m_file.errorString();
        return false;
    }
    m_syncer.follow(m_file.handle());
    return true;
}

bool LogFile::openOwn(const QString &fileName, Mode mode, QString *reason)
{
    close();
    m_name = fileName;
    const QByteArray path = QFile::encodeName(fileName);
    // Not blocking, so that a FIFO without a reader fails at once rather
    // than holding the thread; cleared again once it is known to be a file.
    const int fd =
        ::open(path.constData(),
               O_WRONLY | O_CREAT | O_APPEND | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, 0666);
    if (fd < 0) {
        *reason = errno == ELOOP ? QStringLiteral("It is a symbolic link; it is not followed.")
                                 : QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    struct stat opened
    {
    };
    QString refusal;
    if (::fstat(fd, &opened) != 0)
        refusal = QString::fromLocal8Bit(std::strerror(errno));
    else if (!S_ISREG(opened.st_mode))
        refusal = QStringLiteral("It is not a regular file.");
    else if (mode == Mode::Overwrite && opened.st_size > 0 && opened.st_uid != ::geteuid())
        refusal = QStringLiteral("It belongs to another user; it is not emptied.");
    else if (mode == Mode::Overwrite && ::ftruncate(fd, 0) != 0)
        refusal = QString::fromLocal8Bit(std::strerror(errno));
    else if (::fcntl(fd, F_SETFL, O_APPEND) != 0)
        refusal = QString::fromLocal8Bit(std::strerror(errno));
    if (!refusal.isEmpty() ||
        !m_file.open(fd, QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered,
                     QFileDevice::AutoCloseHandle)) {
        *reason = refusal.isEmpty() ? m_file.errorString() : refusal;
        ::close(fd);
        return false;
    }
    m_syncer.follow(m_file.handle());
    return true;
}

bool LogFile::WriteLogLine(const LogLine &values, QString *reason)
{
    return writeBytes(LogValue::encodeLine(values), reason);
}

bool LogFile::WriteLogLines(const QVector<LogLine> &lines, QString *reason)
{
    QByteArray bytes;
    for (const LogLine &line : lines)
        bytes += LogValue::encodeLine(line);
    return writeBytes(bytes, reason);
}

bool LogFile::writeBytes(const QByteArray &line, QString *reason)
{
    if (!m_file.isOpen()) {
        *reason = QStringLiteral("The file is not open.");
        return false;
    }
    if (!stillAtItsPath(reason))
        return false;
    const qint64 before = size();
    // Straight to the descriptor: a short write is followed by another, so
    // the reason of a failure is the system's own (disk full, size limit).
    const char *data = line.constData();
    qint64 left = line.size();
    while (left > 0) {
        const ssize_t written = ::write(m_file.handle(), data, static_cast<size_t>(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            *reason = written < 0 ? QString::fromLocal8Bit(std::strerror(errno))
                                  : QStringLiteral("Nothing could be written.");
            cutTo(before);
            return false;
        }
        data += written;
        left -= written;
    }
    m_syncer.written();
    return true;
}

qint64 LogFile::size() const
{
    return m_file.isOpen() ? m_file.size() : 0;
}

void LogFile::cutTo(qint64 size)
{
    // A device such as /dev/full has no size to cut back to.
    if (!m_file.isSequential() && m_file.size() > size) {
        m_file.resize(size);
        m_file.seek(size); // without append mode the next line goes here
    }
    m_file.unsetError();
}

void LogFile::close()
{
    if (m_file.isOpen()) {
        m_syncer.forget();
        m_file.close();
    }
}

bool LogFile::stillAtItsPath(QString *reason) const
{
    struct stat opened
    {
    };
    struct stat named
    {
    };
    if (::fstat(m_file.handle(), &opened) != 0) {
        *reason = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    if (S_ISREG(opened.st_mode)) {
        const QByteArray path = QFile::encodeName(m_name);
        if (opened.st_nlink == 0 || ::stat(path.constData(), &named) != 0 ||
            named.st_dev != opened.st_dev || named.st_ino != opened.st_ino) {
            *reason = QStringLiteral("The file was removed or replaced while logging.");
            return false;
        }
    }
    return true;
}
