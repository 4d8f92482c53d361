#pragma once

#include "platform/Notifier.h"

#include <qwt_plot.h>

class ChartMouseModes;
class ChartStore;
class ChartZoomer;
class CursorDragger;
class QwtPlotMarker;
class QwtPlotPanner;

// The strip chart widget CWGraph1: both probes' pH against the time of day,
// with the zoomer, the panner, two crosshair cursors and their dragger, and
// the chart's own mouse gestures. Its time axis counts milliseconds (see
// ChartTime) and labels each position with its time of day; the "pH 2" axis
// always shows the range of the "pH 1" axis. It decides nothing: ChartGraph
// drives it.
class ChartPlot : public QwtPlot
{
    Q_OBJECT

public:
    explicit ChartPlot(QWidget *parent = nullptr);
    ~ChartPlot() override;

    // Draws plot 1 in green and plot 2 in red from the store, which must
    // outlive the widget.
    void showStore(const ChartStore &store);

    // Cursor 1 or 2; nullptr for any other index.
    QwtPlotMarker *cursor(int index) const;
    ChartZoomer *zoomer() const { return m_zoomer; }
    QwtPlotPanner *panner() const { return m_panner; }
    CursorDragger *dragger() const { return m_dragger; }
    ChartMouseModes *mouseModes() const { return m_mouseModes; }

    // Raised before every drawing, while the axes are still as they were set.
    Notifier<> aboutToReplot;

public slots:
    void replot() override;

private:
    QwtPlotMarker *m_cursors[2] = {};
    bool m_showsStore = false;
    ChartZoomer *m_zoomer = nullptr;
    QwtPlotPanner *m_panner = nullptr;
    CursorDragger *m_dragger = nullptr;
    ChartMouseModes *m_mouseModes = nullptr;
};
