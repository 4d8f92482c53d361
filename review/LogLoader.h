#pragma once

#include "platform/Notifier.h"
#include "review/JournalReader.h"
#include "review/LogReader.h"
#include "ui/chart/ChartStore.h"

#include <QObject>
#include <QStringList>

#include <chrono>
#include <functional>
#include <memory>

// Reads log files on a thread of its own, so that files of any size never
// hold up the window: every slice of records read is handed over on the
// loader's own thread, with how far reading has come. A folder stands for
// the files in it (their journals aside); the files are read one after the
// other in the order of their first run's date, whatever order they were
// named in, on one time line, with what their journals tell of the same
// time (JournalReader). Each file is read in blocks that both cores
// parse at once, and the chosen columns' points are kept in a ChartStore on
// that thread too: the window takes them over whole, in constant time, never
// a point at a time. Files are only read, and only regular files: a FIFO or a
// device is refused at once, saying what it is, and the others still load.
//
// Asked to follow, it goes on reading the last file as it grows, as tail -f
// does (see setFollowing).
//
// The reading thread is never waited for while the program runs. Destroying
// the loader tells it to stop and lets it go; it keeps what it needs, so a
// reader held up by a slow disk can never hold up the window that closed.
// Only the program's end waits for it, a while (waitForReaders).
class LogLoader : public QObject
{
public:
    struct Slice
    {
        // Files to be read, in the order they are read: every one named with
        // the first slice, the next day's while following.
        QStringList files;
        int file = -1; // the one this slice is of, into files
        // Every point read so far, of every file, when there are new ones:
        // plots as LogColumns::plotOf places the columns. Until the last slice.
        std::shared_ptr<ChartStore> points;
        // After it, while following: the records a file grew by, for the
        // window to add to those points.
        std::vector<LogReader::Record> records;
        // Before any, for files too large to read at once: records sampled
        // through them all (LogPreview), a picture of the whole time line
        // to show until the points read replace it.
        std::shared_ptr<const ChartStore> preview;
        QVector<LogReader::Run> runs; // the file's runs so far, headers and counts as they stand
        QVector<LogReader::Problem> problems; // the file's, found in this slice
        qint64 problemCount = 0;              // the file's so far, kept or not
        QDate originDate;
        // What the journals beside the logs (FILE.events) tell, when it changed.
        std::shared_ptr<const std::vector<JournalStretch>> journal;
        // Lines for the Problems tab that are no log's line: a journal's, a
        // followed file gone or put back.
        QStringList notes;
        qint64 bytesRead = 0; // of all files
        qint64 bytesTotal = 0;
        bool fileDone = false; // the file is read to its end
        QString failure;       // with it: why the file could not be read whole
        bool last = false;     // every file is read once
    };

    // Lines longer than any log line are skipped unread, so a file without
    // line ends costs no more memory than one with them.
    static constexpr int LongestLine = LogChunk::LongestLine;
    // A pause in the records longer than this breaks a line: two and a half
    // times the longest logging interval.
    static constexpr double GapDays = 150.0 / 86400;
    // Files larger than this together are sampled for a first picture.
    static constexpr qint64 PreviewFrom = 32 << 20;

    explicit LogLoader(const QStringList &paths, const QLocale &locale = QLocale());
    // Stops reading without waiting: nothing more is handed over.
    ~LogLoader() override;

    void start();
    Notifier<const Slice &> sliceRead;

    // Runs on the reading thread before each block: lets a test hold the
    // reader where a slow disk would. Set before start().
    void setBeforeEachBlock(std::function<void()> pause);
    // The bytes read at a time; a test makes them few. Set before start().
    void setBlockSize(int bytes);
    // The columns whose points are kept (LogColumns::bit), the pH of both
    // probes unless told. Set before start().
    void setColumns(unsigned columns);
    // Whether the last file is followed once read: every quarter of a
    // second what it grew by is read, a file put in its place (an overwrite)
    // is read from its start, one gone is waited for, each said once, and
    // the next day's file of a daily log (NAME-YYYY-MM-DD.EXT) takes over
    // once it is there. Any time.
    void setFollowing(bool following);

    // Gives back a store of points handed over (Slice::points) that the
    // window has no more use for: the next points are copied into it, so the
    // copies cost no new memory.
    void recycle(std::shared_ptr<ChartStore> points);

    // Reading threads of all loaders that have not ended yet, stopped or not.
    static int readersRunning();
    // For the program's very end, every loader gone (so every reader told to
    // stop): waits up to `limit` for the readers to end, since the Qt data
    // they use goes with the program. False if one is still held up, by a
    // disk that does not answer: the program must then end without tearing
    // that data down.
    static bool waitForReaders(std::chrono::milliseconds limit);

private:
    struct Reading;
    std::shared_ptr<Reading> m_reading;
    bool m_started = false;
};
