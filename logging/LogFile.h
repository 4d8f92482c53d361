#pragma once

#include "logging/DiskSyncer.h"
#include "logging/LogValue.h"

#include <QFile>
#include <QString>

// The one open log file (logFile). Every line is built in memory, handed to
// the operating system in one write and never left torn: a write that fails
// part-way is cut back to the end of the last whole line. What is written
// reaches the disk within a second, synced by a thread of its own.
class LogFile
{
public:
    enum class Mode { Append, Overwrite };

    // Opens fileName for appending (created if missing) or for output
    // (created or truncated). On failure returns false and the reason.
    bool open(const QString &fileName, Mode mode, QString *reason);
    // The same for a file the station names by itself, where nobody chose
    // to follow a link (the journal beside a log, in a folder others may
    // write): never opened through a symbolic link, only a regular file,
    // never waits for a FIFO's reader, and emptied only when it is this
    // user's own.
    bool openOwn(const QString &fileName, Mode mode, QString *reason);
    bool isOpen() const { return m_file.isOpen(); }
    QString fileName() const { return m_name; }

    // Writes one line; false with the reason when the line could not be
    // written whole, or when the file has been removed or replaced since it
    // was opened (such a line would be lost unseen).
    bool WriteLogLine(const LogLine &values, QString *reason);
    // Several lines in one write, so that no reader ever sees some of them
    // without the rest (a run's header).
    bool WriteLogLines(const QVector<LogLine> &lines, QString *reason);
    // Bytes already encoded, one or more whole lines (the event journal's).
    bool writeBytes(const QByteArray &lines, QString *reason);

    // Size of the file as written so far; cutTo() drops what follows it.
    qint64 size() const;
    void cutTo(qint64 size);

    // Does nothing when no file is open.
    void close();

    // Syncs to the disk so far, for the benchmark.
    long long diskSyncs() const { return m_syncer.syncs(); }

private:
    bool stillAtItsPath(QString *reason) const;

    QFile m_file;
    QString m_name;
    DiskSyncer m_syncer;
};
