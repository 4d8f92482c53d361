#include "ui/chart/ChartZoomer.h"

ChartZoomer::ChartZoomer(QWidget *canvas) : QwtPlotZoomer(canvas, false)
{
    setTrackerMode(QwtPicker::AlwaysOff);
    setRubberBand(QwtPicker::RectRubberBand);
}

void ChartZoomer::zoom(const QRectF &rect)
{
    QwtPlotZoomer::zoom(rect);
    if (zoomRectIndex() > 0)
        zoomedIn.notify();
}

void ChartZoomer::zoom(int offset)
{
    QwtPlotZoomer::zoom(offset);
    if (zoomRectIndex() > 0)
        zoomedIn.notify();
    else if (offset <= 0)
        backAtBase.notify();
}
