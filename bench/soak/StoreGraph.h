#pragma once

#include "platform/Graph.h"
#include "ui/chart/PlotSeries.h"

#include <QMap>

#include <map>

// The chart without a screen: every point goes into the chart's own point
// store, so the soak carries the memory a month of plotting really takes.
class StoreGraph : public Graph
{
public:
    void appendPoint(int plot, double x, double y) override { m_series[plot].append(x, y); }
    void setAxisRange(int axis, double minimum, double maximum) override
    {
        m_ranges[axis] = {minimum, maximum};
    }
    double axisMinimum(int axis) const override { return m_ranges.value(axis).first; }
    double axisMaximum(int axis) const override { return m_ranges.value(axis).second; }
    void setInteractionMode(int) override { }
    void setCursorVisible(int, bool) override { }
    void setCursorX(int, double) override { }
    void setCursorY(int, double) override { }
    double cursorX(int) const override { return 0; }
    double cursorY(int) const override { return 0; }

    qint64 points() const
    {
        qint64 total = 0;
        for (const auto &[plot, series] : m_series)
            total += series.size();
        return total;
    }
    qint64 bytesUsed() const
    {
        qint64 total = 0;
        for (const auto &[plot, series] : m_series)
            total += series.bytesUsed();
        return total;
    }

private:
    std::map<int, PlotSeries> m_series;
    QMap<int, QPair<double, double>> m_ranges{{1, {0, 20}}, {2, {0, 15}}, {3, {0, 15}}};
};
