#pragma once

#include <QByteArray>
#include <QDate>
#include <QHash>
#include <QString>
#include <QStringList>

#include <limits>
#include <vector>

// A stretch of time the event journal beside a log tells of: a module, the
// port or the log failing, a source failing now and then, or an alarm up.
struct JournalStretch
{
    enum class Kind { Failing, Intermittent, Alarm };

    // Still open at the end of the journal read so far.
    static constexpr double Open = std::numeric_limits<double>::infinity();

    Kind kind = Kind::Failing;
    QString source;  // "6", "port", "log", ... or the alarm's name
    double from = 0; // days since the midnight of the origin, as records are placed
    double to = Open;
    QStringList lines;    // the journal's lines that tell of it: the first ones and the last
    int linesLeftOut = 0; // those between

    // "Probe 1 (module 6)", "The port", "Alarm ph1.high".
    QString what() const;
    // Its lines as the journal has them, one a line, those left out counted.
    QString text() const;
};

// Reads event journals ("FILE.events": `ISO-time,source,kind,"text"` a line)
// into the stretches they tell of, in the order they begin. A module or the
// port fails from its "fault" ("port lost") to its "answering again" ("port
// reopened"), the log from its fault to "writing again"; a source is
// intermittent from "intermittent" ("flapping") to "steady"; an alarm is up
// from "active" until it has "returned" or is "normal" (or shelved). An
// alarm is known by its name: its text up to the first colon. A line that
// tells a stretch is under way ("still failing") without its start opens it
// there. The journals of several logs read in date order continue each other.
class JournalReader
{
public:
    struct Problem
    {
        qint64 line;
        QString why;
    };

    // Lines kept of a stretch: its first ones and its last.
    static constexpr int LinesKept = 6;

    explicit JournalReader(QDate origin) : m_origin(origin) { }

    // One line as it stands in the file, without its line end.
    void readLine(const QByteArray &line);
    // A new journal file begins: problems count its lines from 1.
    void beginFile() { m_line = 0; }

    const std::vector<JournalStretch> &stretches() const { return m_stretches; }
    const std::vector<Problem> &problems() const { return m_problems; }

private:
    void open(JournalStretch::Kind kind, const QString &key, const QString &source, double x,
              const QString &line);
    void note(const QString &key, const QString &line);
    void close(const QString &key, double x, const QString &line);

    QDate m_origin;
    qint64 m_line = 0;
    std::vector<JournalStretch> m_stretches;
    QHash<QString, size_t> m_open; // by source and kind, the stretch under way
    std::vector<Problem> m_problems;
};
