#pragma once

#include "ui/chart/BoundedSeries.h"
#include "ui/chart/ContinuousTimeBase.h"

#include <QDate>

#include <vector>

// The points of the chart's plots, kept apart from the widget that draws
// them: plots 1 and 2 are the probes' pH, any further ones what their user
// makes of them. Times of day arrive as fractions of a day and are placed on
// a continuous time base, so the points after midnight follow those before it.
class ChartStore
{
public:
    // gapDays: a step in time longer than this breaks a plot's line.
    explicit ChartStore(int plots = 2, double gapDays = PlotSeries::DefaultGapDays);

    // A point of a plot; false when it is refused (no such plot, a value
    // that is not finite). *placed gets the X it was stored at.
    bool append(int plot, double timeOfDay, double y, double *placed = nullptr);

    // A point already placed: X in days since the midnight of originDate(),
    // as a log read back gives it. Refused as append() refuses.
    bool appendPlaced(int plot, double x, double y);

    // A point of plot 1 or 2, stored already, that carries no new reading
    // (the same one again): kept apart as well, so it can be told apart.
    bool appendRepeat(int plot, double x, double y);
    const BoundedSeries &repeats(int plot) const { return m_repeats[plot == 2 ? 1 : 0]; }

    int plotCount() const { return static_cast<int>(m_series.size()); }
    // Plot 1 for an index out of range.
    const BoundedSeries &series(int plot) const { return m_series[index(plot)]; }
    bool isEmpty() const;
    // The X of the newest and of the oldest point of any plot; 0 when empty.
    double newestX() const;
    double oldestX() const;
    // The lowest and highest X of any plot, whatever order the points came
    // in (a log's runs need not be in date order); false when empty.
    bool spanX(double *lowest, double *highest) const;

    // The date of X 0, once it is known: X counts days from its midnight.
    QDate originDate() const { return m_originDate; }
    void setOriginDate(QDate date) { m_originDate = date; }

    // Takes over the points of another store of as many plots, in constant
    // time: each series stays the object it is, so what draws it still does.
    void takePoints(ChartStore &&other);
    // The same, the other store getting these points: to be used again.
    void swapPoints(ChartStore &other);

private:
    size_t index(int plot) const
    {
        return plot >= 1 && plot <= plotCount() ? static_cast<size_t>(plot - 1) : 0;
    }

    QDate m_originDate;
    ContinuousTimeBase m_timeBase;
    std::vector<BoundedSeries> m_series;
    BoundedSeries m_repeats[2];
};
