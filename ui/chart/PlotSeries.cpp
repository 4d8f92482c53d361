#include "ui/chart/PlotSeries.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr int blockShift(int level)
{
    return PlotSeries::LevelShift * (level + 1);
}

// The vertices of one pixel column holding `count` points: its first point,
// a vertical stroke at that X over every Y the column reaches (in the
// direction the line goes), and its last point.
void emitColumn(QVector<QPointF> *line, const QPointF &first, const QPointF &last, qint64 count,
                double low, double high)
{
    line->append(first);
    if (count >= 3) {
        const bool rising = first.y() <= last.y();
        line->append(QPointF(first.x(), rising ? low : high));
        line->append(QPointF(first.x(), rising ? high : low));
    }
    if (count >= 2)
        line->append(last);
}

} // namespace

PlotSeries::PlotSeries(double gapDays) : m_gapDays(gapDays)
{
}

PlotSeries::PlotSeries(const PlotSeries &other)
    : m_gapDays(other.m_gapDays)
    , m_segmentStarts(other.m_segmentStarts)
    , m_first(other.m_first)
    , m_end(other.m_end)
    , m_minX(other.m_minX)
    , m_maxX(other.m_maxX)
    , m_minY(other.m_minY)
    , m_maxY(other.m_maxY)
{
    for (const auto &chunk : other.m_chunks)
        m_chunks.push_back(std::make_unique<Chunk>(*chunk));
    for (int level = 0; level < LevelCount; ++level) {
        m_levelMin[level] = other.m_levelMin[level];
        m_levelMax[level] = other.m_levelMax[level];
    }
}

// The chunks held already are written over, not allocated again: a store
// copied again and again into one object costs no new memory once it has
// grown as large.
PlotSeries &PlotSeries::operator=(const PlotSeries &other)
{
    if (this == &other)
        return *this;
    m_gapDays = other.m_gapDays;
    while (m_chunks.size() > other.m_chunks.size())
        m_chunks.pop_back();
    for (size_t i = 0; i < other.m_chunks.size(); ++i) {
        if (i < m_chunks.size())
            *m_chunks[i] = *other.m_chunks[i];
        else
            m_chunks.push_back(std::make_unique<Chunk>(*other.m_chunks[i]));
    }
    for (int level = 0; level < LevelCount; ++level) {
        m_levelMin[level] = other.m_levelMin[level];
        m_levelMax[level] = other.m_levelMax[level];
    }
    m_segmentStarts = other.m_segmentStarts;
    m_first = other.m_first;
    m_end = other.m_end;
    m_minX = other.m_minX;
    m_maxX = other.m_maxX;
    m_minY = other.m_minY;
    m_maxY = other.m_maxY;
    return *this;
}

bool PlotSeries::append(double xValue, double yValue)
{
    if (!std::isfinite(xValue) || !std::isfinite(yValue))
        return false;
    const float storedY = static_cast<float>(yValue);
    if (!std::isfinite(storedY))
        return false; // beyond the range of a float

    if (size() == 0) {
        m_minX = m_maxX = xValue;
        m_minY = m_maxY = storedY;
        m_segmentStarts.push_back(m_end);
    } else {
        const double previous = lastX();
        if (xValue < previous || xValue - previous > m_gapDays)
            m_segmentStarts.push_back(m_end);
        m_minX = std::min(m_minX, xValue);
        m_maxX = std::max(m_maxX, xValue);
        m_minY = std::min<double>(m_minY, storedY);
        m_maxY = std::max<double>(m_maxY, storedY);
    }

    if (offsetIn(m_end) == 0)
        m_chunks.push_back(std::make_unique<Chunk>());
    Chunk &chunk = *m_chunks.back();
    chunk.x[offsetIn(m_end)] = xValue;
    chunk.y[offsetIn(m_end)] = storedY;

    for (int level = 0; level < LevelCount; ++level) {
        if ((m_end & ((qint64(1) << blockShift(level)) - 1)) == 0) {
            m_levelMin[level].push_back(storedY);
            m_levelMax[level].push_back(storedY);
        } else {
            float &low = m_levelMin[level].back();
            float &high = m_levelMax[level].back();
            low = std::min(low, storedY);
            high = std::max(high, storedY);
        }
    }
    ++m_end;
    return true;
}

void PlotSeries::dropOldestChunk()
{
    if (size() <= ChunkSize)
        return;
    m_chunks.pop_front();
    m_first += ChunkSize;
    // A chunk is a whole number of blocks at every level.
    for (int level = 0; level < LevelCount; ++level) {
        const int blocks = ChunkSize >> blockShift(level);
        m_levelMin[level].erase(m_levelMin[level].begin(), m_levelMin[level].begin() + blocks);
        m_levelMax[level].erase(m_levelMax[level].begin(), m_levelMax[level].begin() + blocks);
    }
    // The segment the new oldest point lies in now starts with it.
    while (m_segmentStarts.size() > 1 && m_segmentStarts[1] <= m_first)
        m_segmentStarts.pop_front();
    m_segmentStarts.front() = m_first;
    recomputeBounds();
}

void PlotSeries::recomputeBounds()
{
    m_minX = m_maxX = xAt(m_first);
    for (int segment = 0; segment < segmentCount(); ++segment) {
        m_minX = std::min(m_minX, xAt(m_segmentStarts[segment]));
        m_maxX = std::max(m_maxX, xAt(segmentEndAt(segment) - 1));
    }
    m_minY =
        *std::min_element(m_levelMin[LevelCount - 1].begin(), m_levelMin[LevelCount - 1].end());
    m_maxY =
        *std::max_element(m_levelMax[LevelCount - 1].begin(), m_levelMax[LevelCount - 1].end());
}

float PlotSeries::levelMin(int level, qint64 global) const
{
    return m_levelMin[level][static_cast<size_t>((global >> blockShift(level)) -
                                                 (m_first >> blockShift(level)))];
}

float PlotSeries::levelMax(int level, qint64 global) const
{
    return m_levelMax[level][static_cast<size_t>((global >> blockShift(level)) -
                                                 (m_first >> blockShift(level)))];
}

qint64 PlotSeries::segmentEndAt(int segment) const
{
    return segment + 1 < segmentCount() ? m_segmentStarts[segment + 1] : m_end;
}

qint64 PlotSeries::segmentEnd(int segment) const
{
    return segmentEndAt(segment) - m_first;
}

qint64 PlotSeries::bytesUsed() const
{
    size_t bytes = m_chunks.size() * (sizeof(Chunk) + sizeof(m_chunks[0])) +
        m_segmentStarts.size() * sizeof(qint64) + sizeof(*this);
    for (int level = 0; level < LevelCount; ++level)
        bytes += (m_levelMin[level].size() + m_levelMax[level].size()) * sizeof(float);
    return static_cast<qint64>(bytes);
}

qint64 PlotSeries::firstIndexNotBelow(qint64 begin, qint64 end, double value) const
{
    while (begin < end) {
        const qint64 middle = begin + (end - begin) / 2;
        if (xAt(middle) < value)
            begin = middle + 1;
        else
            end = middle;
    }
    return begin;
}

qint64 PlotSeries::indexAtOrAfter(double value) const
{
    for (int segment = 0; segment < segmentCount(); ++segment) {
        const qint64 end = segmentEndAt(segment);
        const qint64 found = firstIndexNotBelow(m_segmentStarts[segment], end, value);
        if (found < end)
            return found - m_first;
    }
    return size();
}

void PlotSeries::extentOf(qint64 begin, qint64 end, double *low, double *high) const
{
    float lowest = static_cast<float>(yAt(begin));
    float highest = lowest;
    qint64 i = begin;
    while (i < end) {
        // The largest summary block that starts here and fits; single points otherwise.
        int level = LevelCount - 1;
        for (; level >= 0; --level) {
            const qint64 size = qint64(1) << blockShift(level);
            if ((i & (size - 1)) == 0 && i + size <= end)
                break;
        }
        if (level < 0) {
            const float value = chunkAt(i).y[offsetIn(i)];
            lowest = std::min(lowest, value);
            highest = std::max(highest, value);
            ++i;
            continue;
        }
        lowest = std::min(lowest, levelMin(level, i));
        highest = std::max(highest, levelMax(level, i));
        i += qint64(1) << blockShift(level);
    }
    *low = lowest;
    *high = highest;
}

bool PlotSeries::extentBetween(double x0, double x1, double *low, double *high, double *sum,
                               qint64 *count) const
{
    bool any = false;
    for (int segment = 0; segment < segmentCount(); ++segment) {
        const qint64 begin =
            firstIndexNotBelow(m_segmentStarts[segment], segmentEndAt(segment), x0);
        const qint64 end =
            firstIndexNotBelow(begin, segmentEndAt(segment),
                               std::nextafter(x1, std::numeric_limits<double>::infinity()));
        if (begin >= end)
            continue;
        double segmentLow = 0;
        double segmentHigh = 0;
        extentOf(begin, end, &segmentLow, &segmentHigh);
        *low = any ? std::min(*low, segmentLow) : segmentLow;
        *high = any ? std::max(*high, segmentHigh) : segmentHigh;
        for (qint64 i = begin; i < end; ++i)
            *sum += yAt(i);
        *count += end - begin;
        any = true;
    }
    return any;
}

std::vector<QVector<QPointF>> PlotSeries::envelope(double x0, double x1, int columns,
                                                   const ColumnOf &columnOfX) const
{
    std::vector<QVector<QPointF>> lines;
    if (!(x1 > x0) || columns <= 0 || !std::isfinite(x0) || !std::isfinite(x1))
        return lines;
    for (int segment = 0; segment < segmentCount(); ++segment) {
        const qint64 begin = m_segmentStarts[segment];
        const qint64 end = segmentEndAt(segment);
        if (xAt(end - 1) < x0 || xAt(begin) >= x1)
            continue; // entirely beside the range
        QVector<QPointF> line;
        envelopeOfSegment(begin, end, x0, x1, columns, columnOfX, &line);
        if (!line.isEmpty())
            lines.push_back(std::move(line));
    }
    return lines;
}

void PlotSeries::envelopeOfSegment(qint64 begin, qint64 end, double x0, double x1, int columns,
                                   const ColumnOf &columnOfX, QVector<QPointF> *line) const
{
    const double columnWidth = (x1 - x0) / columns;
    const auto columnOf = [&](qint64 index) {
        return columnOfX ? columnOfX(xAt(index)) : std::floor((xAt(index) - x0) / columnWidth);
    };

    qint64 first = firstIndexNotBelow(begin, end, x0);
    if (first > begin)
        line->append(QPointF(xAt(first - 1), yAt(first - 1))); // so the line reaches the left edge
    qint64 previousCount = 1;
    while (first < end) {
        const double column = columnOf(first);
        if (column >= columns)
            break;
        // The end of this column's points. Steady sampling puts about as many
        // points in each column as in the one before: look just short of
        // that first, then gallop, then halve.
        qint64 inside = first;
        qint64 beyond = end;
        const qint64 guess = std::min(end - 1, first + std::max<qint64>(previousCount - 2, 0));
        if (guess > first && columnOf(guess) != column) {
            beyond = guess;
        } else {
            inside = guess;
            qint64 step = 1;
            while (inside + step < end && columnOf(inside + step) == column) {
                inside += step;
                step *= 2;
            }
            beyond = std::min(end, inside + step);
        }
        while (beyond - inside > 1) {
            const qint64 middle = inside + (beyond - inside) / 2;
            if (columnOf(middle) == column)
                inside = middle;
            else
                beyond = middle;
        }
        double low = 0;
        double high = 0;
        extentOf(first, beyond, &low, &high);
        emitColumn(line, QPointF(xAt(first), yAt(first)), QPointF(xAt(beyond - 1), yAt(beyond - 1)),
                   beyond - first, low, high);
        previousCount = beyond - first;
        first = beyond;
    }
    if (first < end)
        line->append(QPointF(xAt(first), yAt(first))); // and the right edge
}
