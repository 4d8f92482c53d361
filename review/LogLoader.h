#pragma once

#include "platform/Notifier.h"
#include "review/LogReader.h"

#include <QObject>

#include <functional>
#include <memory>

// Reads a log file on a thread of its own, so that a file of any size never
// holds up the window: every slice of lines read is handed over on the
// loader's own thread, with how far reading has come. The file is only read,
// and only when it is a regular file: a FIFO, a folder or a device is
// refused at once, saying what it is.
//
// The reading thread is never waited for. Destroying the loader tells it to
// stop and lets it go; it keeps what it needs, so a reader held up by a slow
// disk can never hold up the window that closed.
class LogLoader : public QObject
{
public:
    struct Slice
    {
        std::vector<LogReader::Record> records;
        QVector<LogReader::Run> runs;         // every run so far, headers and counts as they stand
        QVector<LogReader::Problem> problems; // those found in this slice
        qint64 problemCount = 0;              // all found so far, kept or not
        QDate originDate;
        qint64 bytesRead = 0;
        qint64 bytesTotal = 0;
        bool last = false;
        QString failure; // with the last slice: why the file could not be read whole
    };

    // Lines longer than any log line are skipped unread, so a file without
    // line ends costs no more memory than one with them.
    static constexpr int LongestLine = 64 * 1024;

    LogLoader(const QString &fileName, const QLocale &locale = QLocale());
    // Stops reading without waiting: nothing more is handed over.
    ~LogLoader() override;

    void start();
    Notifier<const Slice &> sliceRead;

    // Runs on the reading thread before each line: lets a test hold the
    // reader where a slow disk would. Set before start().
    void setBeforeEachLine(std::function<void()> pause);

    // Reading threads of all loaders that have not ended yet, stopped or not.
    static int readersRunning();

private:
    struct Reading;
    std::shared_ptr<Reading> m_reading;
    bool m_started = false;
};
