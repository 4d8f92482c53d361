#pragma once

#include <QPen>
#include <qwt_plot_item.h>

class PlotSeries;

// Draws a PlotSeries through its per-column envelope, so a redraw costs
// about the width of the canvas however many points the series holds.
class EnvelopeCurve : public QwtPlotItem
{
public:
    EnvelopeCurve(const QString &title, const QPen &pen, const PlotSeries &series);

    int rtti() const override;
    void draw(QPainter *painter, const QwtScaleMap &xMap, const QwtScaleMap &yMap,
              const QRectF &canvasRect) const override;
    QRectF boundingRect() const override;

    QPen pen() const { return m_pen; }

private:
    QPen m_pen;
    const PlotSeries &m_series;
};
