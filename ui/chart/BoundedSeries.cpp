#include "ui/chart/BoundedSeries.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double Minute = 1.0 / (24 * 60);
constexpr double Second = 1.0 / 86400;
// How old a tier's points may grow before they move on to the next one.
constexpr double AgeLimit[] = {BoundedSeries::RAW_DAYS, BoundedSeries::MINUTE_DAYS, 1e300};

} // namespace

BoundedSeries::BoundedSeries(double gapDays)
    : m_tiers{Tier(0, gapDays),
              // A bucket's points lie up to its width apart: only more is a gap.
              Tier(Minute, Minute + gapDays), Tier(10 * Minute, 10 * Minute + gapDays)}
{
}

bool BoundedSeries::append(double x, double y)
{
    if (!m_tiers[0].points.append(x, y))
        return false;
    ageOut(0, x);
    return true;
}

// Moves the tier's oldest chunk on to the next tier once all of it is older
// than the tier keeps points; newest is the X of the newest point held.
void BoundedSeries::ageOut(size_t index, double newest)
{
    if (index + 1 >= m_tiers.size())
        return;
    Tier &tier = m_tiers[index];
    Tier &next = m_tiers[index + 1];
    while (tier.points.size() > PlotSeries::ChunkSize &&
           tier.points.x(PlotSeries::ChunkSize - 1) < newest - AgeLimit[index]) {
        for (int i = 0; i < PlotSeries::ChunkSize; ++i) {
            const double x = tier.points.x(i);
            const double y = tier.points.y(i);
            const double key = std::floor(x / next.bucketDays);
            addToBucket(next, key, x, y);
            if (index == 0)
                addSum(next, key, x, y, 1);
        }
        const double chunkEnd = tier.points.x(PlotSeries::ChunkSize - 1);
        while (index > 0 && !tier.sums.empty() && tier.sums.front().start <= chunkEnd) {
            const Sum sum = tier.sums.front();
            tier.sums.pop_front();
            addSum(next, std::floor(sum.start / next.bucketDays), sum.start, sum.sum, sum.count);
        }
        tier.points.dropOldestChunk();
        ageOut(index + 1, newest);
    }
}

void BoundedSeries::addToBucket(Tier &tier, double key, double x, double y)
{
    OpenBucket &open = tier.open;
    if (open.any && key != open.key)
        closeBucket(tier);
    const QPointF point(x, y);
    if (!open.any) {
        open = {key, true, point, point, point, point};
        return;
    }
    if (y < open.lowest.y())
        open.lowest = point;
    if (y > open.highest.y())
        open.highest = point;
    open.last = point;
}

void BoundedSeries::closeBucket(Tier &tier)
{
    OpenBucket &open = tier.open;
    QPointF kept[] = {open.first, open.lowest, open.highest, open.last};
    std::sort(std::begin(kept), std::end(kept),
              [](const QPointF &a, const QPointF &b) { return a.x() < b.x(); });
    for (size_t i = 0; i < std::size(kept); ++i)
        if (i == 0 || kept[i] != kept[i - 1])
            tier.points.append(kept[i].x(), kept[i].y());
    open.any = false;
}

void BoundedSeries::addSum(Tier &tier, double key, double start, double sum, qint64 count)
{
    if (!tier.sums.empty() && tier.lastSumKey == key) {
        tier.sums.back().sum += sum;
        tier.sums.back().count += count;
        return;
    }
    tier.sums.push_back({start, sum, count});
    tier.lastSumKey = key;
}

qint64 BoundedSeries::size() const
{
    qint64 total = 0;
    for (const Tier &tier : m_tiers)
        total += tier.points.size();
    return total;
}

double BoundedSeries::newestX() const
{
    for (const Tier &tier : m_tiers)
        if (tier.points.size())
            return tier.points.lastX();
    return 0;
}

double BoundedSeries::oldestX() const
{
    for (auto tier = m_tiers.rbegin(); tier != m_tiers.rend(); ++tier)
        if (tier->points.size())
            return tier->points.minimumX();
    return 0;
}

bool BoundedSeries::spanX(double *lowest, double *highest) const
{
    bool any = false;
    for (const Tier &tier : m_tiers) {
        if (!tier.points.size())
            continue;
        *lowest = any ? std::min(*lowest, tier.points.minimumX()) : tier.points.minimumX();
        *highest = any ? std::max(*highest, tier.points.maximumX()) : tier.points.maximumX();
        any = true;
    }
    return any;
}

qint64 BoundedSeries::bytesUsed() const
{
    qint64 bytes = sizeof(*this);
    for (const Tier &tier : m_tiers)
        bytes += tier.points.bytesUsed() + static_cast<qint64>(tier.sums.size() * sizeof(Sum));
    return bytes;
}

std::vector<QVector<QPointF>> BoundedSeries::envelope(double x0, double x1, int columns,
                                                      const PlotSeries::ColumnOf &columnOfX) const
{
    std::vector<QVector<QPointF>> lines;
    for (auto tier = m_tiers.rbegin(); tier != m_tiers.rend(); ++tier) {
        std::vector<QVector<QPointF>> own = tier->points.envelope(x0, x1, columns, columnOfX);
        for (size_t i = 0; i < own.size(); ++i) {
            // Where the coarser tier's last line ends just before this one
            // begins, the two are one line.
            const bool joins = i == 0 && !lines.empty() &&
                own[i].first().x() - lines.back().last().x() <=
                    tier->bucketDays + 10 * Second + m_tiers[0].points.gapDays() &&
                own[i].first().x() >= lines.back().last().x();
            if (joins)
                lines.back() += own[i];
            else
                lines.push_back(std::move(own[i]));
        }
    }
    return lines;
}

bool BoundedSeries::statistics(double x0, double x1, double *low, double *high, double *mean) const
{
    bool any = false;
    double sum = 0;
    qint64 count = 0;
    for (size_t index = 0; index < m_tiers.size(); ++index) {
        const Tier &tier = m_tiers[index];
        double tierLow = 0;
        double tierHigh = 0;
        double tierSum = 0;
        qint64 tierCount = 0;
        if (!tier.points.extentBetween(x0, x1, &tierLow, &tierHigh, &tierSum, &tierCount))
            continue;
        *low = any ? std::min(*low, tierLow) : tierLow;
        *high = any ? std::max(*high, tierHigh) : tierHigh;
        any = true;
        if (index == 0) {
            sum += tierSum;
            count += tierCount;
            continue;
        }
        for (const Sum &bucket : tier.sums) {
            if (bucket.start >= x0 && bucket.start <= x1) {
                sum += bucket.sum;
                count += bucket.count;
            }
        }
    }
    if (any)
        *mean = count ? sum / count : (*low + *high) / 2;
    return any;
}
