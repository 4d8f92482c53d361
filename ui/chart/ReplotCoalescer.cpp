#include "ui/chart/ReplotCoalescer.h"

#include <QTimer>
#include <qwt_plot.h>

ReplotCoalescer::ReplotCoalescer(QwtPlot *plot) : m_plot(plot)
{
}

void ReplotCoalescer::request()
{
    if (m_pending)
        return;
    m_pending = true;
    QTimer::singleShot(0, this, [this] {
        m_pending = false;
        if (m_plot)
            m_plot->replot();
    });
}
