#include "review/LogReader.h"

#include <cmath>
#include <limits>

namespace {

// A step back in the time of day larger than this is a midnight passed; a
// smaller one is a clock set back (daylight saving ends).
constexpr int NewDayStepBack = 2 * 3600;

// Columns whose zeros before the first reading of a run are no readings; the
// flow's say so in the litres text instead.
constexpr LogColumns::Column ReadFromZero[] = {
    LogColumns::Therm1,   LogColumns::Therm2,   LogColumns::Therm3,  LogColumns::Probe1mV,
    LogColumns::Probe2mV, LogColumns::Probe1pH, LogColumns::Probe2pH};

} // namespace

LogReader::LogReader(const QLocale &locale) : m_locale(locale), m_timeOfDay(locale)
{
}

bool LogReader::worthReading() const
{
    return !m_runs.isEmpty() || m_line < LinesBeforeGivingUp;
}

QString LogReader::notALog() const
{
    if (!m_runs.isEmpty() || m_line == 0)
        return {};
    const QString run = QStringLiteral("a run (\"Kestrom Science DGH Logging Program\")");
    if (m_crAloneBeforeRuns)
        return QStringLiteral("its lines end in CR alone, where a station log's end in CR LF, "
                              "and none opens %1")
            .arg(run);
    if (m_line >= LinesBeforeGivingUp)
        return QStringLiteral("none of its first %1 lines opens %2").arg(m_line).arg(run);
    if (m_line == 1)
        return QStringLiteral("its one line does not open %1").arg(run);
    return QStringLiteral("none of its %1 lines opens %2").arg(m_line).arg(run);
}

std::vector<LogReader::Record> LogReader::takeRecords()
{
    std::vector<Record> taken;
    taken.swap(m_records);
    return taken;
}

void LogReader::takeRecords(std::vector<Record> *into)
{
    into->clear();
    into->swap(m_records);
}

void LogReader::report(const QString &why)
{
    ++m_problemCount;
    if (m_problems.size() < ProblemsKept)
        m_problems.append({m_line, why});
}

void LogReader::forgetLastLine()
{
    if (m_line == 0)
        return;
    if (!m_problems.isEmpty() && m_problems.last().line == m_line) {
        m_problems.removeLast();
        --m_problemCount;
    }
    --m_line;
}

void LogReader::skipLine(const QByteArray &start, const QString &why)
{
    LogChunk chunk;
    chunk.skip(start.constData(), start.size(), why);
    take(chunk);
}

void LogReader::readLine(const QByteArray &line, bool complete)
{
    LogChunk chunk;
    chunk.parseLine(line.constData(), line.size(), complete, {m_timeOfDay, m_locale});
    take(chunk);
}

void LogReader::take(const LogChunk &chunk)
{
    for (const LogChunk::Line &line : chunk.lines) {
        if (!worthReading())
            return;
        takeLine(chunk, line);
    }
}

void LogReader::takeLine(const LogChunk &chunk, const LogChunk::Line &line)
{
    using Kind = LogChunk::Kind;
    ++m_line;
    if (line.kind == Kind::Empty)
        return; // the empty lines of a header
    if (m_runs.isEmpty() && line.cr)
        m_crAloneBeforeRuns = true;
    const auto index = static_cast<size_t>(line.index);
    switch (line.kind) {
    case Kind::Skipped: report(chunk.texts[index]); return;
    case Kind::RunStart: beginRun(chunk.runStarts[index]); return;
    default: break;
    }
    if (m_inHeader && line.header >= 0) {
        m_runs.last().header.append(chunk.texts[static_cast<size_t>(line.header)]);
        return;
    }
    m_inHeader = false;
    if (m_runs.isEmpty()) {
        ++m_linesBeforeRuns; // reported together once a run shows this is a log
        return;
    }
    if (!m_runs.last().date.isValid())
        return; // reported once, at the run's header
    if (line.kind == Kind::Bad)
        report(chunk.texts[index]);
    else
        addRecord(chunk.records[index]);
}

void LogReader::beginRun(const LogChunk::RunStart &start)
{
    Run run;
    run.line = m_line;
    run.date = start.date;
    if (!run.date.isValid())
        report(QStringLiteral("the run's date \"%1\" is no date: its records are left out")
                   .arg(start.dateText));
    if (m_runs.isEmpty() && m_linesBeforeRuns > 0) {
        const QString header =
            QStringLiteral("the first run header (\"Kestrom Science DGH Logging Program\")");
        m_problems.append({1,
                           m_linesBeforeRuns == 1
                               ? QStringLiteral("the line before %1 is left out").arg(header)
                               : QStringLiteral("the %1 lines before %2 are left out")
                                     .arg(m_linesBeforeRuns)
                                     .arg(header)});
        ++m_problemCount;
    }
    if (!m_origin.isValid())
        m_origin = run.date;
    run.header.append(QStringLiteral("Kestrom Science DGH Logging Program  ") +
                      (run.date.isValid() ? run.date.toString(Qt::ISODate) : QString()));
    m_runs.append(run);
    m_runDay = m_origin.isValid() && run.date.isValid() ? m_origin.daysTo(run.date) : 0;
    m_daysPassed = 0;
    m_lastSecond = -1;
    std::fill(std::begin(m_read), std::end(m_read), false);
    m_inHeader = true;
}

void LogReader::addRecord(const LogChunk::Values &values)
{
    Run &run = m_runs.last();
    if (m_lastSecond >= 0 && values.secondOfDay < m_lastSecond - NewDayStepBack)
        ++m_daysPassed;
    m_lastSecond = values.secondOfDay;
    Record record;
    record.x = m_runDay + m_daysPassed + values.secondOfDay / 86400.0;
    std::copy(std::begin(values.values), std::end(values.values), std::begin(record.values));
    for (const LogColumns::Column column : ReadFromZero) {
        if (m_read[column])
            continue;
        if (record.values[column] == 0)
            record.values[column] = std::numeric_limits<double>::quiet_NaN();
        else
            m_read[column] = true;
    }
    m_records.push_back(record);
    ++run.records;
}
