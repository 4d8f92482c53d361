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

double ChartStore::newestX() const
{
    const PlotSeries &a = m_series[0];
    const PlotSeries &b = m_series[1];
    if (a.size() == 0 || b.size() == 0)
        return a.size() ? a.lastX() : b.lastX();
    return std::max(a.lastX(), b.lastX());
}

double ChartStore::oldestX() const
{
    const PlotSeries &a = m_series[0];
    const PlotSeries &b = m_series[1];
    if (a.size() == 0 || b.size() == 0)
        return a.size() ? a.minimumX() : b.minimumX();
    return std::min(a.minimumX(), b.minimumX());
}
