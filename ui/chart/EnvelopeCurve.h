#pragma once

#include <QPen>
#include <qwt_plot_item.h>

class BoundedSeries;

// Draws a BoundedSeries through its per-column envelope, so a redraw costs
// about the width of the canvas however many points the series holds.
class EnvelopeCurve : public QwtPlotItem
{
public:
    EnvelopeCurve(const QString &title, const QPen &pen, const BoundedSeries &series);

    int rtti() const override;
    void draw(QPainter *painter, const QwtScaleMap &xMap, const QwtScaleMap &yMap,
              const QRectF &canvasRect) const override;

    QPen pen() const { return m_pen; }

private:
    QPen m_pen;
    const BoundedSeries &m_series;
};
