// The review's log reader over any bytes, and a run written by the station's
// own writers read back.
//
// Any bytes, read as a file a line at a time: every line is counted, the
// runs' record counts add up to the records read, and every record has a
// finite place. Read again as the loader reads a file, in blocks (of a size
// the bytes choose) cut into whole lines and parsed apart, they give the same
// lines, runs, problems and records to the last bit.
//
// Round trip: the same bytes also choose a run: the locale it is written
// under and the one it is read under, its date, a serial number, and records
// (a step forward in time, under 22 hours, two pH values and the litres
// text). The station's header and record writers turn it into lines; read
// back, they give one run of that date and header whose records stand at
// their dates and times with the pH values as written.

#include "logging/LogHeader.h"
#include "logging/LogRecord.h"
#include "review/LogBlocks.h"
#include "review/LogLoader.h"
#include "review/LogReader.h"
#include "station/NumberText.h"
#include "station/OleDate.h"
#include "station/StationState.h"

#include <QRegularExpression>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

bool same(const LogReader::Record &a, const LogReader::Record &b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

void readInBlocks(const uint8_t *data, size_t size, const LogReader &byLine,
                  const std::vector<LogReader::Record> &lineRecords)
{
    // Small blocks, but not so many that a long line is copied over and over.
    const int blockSize = std::max<int>(size > 0 ? 1 + data[0] % 200 : 1, int(size / 64));
    LogReader reader(QLocale::c());
    const LogChunk::Options options{reader.timeOfDay(), reader.locale()};
    LogBlocks blocks(LogLoader::LongestLine);
    std::vector<char> block;
    std::vector<LogReader::Record> records;
    size_t at = 0;
    bool atEnd = false;
    while (!atEnd && reader.worthReading()) {
        blocks.begin(&block);
        const size_t got = std::min<size_t>(size_t(blockSize), size - at);
        block.insert(block.end(), data + at, data + at + got);
        at += got;
        atEnd = at == size;
        const LogBlocks::Cut cut = blocks.cut(block, atEnd);
        LogChunk chunk;
        chunk.parse(block.data() + cut.first, block.data() + cut.last, atEnd, options);
        reader.take(chunk);
        if (!cut.skipped.isEmpty())
            reader.skipLine(cut.skipped, LogChunk::tooLong());
        const std::vector<LogReader::Record> taken = reader.takeRecords();
        records.insert(records.end(), taken.begin(), taken.end());
    }
    check(reader.lineCount() == byLine.lineCount());
    check(reader.problemCount() == byLine.problemCount());
    check(reader.notALog() == byLine.notALog());
    check(reader.runs().size() == byLine.runs().size());
    for (int i = 0; i < reader.runs().size(); ++i) {
        const LogReader::Run &a = reader.runs()[i];
        const LogReader::Run &b = byLine.runs()[i];
        check(a.line == b.line && a.date == b.date && a.header == b.header &&
              a.records == b.records);
    }
    for (int i = 0; i < reader.problems().size(); ++i)
        check(reader.problems()[i].line == byLine.problems()[i].line &&
              reader.problems()[i].why == byLine.problems()[i].why);
    check(records.size() == lineRecords.size());
    for (size_t i = 0; i < records.size(); ++i)
        check(same(records[i], lineRecords[i]));
}

void readAsFile(const uint8_t *data, size_t size)
{
    LogReader reader(QLocale::c());
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char *>(data), static_cast<int>(size));
    qint64 lines = 0;
    for (int from = 0; from < bytes.size() && reader.worthReading(); ++lines) {
        int end = bytes.indexOf('\n', from);
        const bool ended = end >= 0;
        if (!ended)
            end = bytes.size();
        QByteArray line = bytes.mid(from, end - from);
        from = end + 1;
        if (line.size() >= LogLoader::LongestLine - 1) {
            reader.skipLine(line.left(LogLoader::LongestLine - 1), LogChunk::tooLong());
            continue;
        }
        if (ended && line.endsWith('\r'))
            line.chop(1);
        reader.readLine(line, ended);
    }
    check(reader.lineCount() == lines);
    const std::vector<LogReader::Record> records = reader.takeRecords();
    qint64 counted = 0;
    for (const LogReader::Run &run : reader.runs())
        counted += run.records;
    check(counted == static_cast<qint64>(records.size()));
    for (const LogReader::Record &record : records)
        check(std::isfinite(record.x));
    readInBlocks(data, size, reader, records);
    check(reader.problemCount() >= reader.problems().size());
}

// The input's bytes in order; zeros once they run out.
class Input
{
public:
    Input(const uint8_t *data, size_t size) : m_data(data), m_size(size) { }
    template <typename T> T take()
    {
        T value{};
        const size_t n = std::min(sizeof value, m_size - m_at);
        std::memcpy(&value, m_data + m_at, n);
        m_at += n;
        return value;
    }
    QString text(int longest)
    {
        // Taken before the room left is counted: the length byte itself uses some of it.
        const size_t wanted = take<uint8_t>() % (longest + 1);
        const size_t n = std::min(wanted, m_size - m_at);
        const QString text =
            QString::fromUtf8(reinterpret_cast<const char *>(m_data + m_at), static_cast<int>(n));
        m_at += n;
        return text;
    }

private:
    const uint8_t *m_data;
    size_t m_size;
    size_t m_at = 0;
};

double finite(double value)
{
    return std::isfinite(value) ? value : 0;
}

// A number as the log's number form gives it back: the largest doubles,
// rounded up past the largest one by their 15 digits, as that one.
double asWritten(double value)
{
    const double read = NumberText::plain(value).toDouble();
    return std::isinf(read) ? std::copysign(std::numeric_limits<double>::max(), read) : read;
}

void roundTrip(const uint8_t *data, size_t size)
{
    static const QList<QLocale> locales =
        QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyCountry);
    Input input(data, size);
    const QLocale writer = locales.at(input.take<uint16_t>() % locales.size());
    const QLocale reader = locales.at(input.take<uint16_t>() % locales.size());
    const QDate date = QDate(2000, 1, 1).addDays(input.take<uint16_t>());
    StationState state;
    // Any characters but those the header's form cannot carry unchanged.
    state.probe1Serial = input.text(24).remove(QRegularExpression(QStringLiteral("[\"\r\n]")));

    QByteArray file;
    for (const LogLine &line :
         LogHeader::lines(state, QStringLiteral("/data/run.csv"), date, writer))
        file += LogValue::encodeLine(line);
    struct Written
    {
        double x, ph1, ph2;
    };
    std::vector<Written> written;
    int second = -1;
    int days = 0;
    bool read1 = false;
    bool read2 = false;
    const int count = input.take<uint8_t>() % 32;
    for (int i = 0; i < count; ++i) {
        const int step = static_cast<int>(input.take<uint32_t>() % (22 * 3600));
        second = second < 0 ? step % 86400 : second + step;
        if (second >= 86400) {
            second -= 86400;
            ++days;
        }
        state.probe1pH = finite(input.take<double>());
        state.probe2pH = finite(input.take<double>());
        const QTime time = QTime(0, 0).addSecs(second);
        file += LogValue::encodeLine(LogRecord::line(state, time, input.text(12), writer));
        // A zero before a probe's first other value is no reading.
        const auto reading = [](double value, bool *read) {
            *read = *read || value != 0;
            return *read ? value : std::numeric_limits<double>::quiet_NaN();
        };
        written.push_back({days + OleDates::fromTime(time),
                           reading(asWritten(state.probe1pH), &read1),
                           reading(asWritten(state.probe2pH), &read2)});
    }

    LogReader read(reader);
    for (QByteArray line : file.split('\n')) {
        if (line.isEmpty())
            break; // after the last line end
        line.chop(1);
        read.readLine(line);
    }
    check(read.problemCount() == 0);
    check(read.runs().size() == 1);
    const LogReader::Run &run = read.runs().constFirst();
    check(run.date == date);
    check(run.records == static_cast<qint64>(written.size()));
    check(run.header.size() == 8 &&
          run.header.at(4) ==
              QStringLiteral("Serial Number: ") + state.probe1Serial +
                  QStringLiteral("  Serial Number2: ") + state.probe2Serial);
    const std::vector<LogReader::Record> records = read.takeRecords();
    check(records.size() == written.size());
    for (size_t i = 0; i < records.size(); ++i) {
        check(std::abs(records[i].x - written[i].x) < 1e-9);
        const auto same = [](double got, double wrote) {
            return got == wrote || (std::isnan(got) && std::isnan(wrote));
        };
        check(same(records[i].values[LogColumns::Probe1pH], written[i].ph1) &&
              same(records[i].values[LogColumns::Probe2pH], written[i].ph2));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    readAsFile(data, size);
    roundTrip(data, size);
    return 0;
}
