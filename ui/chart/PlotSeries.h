#pragma once

#include <QPointF>
#include <QVector>
#include <QtGlobal>

#include <deque>
#include <functional>
#include <memory>
#include <vector>

// One plot's points, kept compactly (a double X and a float Y, 12 bytes a
// point, in fixed chunks so growth never copies or over-allocates), with
// min/max summaries of blocks of 16, 256 and 4096 points so that the
// envelope of a pixel column costs about the same however many points it
// covers. The oldest chunk can be let go (BoundedSeries keeps a summary of
// it instead); indices count from the oldest point held.
//
// Points arrive in time order. The line is broken where X steps back or
// leaves a gap longer than gapDays (plotting paused): each unbroken run is a
// segment, and within a segment X never decreases.
class PlotSeries
{
public:
    static constexpr int ChunkSize = 4096;
    // Summary levels: blocks of 16, 16 x 16 and 16 x 16 x 16 points.
    static constexpr int LevelCount = 3;
    static constexpr int LevelShift = 4;
    static constexpr double DefaultGapDays = 10.0 / 86400;

    explicit PlotSeries(double gapDays = DefaultGapDays);
    // A copy holds chunks of its own.
    PlotSeries(const PlotSeries &other);
    PlotSeries &operator=(const PlotSeries &other);
    PlotSeries(PlotSeries &&) = default;
    PlotSeries &operator=(PlotSeries &&) = default;
    ~PlotSeries() = default;

    // Stores the point; non-finite values are refused and change nothing.
    bool append(double x, double y);
    // Lets the oldest ChunkSize points go; only while more than a chunk is held.
    void dropOldestChunk();

    qint64 size() const { return m_end - m_first; }
    double gapDays() const { return m_gapDays; }
    double x(qint64 index) const { return xAt(m_first + index); }
    double y(qint64 index) const { return yAt(m_first + index); }
    int segmentCount() const { return static_cast<int>(m_segmentStarts.size()); }
    qint64 segmentStart(int segment) const { return m_segmentStarts[segment] - m_first; }
    qint64 segmentEnd(int segment) const;
    double minimumX() const { return m_minX; }
    double maximumX() const { return m_maxX; }
    double minimumY() const { return m_minY; }
    double maximumY() const { return m_maxY; }
    // The X of the newest point, or 0 when empty.
    double lastX() const { return size() ? xAt(m_end - 1) : 0; }

    // Memory the points and their summaries take, allocated capacity included.
    qint64 bytesUsed() const;

    // The lowest and highest Y, and the sum and count of the Y, of the
    // points with X in [x0, x1]; false when there are none.
    bool extentBetween(double x0, double x1, double *low, double *high, double *sum,
                       qint64 *count) const;
    // The index of the first point at or after x in the segment that holds
    // or follows it, or size().
    qint64 indexAtOrAfter(double x) const;

    // The vertices to draw for [x0, x1) split into `columns` equal pixel
    // columns, one polyline per segment in view. Each column with points
    // gives its first point, its lowest and highest Y (at the X of the first
    // point) and its last point, so lines drawn through them cover the same
    // pixels as the raw points would; columns with one or two points give
    // those points as they are. The nearest point outside the range on each
    // side is included so the line reaches the edges.
    //
    // columnOfX, where given, says which column an X falls in, so that the
    // columns are exactly the pixels a drawing rounds the points to; it must
    // not decrease as X grows, and give 0 to columns - 1 over [x0, x1).
    using ColumnOf = std::function<double(double)>;
    std::vector<QVector<QPointF>> envelope(double x0, double x1, int columns,
                                           const ColumnOf &columnOfX = {}) const;

private:
    struct Chunk
    {
        double x[ChunkSize];
        float y[ChunkSize];
    };

    // Indices below count every point ever appended; m_first is the oldest held.
    const Chunk &chunkAt(qint64 global) const
    {
        return *m_chunks[static_cast<size_t>(global / ChunkSize - m_first / ChunkSize)];
    }
    static int offsetIn(qint64 global) { return static_cast<int>(global % ChunkSize); }
    double xAt(qint64 global) const { return chunkAt(global).x[offsetIn(global)]; }
    double yAt(qint64 global) const { return chunkAt(global).y[offsetIn(global)]; }
    float levelMin(int level, qint64 global) const;
    float levelMax(int level, qint64 global) const;
    qint64 segmentEndAt(int segment) const;
    qint64 firstIndexNotBelow(qint64 begin, qint64 end, double value) const;
    // The lowest and highest Y of the points [begin, end).
    void extentOf(qint64 begin, qint64 end, double *low, double *high) const;
    void envelopeOfSegment(qint64 begin, qint64 end, double x0, double x1, int columns,
                           const ColumnOf &columnOfX, QVector<QPointF> *line) const;
    void recomputeBounds();

    double m_gapDays;
    std::deque<std::unique_ptr<Chunk>> m_chunks;
    std::deque<float> m_levelMin[LevelCount];
    std::deque<float> m_levelMax[LevelCount];
    std::deque<qint64> m_segmentStarts;
    qint64 m_first = 0;
    qint64 m_end = 0;
    double m_minX = 0;
    double m_maxX = 0;
    double m_minY = 0;
    double m_maxY = 0;
};
