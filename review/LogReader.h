#pragma once

#include "review/LogChunk.h"
#include "review/LogTimeOfDay.h"

#include <QDate>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <QVector>

#include <vector>

// Reads a log file back, a line or a parsed block at a time: its runs, each
// with its header, and each record's place in time and values. A record's
// date is its run's date (header line 2) plus the midnights passed since;
// its time is read in any form the station writes under any locale
// (LogTimeOfDay). A value written before its channel's first reading of the
// run (a zero no reading put there) is no reading (NaN), as are the flow's
// while the litres text says the flow was not read. A line that does not
// read is reported by number with the reason, and reading goes on with the
// next.
class LogReader
{
public:
    struct Record
    {
        double x; // days since the midnight of originDate()
        double values[LogColumns::Count];
    };
    struct Run
    {
        qint64 line = 0; // the line of "Kestrom Science DGH Logging Program"
        QDate date;      // invalid when the header's date does not read
        QStringList header;
        qint64 records = 0;
    };
    struct Problem
    {
        qint64 line;
        QString why;
    };

    // Lines that are not log lines before the first run, after which the
    // file is taken to be no log at all.
    static constexpr int LinesBeforeGivingUp = 200;
    // Problems kept in full; beyond them only counted.
    static constexpr int ProblemsKept = 1000;
    static constexpr int LongestTimeField = LogChunk::LongestTimeField;
    static_assert(LongestTimeField == 4 * LogTimeOfDay::LongestText,
                  "bytes of a time's characters");

    explicit LogReader(const QLocale &locale = QLocale());

    // Records are placed from this date's midnight rather than from the first
    // dated run's: files read one after the other share one time line.
    void setOrigin(QDate date) { m_origin = date; }

    // One line as it stands in the file, without its line end; complete is
    // false for a last line that the file ends inside.
    void readLine(const QByteArray &line, bool complete = true);
    // The lines of a block parsed elsewhere, in order, while worth reading.
    void take(const LogChunk &chunk);

    // A line left unread, counted and reported with the reason; start is
    // what was seen of it.
    void skipLine(const QByteArray &start, const QString &why);

    // Takes back the last line read, to read it again: a line the file ended
    // inside, that a writer may have ended since. What it was reported for
    // is forgotten.
    void forgetLastLine();

    // False once the file has shown itself not to be a log.
    bool worthReading() const;
    // Why what was read so far is no station log: no line of it opens a
    // run. Empty once a run has begun, or while nothing was read.
    QString notALog() const;

    // The origin given, else the first dated run's date.
    QDate originDate() const { return m_origin; }
    const QVector<Run> &runs() const { return m_runs; }
    const QVector<Problem> &problems() const { return m_problems; }
    qint64 problemCount() const { return m_problemCount; }
    qint64 lineCount() const { return m_line; }
    // The records read since the last call, oldest first.
    std::vector<Record> takeRecords();
    // The same into a vector whose room is used again.
    void takeRecords(std::vector<Record> *into);

    const LogTimeOfDay &timeOfDay() const { return m_timeOfDay; }
    const QLocale &locale() const { return m_locale; }

private:
    void takeLine(const LogChunk &chunk, const LogChunk::Line &line);
    void beginRun(const LogChunk::RunStart &start);
    void addRecord(const LogChunk::Values &values);
    void report(const QString &why);

    QLocale m_locale;
    LogTimeOfDay m_timeOfDay;
    qint64 m_line = 0;
    QDate m_origin;
    QVector<Run> m_runs;
    QVector<Problem> m_problems;
    qint64 m_problemCount = 0;
    qint64 m_linesBeforeRuns = 0;
    bool m_crAloneBeforeRuns = false; // a line break that is a CR alone
    std::vector<Record> m_records;
    // Within the current run: days passed since its date, the last second of
    // the day, and which channels have given a reading.
    qint64 m_runDay = 0; // the run's date, in days from the origin
    int m_daysPassed = 0;
    int m_lastSecond = -1;
    bool m_read[LogColumns::Count] = {};
    bool m_inHeader = false;
};
