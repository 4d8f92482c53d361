#pragma once

#include <qwt_plot_zoomer.h>

// The rubber-band zoom of the chart; says when the operator has zoomed all
// the way out again (right click, or zooming out step by step to the base),
// which is when the chart goes back to following the newest points.
class ChartZoomer : public QwtPlotZoomer
{
    Q_OBJECT

public:
    explicit ChartZoomer(QWidget *canvas);

    using QwtPlotZoomer::zoom;
    void zoom(int offset) override;

signals:
    void backAtBase();
};
