#include "ui/chart/ChartZoomer.h"

ChartZoomer::ChartZoomer(QWidget *canvas) : QwtPlotZoomer(canvas, false)
{
    setTrackerMode(QwtPicker::AlwaysOff);
    setRubberBand(QwtPicker::RectRubberBand);
}

void ChartZoomer::zoom(int offset)
{
    QwtPlotZoomer::zoom(offset);
    if (offset <= 0 && zoomRectIndex() == 0)
        emit backAtBase();
}
