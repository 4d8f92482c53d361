#pragma once

#include "logging/LogReader.h"
#include "platform/Notifier.h"

#include <QObject>

#include <atomic>
#include <thread>

// Reads a log file on a thread of its own, so that a file of any size never
// holds up the window: every slice of lines read is handed over on the
// loader's own thread, with how far reading has come. The file is only read.
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
    // Stops reading and waits for the thread.
    ~LogLoader() override;

    void start();
    Notifier<const Slice &> sliceRead;

private:
    void read();
    void hand(Slice slice);

    QString m_fileName;
    QLocale m_locale;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};
