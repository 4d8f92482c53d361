#pragma once

#include <QObject>
#include <QPointer>

class QwtPlot;

// Many changes in one handler (two points a tick, a mode switch) are drawn
// once: request() schedules one replot on the next pass of the event loop.
class ReplotCoalescer : public QObject
{
public:
    explicit ReplotCoalescer(QwtPlot *plot);
    void request();

private:
    QPointer<QwtPlot> m_plot;
    bool m_pending = false;
};
