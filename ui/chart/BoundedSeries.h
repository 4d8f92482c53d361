#pragma once

#include "ui/chart/PlotSeries.h"

#include <array>
#include <deque>

// One plot's points for months of running, in bounded memory. The last
// RAW_DAYS are kept point by point. Older points are kept per bucket (a
// minute up to MINUTE_DAYS old, ten minutes beyond) as the bucket's first,
// lowest, highest and last point in their order of time, with the sum and
// count of its readings: drawn, that is exactly the envelope of the points it
// stands for wherever a pixel column holds whole buckets, and a spike of one
// second is never lost. Points move on to the coarser tier a chunk at a time,
// so appending stays constant time on average.
class BoundedSeries
{
public:
    static constexpr double RAW_DAYS = 7;
    static constexpr double MINUTE_DAYS = 30;
    static constexpr int TIERS = 3; // raw, minute buckets, ten-minute buckets

    // gapDays: a step in time longer than this breaks the line.
    explicit BoundedSeries(double gapDays = PlotSeries::DefaultGapDays);

    // Non-finite values are refused and change nothing.
    bool append(double x, double y);

    // The tier's points: 0 raw, 1 per minute, 2 per ten minutes.
    const PlotSeries &tier(int index) const { return m_tiers[static_cast<size_t>(index)].points; }
    // Points held in all tiers, and whether all of them are raw.
    qint64 size() const;
    bool isEmpty() const { return size() == 0; }
    double newestX() const;
    double oldestX() const;
    // The lowest and highest X held, whatever order the points came in;
    // false when empty.
    bool spanX(double *lowest, double *highest) const;
    qint64 bytesUsed() const;

    // As PlotSeries::envelope, over every tier, oldest first; a line that
    // runs on from one tier into the next is one line.
    std::vector<QVector<QPointF>> envelope(double x0, double x1, int columns,
                                           const PlotSeries::ColumnOf &columnOfX = {}) const;

    // The lowest, highest and mean reading with X in [x0, x1]; false when
    // there is none. Buckets count whole where their first point lies inside.
    bool statistics(double x0, double x1, double *low, double *high, double *mean) const;

private:
    // A bucket's sum and count of readings, for means.
    struct Sum
    {
        double start = 0;
        double sum = 0;
        qint64 count = 0;
    };
    // The bucket being filled from the finer tier's oldest chunk.
    struct OpenBucket
    {
        double key = 0;
        bool any = false;
        QPointF first, lowest, highest, last;
    };
    struct Tier
    {
        explicit Tier(double days, double gapDays) : bucketDays(days), points(gapDays) { }
        double bucketDays;
        PlotSeries points;
        std::deque<Sum> sums;
        double lastSumKey = 0; // the bucket of the newest sum
        OpenBucket open;
    };

    void ageOut(size_t index, double newest);
    static void addToBucket(Tier &tier, double key, double x, double y);
    static void closeBucket(Tier &tier);
    static void addSum(Tier &tier, double key, double start, double sum, qint64 count);

    std::array<Tier, TIERS> m_tiers;
};
