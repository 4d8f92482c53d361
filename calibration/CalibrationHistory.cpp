#include "calibration/CalibrationHistory.h"

#include "platform/Clock.h"
#include "station/IsoTime.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A CSV field: quoted, its quotes doubled, when it holds a separator, a
// quote or a line break.
QString field(const QString &text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

} // namespace

QString CalibrationHistory::defaultFileName()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
        QStringLiteral("/kestrom-dgh/calibration-history.csv");
}

CalibrationHistory::CalibrationHistory(const Clock &clock, const QString &fileName)
    : m_clock(clock)
    , m_fileName(fileName)
{
}

QString CalibrationHistory::append(const Entry &entry) const
{
    QDir().mkpath(QFileInfo(m_fileName).absolutePath());
    // Only ever appended to a regular file: a link planted where the history
    // goes is not followed, and a FIFO or a device is neither waited on nor
    // written to.
    const int fd = ::open(
        QFile::encodeName(m_fileName).constData(),
        O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0644);
    if (fd < 0) {
        if (errno == ELOOP)
            return QStringLiteral("it is a symbolic link, and nothing is written through one");
        if (errno == ENXIO)
            return QStringLiteral("it is a FIFO or a device, not a file");
        return QString::fromLocal8Bit(std::strerror(errno));
    }
    struct stat status = {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return S_ISFIFO(status.st_mode) ? QStringLiteral("it is a FIFO, not a file")
                                        : QStringLiteral("it is not a regular file");
    }
    QFile file;
    if (!file.open(fd, QIODevice::WriteOnly | QIODevice::Append, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return file.errorString();
    }
    QByteArray text;
    if (file.size() == 0)
        text = "Time,Probe,Offset,Slope,Serial Number,Buffers\n";
    const QStringList fields{IsoTime::withOffset(m_clock.currentDateTime()),
                             QString::number(entry.probe),
                             field(entry.offset),
                             field(entry.slope),
                             field(entry.serialNumber),
                             field(entry.buffers)};
    text += fields.join(QLatin1Char(',')).toUtf8() + '\n';
    // One write: a line is in the file whole or not at all.
    if (file.write(text) != text.size() || !file.flush())
        return file.errorString();
    return {};
}
