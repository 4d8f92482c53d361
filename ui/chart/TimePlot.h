#pragma once

#include <QDate>
#include <QPen>
#include <qwt_plot.h>

class BoundedSeries;
class EnvelopeCurve;
class QwtLegend;

// A plot against the chart's time axis: milliseconds on the axis (see
// ChartTime), each position labelled with its time of day and, once the date
// of the axis' 0 is known, each midnight with the day it begins. White
// canvas, a dotted grid, and a legend above the plot in which a click on a
// trace's name hides it or shows it again (greyed while hidden).
class TimePlot : public QwtPlot
{
    Q_OBJECT

public:
    explicit TimePlot(QWidget *parent = nullptr);

    // The date of the time axis' 0, for the dates of day ticks.
    void setOriginDate(QDate date);

    // Draws the series (which must outlive the plot) against a Y axis, named
    // in the legend.
    EnvelopeCurve *addSeries(const BoundedSeries &series, const QString &title, const QPen &pen,
                             int yAxis = yLeft);

    // The legend's entry of an item, for a click on it.
    QWidget *legendEntry(const QwtPlotItem *item) const;
    // Shows each item's visibility in its legend entry; for items attached
    // or made visible since the legend was last drawn.
    void showVisibility();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QwtLegend *m_legend = nullptr;
};
