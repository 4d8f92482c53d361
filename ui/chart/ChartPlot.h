#pragma once

#include "platform/Notifier.h"

#include <QDate>
#include <qwt_plot.h>

class ChartMouseModes;
class ChartStore;
class ChartZoomer;
class CursorDragger;
class QwtPlotMarker;
class QwtPlotPanner;
class QwtPlotTextLabel;
class QComboBox;
class QMenu;
class QToolButton;

// The strip chart widget CWGraph1: both probes' pH against the time of day,
// with the zoomer, the panner, two crosshair cursors and their dragger, the
// chart's own mouse gestures, and the operator's choice of how much recent
// time it follows. Its time axis counts milliseconds (see
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
    // The choice of how much recent time to follow ("cmbFollow"), for the
    // window to place beside the chart's other controls.
    QComboBox *followChoice() const { return m_followChoice; }
    // "Export" ("cmdExport"), which opens the export menu; in cursor mode a
    // right click on the plot opens it too.
    QToolButton *exportButton() const { return m_exportButton; }
    QMenu *exportMenu() const { return m_exportMenu; }

    // The date of the time axis' 0, for the dates of day ticks.
    void setOriginDate(QDate date);

    // Shows the text in a box at the top left of the plot area; an empty
    // text takes the box away.
    void showMeasurement(const QString &text);
    QString measurementText() const;

    // Raised before every drawing, while the axes are still as they were set.
    Notifier<> aboutToReplot;

    // The operator chose how much recent time to follow, in days.
    Notifier<double> followWindowChosen;
    // Shows the window followed now among the choices, without a notification.
    void showFollowWindow(double days);

    // The operator chose to export the visible points, or the chart as drawn.
    Notifier<> exportPointsChosen;
    Notifier<> exportImageChosen;

public slots:
    void replot() override;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    QwtPlotMarker *m_cursors[2] = {};
    QwtPlotTextLabel *m_measurement = nullptr;
    bool m_showsStore = false;
    ChartZoomer *m_zoomer = nullptr;
    QwtPlotPanner *m_panner = nullptr;
    CursorDragger *m_dragger = nullptr;
    ChartMouseModes *m_mouseModes = nullptr;
    QComboBox *m_followChoice = nullptr;
    QMenu *m_exportMenu = nullptr;
    QToolButton *m_exportButton = nullptr;
};
