#include "ui/chart/ChartStore.h"

#include <algorithm>
#include <cmath>
#include <utility>

ChartStore::ChartStore(int plots, double gapDays)
{
    m_series.reserve(static_cast<size_t>(std::max(plots, 1)));
    for (int plot = 0; plot < std::max(plots, 1); ++plot)
        m_series.emplace_back(gapDays);
}

bool ChartStore::append(int plot, double timeOfDay, double y, double *placed)
{
    if (plot < 1 || plot > plotCount() || !std::isfinite(timeOfDay) || !std::isfinite(y))
        return false;
    const double x = m_timeBase.place(timeOfDay);
    if (!m_series[index(plot)].append(x, y))
        return false;
    if (placed)
        *placed = x;
    return true;
}

bool ChartStore::appendPlaced(int plot, double x, double y)
{
    if (plot < 1 || plot > plotCount() || !std::isfinite(x))
        return false;
    return m_series[index(plot)].append(x, y);
}

bool ChartStore::appendRepeat(int plot, double x, double y)
{
    if ((plot != 1 && plot != 2) || !std::isfinite(x))
        return false;
    return m_repeats[plot - 1].append(x, y);
}

bool ChartStore::isEmpty() const
{
    return std::all_of(m_series.begin(), m_series.end(),
                       [](const BoundedSeries &series) { return series.isEmpty(); });
}

double ChartStore::newestX() const
{
    bool any = false;
    double newest = 0;
    for (const BoundedSeries &series : m_series) {
        if (series.isEmpty())
            continue;
        newest = any ? std::max(newest, series.newestX()) : series.newestX();
        any = true;
    }
    return newest;
}

double ChartStore::oldestX() const
{
    bool any = false;
    double oldest = 0;
    for (const BoundedSeries &series : m_series) {
        if (series.isEmpty())
            continue;
        oldest = any ? std::min(oldest, series.oldestX()) : series.oldestX();
        any = true;
    }
    return oldest;
}

bool ChartStore::spanX(double *lowest, double *highest) const
{
    bool any = false;
    for (const BoundedSeries &series : m_series) {
        double low = 0;
        double high = 0;
        if (!series.spanX(&low, &high))
            continue;
        *lowest = any ? std::min(*lowest, low) : low;
        *highest = any ? std::max(*highest, high) : high;
        any = true;
    }
    return any;
}

void ChartStore::swapPoints(ChartStore &other)
{
    const size_t plots = std::min(m_series.size(), other.m_series.size());
    for (size_t plot = 0; plot < plots; ++plot)
        std::swap(m_series[plot], other.m_series[plot]);
    std::swap(m_repeats, other.m_repeats);
    if (other.m_originDate.isValid())
        m_originDate = other.m_originDate;
    std::swap(m_timeBase, other.m_timeBase);
}

void ChartStore::takePoints(ChartStore &&other)
{
    const size_t plots = std::min(m_series.size(), other.m_series.size());
    for (size_t plot = 0; plot < plots; ++plot)
        m_series[plot] = std::move(other.m_series[plot]);
    for (size_t probe = 0; probe < 2; ++probe)
        m_repeats[probe] = std::move(other.m_repeats[probe]);
    if (other.m_originDate.isValid())
        m_originDate = other.m_originDate;
    m_timeBase = other.m_timeBase;
}
