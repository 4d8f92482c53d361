#pragma once

#include "review/LogColumns.h"

#include <QDate>
#include <QLocale>
#include <QString>

#include <vector>

class LogTimeOfDay;

// Whole lines of a log, each parsed on its own: what the line is, and all of
// it that does not depend on the lines before it (the numbers, the time of
// day, a header's text, why a line does not read), read from the bytes with
// no text made per value. LogReader then takes the lines in order, which is
// cheap, so blocks of a file can be parsed on several threads at once.
class LogChunk
{
public:
    enum class Kind : quint8 { Empty, RunStart, Record, Bad, Skipped };
    struct Line
    {
        Kind kind = Kind::Empty;
        bool cr = false;    // holds a carriage return: a file whose lines end in CR alone
        qint32 index = 0;   // into runStarts, records or texts (the why), by kind
        qint32 header = -1; // the text of a header line, when it may be one
    };
    struct Values
    {
        int secondOfDay;
        double values[LogColumns::Count]; // NaN where the record holds no reading
    };
    struct RunStart
    {
        QDate date; // invalid when it does not read
        QString dateText;
    };

    // Lines of LongestLine bytes or more are skipped unread: a file without
    // line ends costs no more than one with them.
    static constexpr int LongestLine = 64 * 1024;
    // A record's time field longer than this is refused by its length alone.
    static constexpr int LongestTimeField = 256;

    // How lines are read: the time forms, the locale of the litres text, and
    // the columns whose values are wanted; the others are only checked to be
    // numbers, and are NaN.
    struct Options
    {
        const LogTimeOfDay &times;
        QLocale locale;
        unsigned wanted = LogColumns::AllColumns;
    };

    // Every line of [begin, end); a last line without its line end is one the
    // file ends inside, unless more is to come (endsFile false), when it is
    // left for the next block: consumed() says where it begins.
    void parse(const char *begin, const char *end, bool endsFile, const Options &options);
    // One line as it stands in the file without its line end; complete is
    // false for a last line the file ends inside.
    void parseLine(const char *begin, int size, bool complete, const Options &options);
    // A line left unread; start is what was seen of it.
    void skip(const char *start, int size, const QString &why = tooLong());
    static QString tooLong() { return QStringLiteral("longer than any log line: left out"); }

    qint64 consumed() const { return m_consumed; }
    // Empty again, keeping what it has allocated.
    void clear();

    std::vector<Line> lines;
    std::vector<Values> records;
    std::vector<QString> texts;
    std::vector<RunStart> runStarts;

private:
    void parseRecord(Line &line, const char *begin, int size, bool complete,
                     const Options &options);
    int addText(const QString &text);

    qint64 m_consumed = 0;
};
