// The review's log reader over any bytes, and a run written by the station's
// own writers read back.
//
// Any bytes, read as a file a line at a time as the loader reads it: every
// line is counted, the runs' record counts add up to the records read, and
// every record has a finite place.
//
// Round trip: the same bytes also choose a run: the locale it is written
// under and the one it is read under, its date, a serial number, and records
// (a step forward in time, under 22 hours, two pH values and the litres
// text). The station's header and record writers turn it into lines; read
// back, they give one run of that date and header whose records stand at
// their dates and times with the pH values as written.

#include "logging/LogHeader.h"
#include "logging/LogRecord.h"
#include "review/LogLoader.h"
#include "review/LogReader.h"
#include "station/NumberText.h"
#include "station/OleDate.h"
#include "station/StationState.h"

#include <QRegularExpression>

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
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
            reader.skipLine(line.left(LogLoader::LongestLine), QStringLiteral("long"));
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
        const size_t n = std::min<size_t>(take<uint8_t>() % (longest + 1), m_size - m_at);
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

// A number as the log's number form gives it back.
double asWritten(double value)
{
    return NumberText::plain(value).toDouble();
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
        written.push_back({days + OleDates::fromTime(time), asWritten(state.probe1pH),
                           asWritten(state.probe2pH)});
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
        check(records[i].ph1 == written[i].ph1 && records[i].ph2 == written[i].ph2);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    readAsFile(data, size);
    roundTrip(data, size);
    return 0;
}
