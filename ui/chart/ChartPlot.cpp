#include "ui/chart/ChartPlot.h"

#include "platform/Graph.h"
#include "ui/chart/ChartFollow.h"
#include "ui/chart/ChartMouseModes.h"
#include "ui/chart/ChartStore.h"
#include "ui/chart/ChartTime.h"
#include "ui/chart/ChartZoomer.h"
#include "ui/chart/CursorDragger.h"
#include "ui/chart/EnvelopeCurve.h"
#include "ui/chart/MeasurementBox.h"

#include <QComboBox>
#include <QContextMenuEvent>
#include <QMenu>
#include <QSysInfo>
#include <QToolButton>
#include <qwt_plot_marker.h>
#include <qwt_plot_panner.h>
#include <qwt_plot_textlabel.h>
#include <qwt_scale_div.h>
#include <qwt_text.h>

#include <algorithm>
#include <utility>

namespace {

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

ChartPlot::ChartPlot(QWidget *parent) : TimePlot(parent)
{
    setObjectName(QStringLiteral("CWGraph1"));
    setAxisTitle(xBottom, QStringLiteral("Time"));
    setAxisTitle(yLeft, QStringLiteral("pH 1"));
    setAxisTitle(yRight, QStringLiteral("pH 2"));
    enableAxis(yRight);
    setAxisScale(xBottom, 0, ChartTime::toAxis(ChartFollow::DefaultWindow));
    setAxisScale(yLeft, 0, 15);
    setAxisScale(yRight, 0, 15);
    m_subject = QStringLiteral("Station %1").arg(QSysInfo::machineHostName());

    m_cursors[0] = makeCursor(QStringLiteral("Cursor-1"), QColor(0, 0, 200), Qt::SolidLine);
    m_cursors[1] = makeCursor(QStringLiteral("Cursor-2"), QColor(200, 100, 0), Qt::DashLine);
    for (QwtPlotMarker *marker : m_cursors)
        marker->attach(this);

    // Over the plot while it shows the past, at the bottom right, where the
    // newest points would be, beside "Live".
    m_pastNotice = new QwtPlotTextLabel;
    m_pastNotice->setZ(40);
    m_pastNotice->setMargin(4);
    QwtText notice(QStringLiteral("Not following the present"), QwtText::PlainText);
    notice.setRenderFlags(Qt::AlignRight | Qt::AlignBottom);
    notice.setColor(QColor(150, 80, 0));
    notice.setBackgroundBrush(QColor(255, 240, 200, 230));
    notice.setBorderPen(QPen(QColor(220, 150, 40)));
    notice.setBorderRadius(2);
    m_pastNotice->setText(notice);
    m_pastNotice->setVisible(false);
    m_pastNotice->attach(this);

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

    m_liveButton = new QToolButton(this);
    m_liveButton->setObjectName(QStringLiteral("cmdLive"));
    m_liveButton->setCheckable(true);
    m_liveButton->setAutoRaise(true);
    m_liveButton->setToolButtonStyle(Qt::ToolButtonTextOnly);
    connect(m_liveButton, &QToolButton::clicked, this, [this] {
        // It stays pressed while following: the chart says when it is not.
        m_liveButton->setChecked(showsFollowing());
        liveChosen.notify();
    });
    showFollowing(true, true);
    m_measurement = new MeasurementBox(canvas());
}

void ChartPlot::updateLayout()
{
    TimePlot::updateLayout();
    if (!m_liveButton)
        return; // while the plot is being built
    // At the bottom right, beside "Time", under the newest points: it takes
    // no room from the plot.
    const QSize button = m_liveButton->sizeHint();
    m_liveButton->setGeometry(width() - button.width() - 2, height() - button.height() - 1,
                              button.width(), button.height());
}

QPen ChartPlot::probePen(int probe)
{
    if (probe == 2)
        return QPen(QColor(220, 0, 0, 170), 1.2);
    return QPen(QColor(0, 160, 0), 2);
}

void ChartPlot::showFollowing(bool following, bool growing)
{
    m_liveButton->setVisible(growing);
    m_liveButton->setChecked(following);
    m_liveButton->setText(following ? QStringLiteral("\u25CF Live") : QStringLiteral("Live"));
    m_liveButton->setToolTip(following ? QStringLiteral("The chart follows the newest points")
                                       : QStringLiteral("The chart shows the past: click to follow "
                                                        "the newest points again"));
    m_liveButton->setStyleSheet(following ? QStringLiteral("QToolButton { color: #087a08; }")
                                          : QStringLiteral("QToolButton { color: #9a5000; "
                                                           "font-weight: bold; }"));
    const bool past = growing && !following;
    if (m_pastNotice->isVisible() != past) {
        m_pastNotice->setVisible(past);
        replot();
    }
}

bool ChartPlot::showsFollowing() const
{
    return !m_pastNotice->isVisible();
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
    for (int probe = 1; probe <= 2; ++probe) {
        EnvelopeCurve *curve = addSeries(store.series(probe),
                                         QStringLiteral("Probe %1 pH").arg(probe), probePen(probe));
        curve->setZ(curve->z() + probe);
    }
    for (int probe = 1; probe <= 2; ++probe) {
        QColor colour = probePen(probe).color();
        colour.setAlpha(255);
        m_rings[probe - 1] = addSeries(store.repeats(probe), QStringLiteral("No new reading"),
                                       QPen(colour.darker(115), 1.2));
        m_rings[probe - 1]->setStyle(EnvelopeCurve::Rings);
        m_rings[probe - 1]->setZ(m_rings[probe - 1]->z() + 3);
        m_rings[probe - 1]->setItemAttribute(QwtPlotItem::Legend, false);
    }
    showVisibility();
}

void ChartPlot::showRepeatsInLegend()
{
    // One entry stands for the rings of both probes; hiding it hides both.
    if (!m_rings[0] || m_rings[0]->testItemAttribute(QwtPlotItem::Legend))
        return;
    m_rings[0]->setItemAttribute(QwtPlotItem::Legend, true);
    showVisibility();
}

void ChartPlot::showMeasurement(const QString &text)
{
    const auto across = [this](const QwtPlotMarker *cursor) {
        const double left = transform(xBottom, axisScaleDiv(xBottom).lowerBound());
        const double right = transform(xBottom, axisScaleDiv(xBottom).upperBound());
        return right > left ? (transform(xBottom, cursor->xValue()) - left) / (right - left) : 0;
    };
    m_measurement->show(text, across(m_cursors[0]), across(m_cursors[1]));
}

QString ChartPlot::measurementText() const
{
    return m_measurement->isVisibleTo(canvas()) ? m_measurement->text() : QString();
}

QwtPlotMarker *ChartPlot::cursor(int index) const
{
    return index == 1 || index == 2 ? m_cursors[index - 1] : nullptr;
}

void ChartPlot::replot()
{
    if (m_rings[0] && m_rings[1])
        m_rings[1]->setVisible(m_rings[0]->isVisible());
    aboutToReplot.notify();
    // A zoom or a pan has only asked for its new "pH 1" range so far: the
    // scale it gives comes from updateAxes(), and "pH 2" follows that.
    updateAxes();
    const QwtScaleDiv &ph1 = axisScaleDiv(yLeft);
    if (m_mirrorRight && axisScaleDiv(yRight).interval() != ph1.interval())
        setAxisScale(yRight, ph1.lowerBound(), ph1.upperBound());
    TimePlot::replot();
}
