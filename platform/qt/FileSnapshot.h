#pragma once

#include <QByteArray>
#include <QString>

#include <sys/stat.h>

// The bytes of a small regular file, read without ever waiting on what is
// not one (a FIFO, a device) and kept while the file stays unchanged, so
// that the many values read at start-up cost one reading of it.
class FileSnapshot
{
public:
    explicit FileSnapshot(qint64 maxSize) : m_maxSize(maxSize) { }

    // The file's bytes, empty when there is no file; false with the reason
    // when something else stands at the path, it is larger than the limit,
    // or it cannot be read. Read again only when the file has changed.
    bool read(const QString &path, QByteArray *bytes, QString *reason);
    // The same, read from the file whatever was read before.
    bool readAfresh(const QString &path, QByteArray *bytes, QString *reason);

private:
    bool refused(const struct stat &status, QString *reason) const;
    bool unchanged(const QString &path, const struct stat &status) const;

    qint64 m_maxSize;
    bool m_kept = false;
    QString m_path;
    QByteArray m_bytes;
    struct stat m_status = {};
    qint64 m_readAtMs = 0;
};
