#include "review/LogPreview.h"

#include "review/LogColumns.h"
#include "review/RegularFile.h"
#include "ui/chart/ChartStore.h"

#include <vector>

namespace {

constexpr qint64 SampleBytes = 4096;
constexpr int NewDayStepBack = 2 * 3600;

} // namespace

namespace LogPreview {

void sample(int fd, qint64 size, int samples, QDate origin, QDate firstRun,
            const LogChunk::Options &options, ChartStore *store)
{
    if (size <= 0 || !origin.isValid())
        return;
    QDate runDate = firstRun;
    qint64 days = 0;
    int lastSecond = -1;
    std::vector<char> bytes(SampleBytes);
    LogChunk chunk;
    samples = std::max(samples, 2);
    for (int i = 0; i < samples; ++i) {
        const qint64 offset = std::max<qint64>(0, (size - SampleBytes) * i / (samples - 1));
        const qint64 got = RegularFile::readAt(fd, offset, bytes.data(), SampleBytes);
        if (got <= 0)
            continue;
        // Whole lines only: from the first line end on, unless at the start.
        const char *begin = bytes.data();
        const char *end = begin + got;
        if (offset > 0)
            while (begin < end && *begin++ != '\n') { }
        while (end > begin && end[-1] != '\n')
            --end;
        chunk.clear();
        chunk.parse(begin, end, false, options);
        for (const LogChunk::Line &line : chunk.lines) {
            if (line.kind == LogChunk::Kind::RunStart) {
                const QDate date = chunk.runStarts[size_t(line.index)].date;
                if (date.isValid()) {
                    runDate = date;
                    days = 0;
                    lastSecond = -1;
                }
                continue;
            }
            if (line.kind != LogChunk::Kind::Record || !runDate.isValid())
                continue;
            const LogChunk::Values &record = chunk.records[size_t(line.index)];
            if (lastSecond >= 0 && record.secondOfDay < lastSecond - NewDayStepBack)
                ++days;
            lastSecond = record.secondOfDay;
            const double x = origin.daysTo(runDate) + days + record.secondOfDay / 86400.0;
            for (int column = 0; column < LogColumns::Count; ++column) {
                // A zero here most likely stands before a first reading: left out.
                const double value = record.values[column];
                if (options.wanted & LogColumns::bit(column) && value != 0)
                    store->appendPlaced(LogColumns::plotOf(column), x, value);
            }
        }
    }
}

} // namespace LogPreview
