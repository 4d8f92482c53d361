#pragma once

#include <QPen>
#include <qwt_plot_item.h>

class BoundedSeries;

// Draws a BoundedSeries through its per-column envelope, so a redraw costs
// about the width of the canvas however many points the series holds: as a
// line, or as a hollow ring at each point (no more than one a few pixels).
// It has its entry in the plot's legend.
class EnvelopeCurve : public QwtPlotItem
{
public:
    enum Style { Line, Rings };

    EnvelopeCurve(const QString &title, const QPen &pen, const BoundedSeries &series);

    int rtti() const override;
    void draw(QPainter *painter, const QwtScaleMap &xMap, const QwtScaleMap &yMap,
              const QRectF &canvasRect) const override;
    QwtGraphic legendIcon(int index, const QSizeF &size) const override;

    QPen pen() const { return m_pen; }
    void setPen(const QPen &pen) { m_pen = pen; }
    void setStyle(Style style) { m_style = style; }
    Style style() const { return m_style; }
    const BoundedSeries &series() const { return m_series; }

private:
    QPen m_pen;
    const BoundedSeries &m_series;
    Style m_style = Line;
};
