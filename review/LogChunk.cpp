#include "review/LogChunk.h"

#include "review/LogTimeOfDay.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

constexpr char ProgramLine[] = "\"Kestrom Science DGH Logging Program\",#";
constexpr int ProgramLineSize = sizeof ProgramLine - 1;
// The texts that open the header lines after the program line.
const char *const HeaderStarts[] = {
    "\"Version: ",          "\"Offset: ",   "\"Slope: ",     "\"Serial Number: ",
    "\"Calibration Date: ", "\"Log File: ", "\"Time, Therm1"};
constexpr int NumberColumns = 9; // Therm1 to Liters/min
constexpr double NoReading = std::numeric_limits<double>::quiet_NaN();

bool startsWith(const char *begin, int size, const char *start)
{
    const auto length = static_cast<int>(std::strlen(start));
    return size >= length && std::memcmp(begin, start, static_cast<size_t>(length)) == 0;
}

// All of the bytes: QString::fromUtf8(const char *) would stop at a NUL.
QString wholeText(const char *begin, int size)
{
    return QString::fromUtf8(begin, size);
}

QString shown(const char *begin, int size)
{
    constexpr int Longest = 40;
    const QString whole = wholeText(begin, size);
    return whole.size() > Longest ? whole.left(Longest) + QStringLiteral("...") : whole;
}

// The texts of a header line without their quotes, joined by two blanks.
QString headerText(const char *begin, int size)
{
    QString text = wholeText(begin, size);
    text.replace(QStringLiteral("\",\""), QStringLiteral("  "));
    if (text.startsWith(QLatin1Char('"')))
        text.remove(0, 1);
    if (text.endsWith(QLatin1Char('"')))
        text.chop(1);
    return text;
}

bool mayBeHeader(const char *begin, int size)
{
    if (size < 2 || begin[0] != '"')
        return false;
    switch (begin[1]) {
    case 'V':
    case 'O':
    case 'S':
    case 'C':
    case 'L':
    case 'T': break;
    default: return false;
    }
    for (const char *start : HeaderStarts)
        if (startsWith(begin, size, start))
            return true;
    return false;
}

// Powers of ten a double holds exactly.
constexpr double Exact[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                            1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// The log's number form (a sign, up to 15 digits with a period among them)
// read the quick way, up to the next comma or the end: the digits as a whole
// number, divided by a power of ten. Both exact in a double, the one division
// rounds correctly, so the value is the one a full conversion gives. Null for
// anything else, else where the number ends.
const char *readPlainNumber(const char *at, const char *end, double *value)
{
    const bool negative = at < end && *at == '-';
    at += negative ? 1 : 0;
    quint64 digits = 0;
    const char *start = at;
    while (at < end && static_cast<unsigned>(*at - '0') < 10)
        digits = digits * 10 + static_cast<unsigned>(*at++ - '0');
    long count = at - start;
    long decimals = 0;
    if (at < end && *at == '.') {
        const char *fraction = ++at;
        while (at < end && static_cast<unsigned>(*at - '0') < 10)
            digits = digits * 10 + static_cast<unsigned>(*at++ - '0');
        decimals = at - fraction;
        count += decimals;
    }
    if ((at < end && *at != ',') || count == 0 || count > 15)
        return nullptr;
    const double whole = static_cast<double>(digits);
    *value = decimals > 0 ? whole / Exact[decimals] : whole;
    if (negative)
        *value = -*value;
    return at;
}

// The same when the value is not wanted: only whether it is a number of
// that form; the value is none.
const char *skipPlainNumber(const char *at, const char *end, double *value)
{
    *value = NoReading;
    at += at < end && *at == '-' ? 1 : 0;
    const char *start = at;
    while (at < end && static_cast<unsigned>(*at - '0') < 10)
        ++at;
    long count = at - start;
    if (at < end && *at == '.') {
        const char *fraction = ++at;
        while (at < end && static_cast<unsigned>(*at - '0') < 10)
            ++at;
        count += at - fraction;
    }
    return (at < end && *at != ',') || count == 0 || count > 15 ? nullptr : at;
}

// The log's number form, read as the station writes it; anything it would
// not write but Qt's reading took (a blank around it, a plus sign) reads too.
bool readNumber(const char *begin, const char *end, double *value)
{
    if (readPlainNumber(begin, end, value) == end)
        return true;
    const auto result = std::from_chars(begin, end, *value);
    if (result.ec == std::errc() && result.ptr == end)
        return true;
    bool number = false;
    *value = QByteArray(begin, static_cast<int>(end - begin)).toDouble(&number);
    if (!number && std::isinf(*value)) {
        // Past the largest double: the station writes the largest ones to 15
        // digits, which rounds them up beyond it. They read as the largest.
        *value = std::copysign(std::numeric_limits<double>::max(), *value);
        return true;
    }
    return number;
}

// The litres text is the label's caption: "000" before the first flow
// reading and empty while the flow is not read, so the flow values of that
// record are none either; otherwise the total in the writer's number form,
// whose decimal separator may be a comma (it has no digit grouping), in
// whatever digits the writer's locale has.
void readLitres(const char *begin, int size, const LogChunk::Options &options, double values[])
{
    if (!(options.wanted & (1u << LogColumns::Litres)))
        values[LogColumns::Litres] = NoReading;
    if (size == 0 || (size == 3 && std::memcmp(begin, "000", 3) == 0)) {
        values[LogColumns::FlowHz] = values[LogColumns::FlowLpm] = NoReading;
        values[LogColumns::Litres] = NoReading;
        return;
    }
    if (!(options.wanted & (1u << LogColumns::Litres)))
        return;
    char plain[32];
    if (size < int(sizeof plain)) {
        std::memcpy(plain, begin, size_t(size));
        if (char *comma = static_cast<char *>(std::memchr(plain, ',', size_t(size))))
            *comma = '.';
        double litres = 0;
        if (readNumber(plain, plain + size, &litres)) {
            values[LogColumns::Litres] = litres;
            return;
        }
    }
    const QString text = wholeText(begin, size);
    bool number = false;
    const double litres = options.locale.toDouble(text, &number);
    values[LogColumns::Litres] = number ? litres : NoReading;
}

} // namespace

int LogChunk::addText(const QString &text)
{
    texts.push_back(text);
    return static_cast<int>(texts.size() - 1);
}

void LogChunk::clear()
{
    lines.clear();
    records.clear();
    texts.clear();
    runStarts.clear();
    m_consumed = 0;
}

void LogChunk::skip(const char *start, int size, const QString &why)
{
    Line line;
    line.kind = Kind::Skipped;
    line.cr = std::memchr(start, '\r', size_t(size)) != nullptr;
    line.index = addText(why);
    lines.push_back(line);
}

void LogChunk::parse(const char *begin, const char *end, bool endsFile, const Options &options)
{
    const char *at = begin;
    while (at < end) {
        const auto *newline = static_cast<const char *>(std::memchr(at, '\n', size_t(end - at)));
        if (!newline && !endsFile)
            break;
        const char *lineEnd = newline ? newline : end;
        const int size = static_cast<int>(lineEnd - at);
        if (size >= LongestLine - 1) {
            skip(at, LongestLine - 1);
        } else {
            const int chop = newline && size > 0 && lineEnd[-1] == '\r' ? 1 : 0;
            parseLine(at, size - chop, newline != nullptr, options);
        }
        at = newline ? newline + 1 : end;
    }
    m_consumed = at - begin;
}

void LogChunk::parseLine(const char *begin, int size, bool complete, const Options &options)
{
    lines.emplace_back();
    Line &line = lines.back();
    if (size == 0)
        return;
    line.cr = std::memchr(begin, '\r', size_t(size)) != nullptr;
    if (startsWith(begin, size, ProgramLine)) {
        line.kind = Kind::RunStart;
        const char *date = begin + ProgramLineSize;
        const int dateSize = size - ProgramLineSize;
        RunStart run;
        run.date =
            QDate::fromString(QString::fromLatin1(date, std::min(dateSize, 10)), Qt::ISODate);
        if (dateSize != 11 || date[10] != '#' || !run.date.isValid()) {
            run.date = QDate();
            run.dateText = shown(date, dateSize);
        }
        line.index = static_cast<int>(runStarts.size());
        runStarts.push_back(run);
        return;
    }
    if (mayBeHeader(begin, size))
        line.header = addText(headerText(begin, size));
    parseRecord(line, begin, size, complete, options);
}

void LogChunk::parseRecord(Line &line, const char *begin, int size, bool complete,
                           const Options &options)
{
    const char *end = begin + size;
    const auto fail = [&](const QString &why) {
        line.kind = Kind::Bad;
        line.index = addText(complete ? why : QStringLiteral("the file ends inside this line"));
    };
    const auto *timeEnd = size > 1
        ? static_cast<const char *>(std::memchr(begin + 1, '"', size_t(size - 1)))
        : nullptr;
    if (begin[0] != '"' || !timeEnd) {
        fail(QStringLiteral("not a record: it does not start with a quoted time"));
        return;
    }
    const int timeSize = static_cast<int>(timeEnd - begin - 1);
    if (timeSize > LongestTimeField) {
        fail(QStringLiteral("its time (%1 bytes) is longer than any time of day").arg(timeSize));
        return;
    }
    Values record;
    record.secondOfDay = options.times.secondOfDay(begin + 1, timeSize);
    if (record.secondOfDay < 0) {
        fail(QStringLiteral("\"%1\" is no time of day").arg(shown(begin + 1, timeSize)));
        return;
    }
    // Nine numbers, then the litres text, which may itself hold a comma.
    const char *from = timeEnd + 1;
    for (int column = 0; column < NumberColumns; ++column) {
        if (from >= end || *from != ',') {
            fail(QStringLiteral("it ends after %1 of its 11 values").arg(column + 1));
            return;
        }
        double &value = record.values[column];
        const char *to = options.wanted & (1u << column) ? readPlainNumber(from + 1, end, &value)
                                                         : skipPlainNumber(from + 1, end, &value);
        if (!to) {
            const auto *comma =
                static_cast<const char *>(std::memchr(from + 1, ',', size_t(end - from - 1)));
            to = comma ? comma : end;
            if (!readNumber(from + 1, to, &value)) {
                fail(QStringLiteral("value %1 (\"%2\") is not a number")
                         .arg(column + 2)
                         .arg(shown(from + 1, static_cast<int>(to - from - 1))));
                return;
            }
        }
        from = to;
    }
    const int litresSize = static_cast<int>(end - from);
    if (litresSize < 3 || from[0] != ',' || from[1] != '"' || end[-1] != '"') {
        fail(QStringLiteral("its last value is not a quoted text"));
        return;
    }
    readLitres(from + 2, litresSize - 3, options, record.values);
    line.kind = Kind::Record;
    line.index = static_cast<int>(records.size());
    records.push_back(record);
}
