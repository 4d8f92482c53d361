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

double ChartStore::oldestX() const
{
    const BoundedSeries &a = m_series[0];
    const BoundedSeries &b = m_series[1];
    if (a.isEmpty() || b.isEmpty())
        return a.isEmpty() ? b.oldestX() : a.oldestX();
    return std::min(a.oldestX(), b.oldestX());
}
