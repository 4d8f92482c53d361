#include "ui/chart/ChartPlot.h"

#include "platform/Graph.h"
#include "ui/chart/ChartFollow.h"
#include "ui/chart/ChartMouseModes.h"
#include "ui/chart/ChartStore.h"
#include "ui/chart/ChartTime.h"
#include "ui/chart/ChartZoomer.h"
#include "ui/chart/CursorDragger.h"
#include "ui/chart/EnvelopeCurve.h"

#include <QComboBox>
#include <QContextMenuEvent>
#include <QMenu>
#include <QToolButton>
#include <qwt_date_scale_draw.h>
#include <qwt_date_scale_engine.h>
#include <qwt_plot_canvas.h>
#include <qwt_plot_grid.h>
#include <qwt_plot_marker.h>
#include <qwt_plot_panner.h>
#include <qwt_plot_textlabel.h>
#include <qwt_text.h>

#include <algorithm>
#include <utility>

namespace {

// Time-of-day labels at every tick spacing; below a second the milliseconds
// tell the ticks apart. Once the date of the chart's first day is known, ticks
// a day or more apart show the date they stand at.
class ChartScaleDraw : public QwtDateScaleDraw
{
public:
    // UTC: the axis counts from a fixed midnight, never shifted by daylight saving.
    ChartScaleDraw() : QwtDateScaleDraw(Qt::UTC)
    {
        // Minutes and longer need no seconds: shorter labels stay apart.
        for (int type = QwtDate::Minute; type <= QwtDate::Year; ++type)
            setDateFormat(static_cast<QwtDate::IntervalType>(type), QStringLiteral("hh:mm"));
        setDateFormat(QwtDate::Second, QStringLiteral("hh:mm:ss"));
        setDateFormat(QwtDate::Millisecond, QStringLiteral("hh:mm:ss.zzz"));
    }

    void setOrigin(QDate date)
    {
        if (!date.isValid())
            return;
        m_originMs = QDateTime(date, QTime(0, 0), Qt::UTC).toMSecsSinceEpoch();
        m_dated = true;
        setDateFormat(QwtDate::Day, QStringLiteral("ddd d MMM"));
        // Week and month ticks fall on whole days, not on week or month starts.
        setDateFormat(QwtDate::Week, QStringLiteral("d MMM"));
        setDateFormat(QwtDate::Month, QStringLiteral("d MMM"));
        setDateFormat(QwtDate::Year, QStringLiteral("d MMM yyyy"));
        invalidateCache();
    }

    QwtText label(double value) const override
    {
        const QDateTime at = QwtDate::toDateTime(value + m_originMs, Qt::UTC);
        // A midnight among times of day says which day begins there.
        if (m_dated && at.time() == QTime(0, 0))
            return at.toString(dateFormat(QwtDate::Day));
        return QwtDate::toString(at, dateFormatOfDate(at, intervalType(scaleDiv())), week0Type());
    }

private:
    double m_originMs = 0;
    bool m_dated = false;
};

QwtPlotMarker *makeCursor(const QString &title, const QColor &colour, Qt::PenStyle style)
{
    auto *marker = new QwtPlotMarker(title);
    marker->setLineStyle(QwtPlotMarker::Cross);
    marker->setLinePen(colour, 1, style);
    marker->setZ(30);
    marker->setVisible(false);
    return marker;
}

} // namespace

ChartPlot::ChartPlot(QWidget *parent) : QwtPlot(parent)
{
    setObjectName(QStringLiteral("CWGraph1"));
    setCanvasBackground(Qt::white);
    // Every repaint draws afresh: the envelope is cheap, and a cached canvas
    // would go stale between a change and its deferred replot.
    if (auto *plotCanvas = qobject_cast<QwtPlotCanvas *>(canvas()))
        plotCanvas->setPaintAttribute(QwtPlotCanvas::BackingStore, false);

    setAxisTitle(xBottom, QStringLiteral("Time"));
    setAxisTitle(yLeft, QStringLiteral("pH 1"));
    setAxisTitle(yRight, QStringLiteral("pH 2"));
    enableAxis(yRight);
    setAxisScaleEngine(xBottom, new QwtDateScaleEngine(Qt::UTC));
    setAxisScaleDraw(xBottom, new ChartScaleDraw);
    setAxisLabelRotation(xBottom, 0);
    setAxisScale(xBottom, 0, ChartTime::toAxis(ChartFollow::DefaultWindow));
    setAxisScale(yLeft, 0, 15);
    setAxisScale(yRight, 0, 15);

    auto *grid = new QwtPlotGrid;
    grid->setMajorPen(QColor(220, 220, 220), 0, Qt::DotLine);
    grid->attach(this);

    m_cursors[0] = makeCursor(QStringLiteral("Cursor-1"), QColor(0, 0, 200), Qt::SolidLine);
    m_cursors[1] = makeCursor(QStringLiteral("Cursor-2"), QColor(200, 100, 0), Qt::DashLine);
    for (QwtPlotMarker *marker : m_cursors)
        marker->attach(this);

    m_measurement = new QwtPlotTextLabel;
    m_measurement->setZ(40);
    m_measurement->setMargin(6);
    m_measurement->attach(this);

    updateAxes();
    m_zoomer = new ChartZoomer(canvas());
    m_zoomer->setZoomBase(false);
    m_panner = new QwtPlotPanner(canvas());
    // Only the "pH 1" axis pans; the "pH 2" axis follows it at each drawing.
    m_panner->setAxisEnabled(yRight, false);
    m_panner->setAxisEnabled(xTop, false);
    m_panner->setMouseButton(Qt::LeftButton);
    m_dragger = new CursorDragger(this, m_cursors[0], m_cursors[1]);
    m_mouseModes = new ChartMouseModes(canvas());

    // The window places it where the operator finds the chart's controls.
    m_followChoice = new QComboBox(this);
    m_followChoice->setObjectName(QStringLiteral("cmbFollow"));
    m_followChoice->setToolTip(QStringLiteral("How much recent time the chart follows"));
    for (const auto &[text, minutes] : {std::pair{"Last 10 min", 10}, std::pair{"Last 1 h", 60},
                                        std::pair{"Last 8 h", 480}, std::pair{"Last 24 h", 1440}})
        m_followChoice->addItem(QString::fromLatin1(text), minutes / (24.0 * 60));
    m_followChoice->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    connect(m_followChoice, QOverload<int>::of(&QComboBox::activated), this, [this](int index) {
        followWindowChosen.notify(m_followChoice->itemData(index).toDouble());
    });

    m_exportMenu = new QMenu(this);
    m_exportMenu->addAction(QStringLiteral("Export Visible Points as CSV..."), this,
                            [this] { exportPointsChosen.notify(); });
    m_exportMenu->addAction(QStringLiteral("Export Chart as PNG, SVG or PDF..."), this,
                            [this] { exportImageChosen.notify(); });
    m_exportButton = new QToolButton(this);
    m_exportButton->setObjectName(QStringLiteral("cmdExport"));
    m_exportButton->setText(QStringLiteral("Export"));
    m_exportButton->setToolTip(QStringLiteral("Save the visible points or the chart to a file"));
    m_exportButton->setMenu(m_exportMenu);
    m_exportButton->setPopupMode(QToolButton::InstantPopup);
}

void ChartPlot::contextMenuEvent(QContextMenuEvent *event)
{
    // A right click zooms out in zoom mode and follows again in pan mode.
    if (m_mouseModes->mode() != Graph::CursorMode)
        return;
    m_exportMenu->exec(event->globalPos());
}

void ChartPlot::showFollowWindow(double days)
{
    for (int i = 0; i < m_followChoice->count(); ++i)
        if (qFuzzyCompare(m_followChoice->itemData(i).toDouble(), days))
            m_followChoice->setCurrentIndex(i);
}

void ChartPlot::resizeEvent(QResizeEvent *event)
{
    QwtPlot::resizeEvent(event);
    // As many labels as stay apart at this size.
    setAxisMaxMajor(xBottom, std::max(2, canvas()->width() / 110));
    for (const int axis : {yLeft, yRight})
        setAxisMaxMajor(axis, std::max(2, canvas()->height() / 28));
}

ChartPlot::~ChartPlot()
{
    // Hiding the canvas during QWidget's destruction still sends it events:
    // nothing that looks at them may be left half destroyed by then.
    delete m_mouseModes;
    delete m_dragger;
}

void ChartPlot::showStore(const ChartStore &store)
{
    if (m_showsStore)
        return;
    m_showsStore = true;
    const QColor colours[2] = {QColor(0, 160, 0), QColor(220, 0, 0)};
    for (int plot = 1; plot <= 2; ++plot) {
        auto *curve = new EnvelopeCurve(QStringLiteral("Plot-%1").arg(plot),
                                        QPen(colours[plot - 1], 1), store.series(plot));
        curve->attach(this);
    }
}

void ChartPlot::setOriginDate(QDate date)
{
    static_cast<ChartScaleDraw *>(axisScaleDraw(xBottom))->setOrigin(date);
    updateAxes();
}

void ChartPlot::showMeasurement(const QString &text)
{
    if (text == measurementText())
        return;
    QwtText label(text, QwtText::PlainText);
    label.setRenderFlags(Qt::AlignLeft | Qt::AlignTop);
    label.setBackgroundBrush(QColor(255, 255, 255, 225));
    label.setBorderPen(QPen(QColor(160, 160, 160)));
    label.setBorderRadius(2);
    m_measurement->setText(label);
}

QString ChartPlot::measurementText() const
{
    return m_measurement->text().text();
}

QwtPlotMarker *ChartPlot::cursor(int index) const
{
    return index == 1 || index == 2 ? m_cursors[index - 1] : nullptr;
}

void ChartPlot::replot()
{
    aboutToReplot.notify();
    // A zoom or a pan has only asked for its new "pH 1" range so far: the
    // scale it gives comes from updateAxes(), and "pH 2" follows that.
    updateAxes();
    const QwtScaleDiv &ph1 = axisScaleDiv(yLeft);
    if (axisScaleDiv(yRight).interval() != ph1.interval())
        setAxisScale(yRight, ph1.lowerBound(), ph1.upperBound());
    QwtPlot::replot();
}
