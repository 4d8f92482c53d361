#include "ui/chart/ChartStore.h"

#include <algorithm>
#include <cmath>

bool ChartStore::append(int plot, double timeOfDay, double y, double *placed)
{
    if ((plot != 1 && plot != 2) || !std::isfinite(timeOfDay) || !std::isfinite(y))
        return false;
    const double x = m_timeBase.place(timeOfDay);
    if (!m_series[plot - 1].append(x, y))
        return false;
    if (placed)
        *placed = x;
    return true;
}

bool ChartStore::appendPlaced(int plot, double x, double y)
{
    if ((plot != 1 && plot != 2) || !std::isfinite(x))
        return false;
    return m_series[plot - 1].append(x, y);
}

double ChartStore::newestX() const
{
    const BoundedSeries &a = m_series[0];
    const BoundedSeries &b = m_series[1];
    if (a.isEmpty() || b.isEmpty())
        return a.isEmpty() ? b.newestX() : a.newestX();
    return std::max(a.newestX(), b.newestX());
}

bool ChartStore::spanX(double *lowest, double *highest) const
{
    double low[2] = {};
    double high[2] = {};
    const bool first = m_series[0].spanX(&low[0], &high[0]);
    const bool second = m_series[1].spanX(&low[1], &high[1]);
    if (!first || !second) {
        const int only = first ? 0 : 1;
        *lowest = low[only];
        *highest = high[only];
        return first || second;
    }
    *lowest = std::min(low[0], low[1]);
    *highest = std::max(high[0], high[1]);
    return true;
}

double ChartStore::oldestX() const
{
    const BoundedSeries &a = m_series[0];
    const BoundedSeries &b = m_series[1];
    if (a.isEmpty() || b.isEmpty())
        return a.isEmpty() ? b.oldestX() : a.oldestX();
    return std::min(a.oldestX(), b.oldestX());
}
