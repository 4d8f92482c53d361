#include "review/LogReader.h"

#include "station/OleDate.h"

namespace {

const QByteArray ProgramLine = "\"Kestrom Science DGH Logging Program\",#";
// The texts that open the header lines after the program line.
const char *const HeaderStarts[] = {
    "\"Version: ",          "\"Offset: ",   "\"Slope: ",     "\"Serial Number: ",
    "\"Calibration Date: ", "\"Log File: ", "\"Time, Therm1"};
constexpr int NumberColumns = 9; // Therm1 to Liters/min
constexpr int Ph1Column = 5;
constexpr int Ph2Column = 6;
// A step back in the time of day larger than this is a midnight passed; a
// smaller one is a clock set back (daylight saving ends).
constexpr double NewDayStepBack = 2.0 / 24;

// All of the bytes: QString::fromUtf8(QByteArray) would stop at a NUL.
QString wholeText(const QByteArray &bytes)
{
    return QString::fromUtf8(bytes.constData(), bytes.size());
}

// The texts of a header line without their quotes, joined by two blanks.
QString headerText(const QByteArray &line)
{
    QString text = wholeText(line);
    text.replace(QStringLiteral("\",\""), QStringLiteral("  "));
    if (text.startsWith(QLatin1Char('"')))
        text.remove(0, 1);
    if (text.endsWith(QLatin1Char('"')))
        text.chop(1);
    return text;
}

QString shown(const QByteArray &text)
{
    constexpr int Longest = 40;
    const QString whole = wholeText(text);
    return whole.size() > Longest ? whole.left(Longest) + QStringLiteral("...") : whole;
}

} // namespace

LogReader::LogReader(const QLocale &locale) : m_timeOfDay(locale)
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

void LogReader::lookBeforeRuns(const QByteArray &line)
{
    if (m_runs.isEmpty() && line.contains('\r'))
        m_crAloneBeforeRuns = true;
}

std::vector<LogReader::Record> LogReader::takeRecords()
{
    std::vector<Record> taken;
    taken.swap(m_records);
    return taken;
}

void LogReader::report(const QString &why)
{
    ++m_problemCount;
    if (m_problems.size() < ProblemsKept)
        m_problems.append({m_line, why});
}

void LogReader::skipLine(const QByteArray &start, const QString &why)
{
    ++m_line;
    lookBeforeRuns(start);
    report(why);
}

void LogReader::readLine(const QByteArray &line, bool complete)
{
    ++m_line;
    if (line.isEmpty())
        return; // the empty lines of a header
    lookBeforeRuns(line);
    if (line.startsWith(ProgramLine)) {
        Run run;
        run.line = m_line;
        const QByteArray date = line.mid(ProgramLine.size());
        run.date = QDate::fromString(QString::fromLatin1(date.left(10)), Qt::ISODate);
        if (date.size() != 11 || !date.endsWith('#') || !run.date.isValid()) {
            run.date = QDate();
            report(QStringLiteral("the run's date \"%1\" is no date: its records are left out")
                       .arg(shown(date)));
        }
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
        m_daysPassed = 0;
        m_lastTime = -1;
        m_inHeader = true;
        return;
    }
    if (m_inHeader && readHeaderLine(line))
        return;
    m_inHeader = false;
    readRecord(line, complete);
}

bool LogReader::readHeaderLine(const QByteArray &line)
{
    for (const char *start : HeaderStarts) {
        if (line.startsWith(start)) {
            m_runs.last().header.append(headerText(line));
            return true;
        }
    }
    return false;
}

void LogReader::readRecord(const QByteArray &line, bool complete)
{
    const auto fail = [&](const QString &why) {
        report(complete ? why : QStringLiteral("the file ends inside this line"));
    };
    if (m_runs.isEmpty()) {
        ++m_linesBeforeRuns; // reported together once a run shows this is a log
        return;
    }
    Run &run = m_runs.last();
    if (!run.date.isValid())
        return; // reported once, at the run's header
    const int timeEnd = line.indexOf('"', 1);
    if (!line.startsWith('"') || timeEnd < 0) {
        fail(QStringLiteral("not a record: it does not start with a quoted time"));
        return;
    }
    if (timeEnd - 1 > LongestTimeField) {
        fail(QStringLiteral("its time (%1 bytes) is longer than any time of day").arg(timeEnd - 1));
        return;
    }
    const QString timeText = wholeText(line.mid(1, timeEnd - 1));
    const QTime time = m_timeOfDay.read(timeText);
    if (!time.isValid()) {
        fail(QStringLiteral("\"%1\" is no time of day").arg(shown(timeText.toUtf8())));
        return;
    }
    // Nine numbers, then the litres text, which may itself hold a comma.
    double numbers[NumberColumns] = {};
    int from = timeEnd + 1;
    for (int column = 0; column < NumberColumns; ++column) {
        if (from >= line.size() || line.at(from) != ',') {
            fail(QStringLiteral("it ends after %1 of its 11 values").arg(column + 1));
            return;
        }
        int to = line.indexOf(',', from + 1);
        if (to < 0)
            to = line.size();
        bool number = false;
        numbers[column] = line.mid(from + 1, to - from - 1).toDouble(&number);
        if (!number) {
            fail(QStringLiteral("value %1 (\"%2\") is not a number")
                     .arg(column + 2)
                     .arg(shown(line.mid(from + 1, to - from - 1))));
            return;
        }
        from = to;
    }
    const QByteArray litres = line.mid(from);
    if (litres.size() < 3 || !litres.startsWith(",\"") || !litres.endsWith('"')) {
        fail(QStringLiteral("its last value is not a quoted text"));
        return;
    }

    const double timeOfDay = OleDates::fromTime(time);
    if (m_lastTime >= 0 && timeOfDay < m_lastTime - NewDayStepBack)
        ++m_daysPassed;
    m_lastTime = timeOfDay;
    const double day = m_origin.daysTo(run.date) + m_daysPassed;
    m_records.push_back({day + timeOfDay, numbers[Ph1Column], numbers[Ph2Column]});
    ++run.records;
}
