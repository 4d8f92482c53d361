#include "ui/chart/PlotSeries.h"

#include <algorithm>
#include <cmath>

namespace {

// What one pixel column has gathered so far.
struct Column
{
    qint64 number = 0;
    qint64 count = 0;
    QPointF first;
    QPointF last;
    double minY = 0;
    double maxY = 0;

    void start(qint64 columnNumber, const QPointF &point)
    {
        number = columnNumber;
        count = 0;
        first = point;
        last = point;
        minY = point.y();
        maxY = point.y();
    }
    void add(const QPointF &point, qint64 points, double low, double high)
    {
        count += points;
        last = point;
        minY = std::min(minY, low);
        maxY = std::max(maxY, high);
    }
    void emitTo(QVector<QPointF> *line) const
    {
        line->append(first);
        if (count >= 3) {
            // A vertical stroke at the column's first point covers every Y the
            // column's points reach; its direction follows the line.
            const bool rising = first.y() <= last.y();
            line->append(QPointF(first.x(), rising ? minY : maxY));
            line->append(QPointF(first.x(), rising ? maxY : minY));
        }
        if (count >= 2)
            line->append(last);
    }
};

} // namespace

PlotSeries::PlotSeries(double gapDays)
    : m_gapDays(gapDays)
{
}

bool PlotSeries::append(double xValue, double yValue)
{
    if (!std::isfinite(xValue) || !std::isfinite(yValue))
        return false;
    const float storedY = static_cast<float>(yValue);
    if (!std::isfinite(storedY))
        return false; // beyond the range of a float

    if (m_size == 0) {
        m_minX = m_maxX = xValue;
        m_minY = m_maxY = storedY;
        m_segmentStarts.push_back(0);
    } else {
        const double previous = lastX();
        if (xValue < previous || xValue - previous > m_gapDays)
            m_segmentStarts.push_back(m_size);
        m_minX = std::min(m_minX, xValue);
        m_maxX = std::max(m_maxX, xValue);
        m_minY = std::min<double>(m_minY, storedY);
        m_maxY = std::max<double>(m_maxY, storedY);
    }

    if (offsetIn(m_size) == 0)
        m_chunks.push_back(std::make_unique<Chunk>());
    Chunk &chunk = *m_chunks.back();
    chunk.x[offsetIn(m_size)] = xValue;
    chunk.y[offsetIn(m_size)] = storedY;

    const qint64 block = m_size / BlockSize;
    if (m_size % BlockSize == 0) {
        m_blockMin.push_back(storedY);
        m_blockMax.push_back(storedY);
    } else {
        m_blockMin[block] = std::min(m_blockMin[block], storedY);
        m_blockMax[block] = std::max(m_blockMax[block], storedY);
    }
    ++m_size;
    return true;
}

qint64 PlotSeries::segmentEnd(int segment) const
{
    return segment + 1 < segmentCount() ? m_segmentStarts[segment + 1] : m_size;
}

qint64 PlotSeries::bytesUsed() const
{
    return static_cast<qint64>(m_chunks.size() * sizeof(Chunk)
                               + m_chunks.capacity() * sizeof(m_chunks[0])
                               + (m_blockMin.capacity() + m_blockMax.capacity()) * sizeof(float)
                               + m_segmentStarts.capacity() * sizeof(qint64) + sizeof(*this));
}

qint64 PlotSeries::firstIndexNotBelow(qint64 begin, qint64 end, double value) const
{
    while (begin < end) {
        const qint64 middle = begin + (end - begin) / 2;
        if (x(middle) < value)
            begin = middle + 1;
        else
            end = middle;
    }
    return begin;
}

qint64 PlotSeries::firstIndexAbove(qint64 begin, qint64 end, double value) const
{
    while (begin < end) {
        const qint64 middle = begin + (end - begin) / 2;
        if (x(middle) <= value)
            begin = middle + 1;
        else
            end = middle;
    }
    return begin;
}

std::vector<QVector<QPointF>> PlotSeries::envelope(double x0, double x1, int columns) const
{
    std::vector<QVector<QPointF>> lines;
    if (!(x1 > x0) || columns <= 0 || !std::isfinite(x0) || !std::isfinite(x1))
        return lines;
    for (int segment = 0; segment < segmentCount(); ++segment) {
        const qint64 begin = segmentStart(segment);
        const qint64 end = segmentEnd(segment);
        if (x(end - 1) < x0 || x(begin) >= x1)
            continue; // entirely beside the range
        QVector<QPointF> line;
        envelopeOfSegment(begin, end, x0, x1, columns, &line);
        if (!line.isEmpty())
            lines.push_back(std::move(line));
    }
    return lines;
}

void PlotSeries::envelopeOfSegment(qint64 begin, qint64 end, double x0, double x1, int columns,
                                   QVector<QPointF> *line) const
{
    const qint64 from = std::max(begin, firstIndexNotBelow(begin, end, x0) - 1);
    const qint64 to = std::min(end, firstIndexNotBelow(begin, end, x1) + 1);
    const double columnWidth = (x1 - x0) / columns;
    const auto columnOf = [&](double xValue) -> qint64 {
        const double position = std::floor((xValue - x0) / columnWidth);
        // Points outside the range are the single neighbours on each side.
        if (position < 0)
            return -1;
        if (position >= columns)
            return columns;
        return static_cast<qint64>(position);
    };

    Column column;
    bool open = false;
    qint64 i = from;
    while (i < to) {
        const QPointF point(x(i), y(i));
        const qint64 number = columnOf(point.x());
        if (!open || number != column.number) {
            if (open)
                column.emitTo(line);
            column.start(number, point);
            open = true;
        }
        // A whole block inside this column adds its summary instead of its points.
        if (i % BlockSize == 0 && i + BlockSize <= to && number >= 0 && number < columns
            && columnOf(x(i + BlockSize - 1)) == number) {
            const qint64 block = i / BlockSize;
            column.add(QPointF(x(i + BlockSize - 1), y(i + BlockSize - 1)), BlockSize,
                       m_blockMin[block], m_blockMax[block]);
            i += BlockSize;
            continue;
        }
        column.add(point, 1, point.y(), point.y());
        ++i;
    }
    if (open)
        column.emitTo(line);
}
