#include "platform/qt/ErrorOutput.h"

#include <QList>

#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

QByteArray ErrorOutput::lines(Priority priority, QByteArray bytes, bool journal)
{
    if (!bytes.endsWith('\n'))
        bytes.append('\n');
    if (!journal)
        return bytes;
    const QByteArray prefix = '<' + QByteArray::number(static_cast<int>(priority)) + '>';
    QByteArray prefixed;
    for (const QByteArray &line : bytes.split('\n').mid(0, bytes.count('\n')))
        prefixed += prefix + line + '\n';
    return prefixed;
}

bool ErrorOutput::namesStream(const QByteArray &journalStream, quint64 device, quint64 inode)
{
    const QList<QByteArray> parts = journalStream.split(':');
    if (parts.size() != 2)
        return false;
    bool deviceRead = false;
    bool inodeRead = false;
    const quint64 namedDevice = parts[0].toULongLong(&deviceRead);
    const quint64 namedInode = parts[1].toULongLong(&inodeRead);
    return deviceRead && inodeRead && namedDevice == device && namedInode == inode;
}

bool ErrorOutput::toJournal()
{
    // A variable inherited from a parent under systemd says nothing about
    // where this process's standard error went: only the stream itself does.
    static const bool journal = [] {
        struct stat status = {};
        return ::fstat(STDERR_FILENO, &status) == 0 &&
            namesStream(qgetenv("JOURNAL_STREAM"), status.st_dev, status.st_ino);
    }();
    return journal;
}

void ErrorOutput::write(Priority priority, const QString &text)
{
    write(priority, text.toLocal8Bit());
}

void ErrorOutput::write(Priority priority, QByteArray bytes)
{
    bytes = lines(priority, std::move(bytes), toJournal());
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stderr);
    std::fflush(stderr);
}
