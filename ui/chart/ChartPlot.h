#pragma once

#include "platform/Notifier.h"
#include "ui/chart/TimePlot.h"

class ChartMouseModes;
class ChartStore;
class ChartZoomer;
class MeasurementBox;
class CursorDragger;
class QwtPlotMarker;
class QwtPlotPanner;
class QwtPlotTextLabel;
class QComboBox;
class QMenu;
class QToolButton;

// The strip chart widget CWGraph1: both probes' pH against the time of day,
// with the zoomer, the panner, two crosshair cursors and their dragger, the
// chart's own mouse gestures, the operator's choice of how much recent time
// it follows and the "Live" button that follows it again, at the bottom
// right beside the time axis' caption. The "pH 2" axis shows the range of the "pH 1" axis,
// unless told it has a unit of its own. The cursors' measurement is shown in
// a box the operator can drag anywhere over the plot (MeasurementBox). It
// decides nothing: ChartGraph drives it.
class ChartPlot : public TimePlot
{
    Q_OBJECT

public:
    explicit ChartPlot(QWidget *parent = nullptr);
    ~ChartPlot() override;

    // Draws plot 1 (probe 1, green) and plot 2 (probe 2, red) from the
    // store, which must outlive the widget, and over each line a hollow ring
    // at each of its points that no new reading gave (ChartStore::repeats).
    void showStore(const ChartStore &store);
    // Names the rings in the legend, once there are any.
    void showRepeatsInLegend();
    // The look of each probe's line (1 or 2), here and in a review: probe 2
    // is drawn over probe 1 thinner and see-through, so where they read alike
    // both show.
    static QPen probePen(int probe);

    // Cursor 1 or 2; nullptr for any other index.
    QwtPlotMarker *cursor(int index) const;
    ChartZoomer *zoomer() const { return m_zoomer; }
    QwtPlotPanner *panner() const { return m_panner; }
    CursorDragger *dragger() const { return m_dragger; }
    ChartMouseModes *mouseModes() const { return m_mouseModes; }
    // The window places these beside the chart's other controls: the choice
    // of how much recent time to follow ("cmbFollow") and "Export"
    // ("cmdExport"; in cursor mode a right click on the plot opens its menu
    // too).
    QComboBox *followChoice() const { return m_followChoice; }
    QToolButton *exportButton() const { return m_exportButton; }
    QMenu *exportMenu() const { return m_exportMenu; }
    // "Live" ("cmdLive"), which the plot places itself.
    QToolButton *liveButton() const { return m_liveButton; }
    // The box of the cursors' measurement ("lblMeasurement"), on the canvas.
    MeasurementBox *measurementBox() const { return m_measurement; }

    // Whether the "pH 2" axis shows what "pH 1" shows (as it does unless set).
    void setRightAxisMirrored(bool mirrored) { m_mirrorRight = mirrored; }

    // Shows the measurement in its box; an empty text takes it away.
    void showMeasurement(const QString &text);
    QString measurementText() const;

    // Shows whether the time axis follows the present: "Live" pressed, or
    // not and a word over the plot that it shows the past. A chart that
    // gets no new points has no "Live".
    void showFollowing(bool following, bool growing);
    bool showsFollowing() const;

    // Plots that show more of the same time under this one (a review's
    // other units): exported with it.
    void setStackedBelow(const QList<QwtPlot *> &plots) { m_stackedBelow = plots; }
    QList<QwtPlot *> stackedBelow() const { return m_stackedBelow; }

    // What the chart is of, for the title of an exported picture: the
    // station unless told (a review names its logs).
    void setSubject(const QString &subject) { m_subject = subject; }
    QString subject() const { return m_subject; }

    // Raised before every drawing, while the axes are still as they were set.
    Notifier<> aboutToReplot;

    // The operator chose how much recent time to follow, in days.
    Notifier<double> followWindowChosen;
    // Shows the window followed now among the choices, without a notification.
    void showFollowWindow(double days);
    // The operator pressed "Live".
    Notifier<> liveChosen;

    // The operator chose to export the visible points, or the chart as drawn.
    Notifier<> exportPointsChosen;
    Notifier<> exportImageChosen;

public slots:
    void replot() override;
    void updateLayout() override;

protected:
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    QwtPlotMarker *m_cursors[2] = {};
    EnvelopeCurve *m_rings[2] = {};
    QwtPlotTextLabel *m_pastNotice = nullptr;
    bool m_showsStore = false;
    bool m_mirrorRight = true;
    QString m_subject;
    QList<QwtPlot *> m_stackedBelow;
    ChartZoomer *m_zoomer = nullptr;
    QwtPlotPanner *m_panner = nullptr;
    CursorDragger *m_dragger = nullptr;
    ChartMouseModes *m_mouseModes = nullptr;
    QComboBox *m_followChoice = nullptr;
    QMenu *m_exportMenu = nullptr;
    QToolButton *m_exportButton = nullptr;
    QToolButton *m_liveButton = nullptr;
    MeasurementBox *m_measurement = nullptr;
};
