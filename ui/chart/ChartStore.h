#pragma once

#include "ui/chart/BoundedSeries.h"
#include "ui/chart/ContinuousTimeBase.h"

#include <QDate>

// The points of both plots, kept apart from the widget that draws them.
// Times of day arrive as fractions of a day and are placed on a continuous
// time base, so the points after midnight follow those before it.
class ChartStore
{
public:
    // A point of plot 1 or 2; false when it is refused (another plot, a
    // value that is not finite). *placed gets the X it was stored at.
    bool append(int plot, double timeOfDay, double y, double *placed = nullptr);

    // A point already placed: X in days since the midnight of originDate(),
    // as a log read back gives it. Refused as append() refuses.
    bool appendPlaced(int plot, double x, double y);

    const BoundedSeries &series(int plot) const { return m_series[plot == 2 ? 1 : 0]; }
    bool isEmpty() const { return m_series[0].isEmpty() && m_series[1].isEmpty(); }
    // The X of the newest and of the oldest point of either plot; 0 when empty.
    double newestX() const;
    double oldestX() const;
    // The lowest and highest X of either plot, whatever order the points
    // came in (a log's runs need not be in date order); false when empty.
    bool spanX(double *lowest, double *highest) const;

    // The date of X 0, once it is known: X counts days from its midnight.
    QDate originDate() const { return m_originDate; }
    void setOriginDate(QDate date) { m_originDate = date; }

private:
    QDate m_originDate;
    ContinuousTimeBase m_timeBase;
    BoundedSeries m_series[2];
};
