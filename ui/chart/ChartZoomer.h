#pragma once

#include "platform/Notifier.h"

#include <qwt_plot_zoomer.h>

// The rubber-band zoom of the chart; says when the operator has zoomed in,
// and when all the way out again (right click, or zooming out step by step
// to the base), which is when the chart goes back to following.
class ChartZoomer : public QwtPlotZoomer
{
    Q_OBJECT

public:
    explicit ChartZoomer(QWidget *canvas);
    void zoom(const QRectF &rect) override;
    void zoom(int offset) override;

    Notifier<> zoomedIn;
    Notifier<> backAtBase;
};
