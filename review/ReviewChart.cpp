#include "review/ReviewChart.h"

#include "review/LogColumns.h"
#include "ui/chart/ChartGraph.h"
#include "ui/chart/ChartPlot.h"
#include "ui/chart/ChartStore.h"
#include "ui/chart/ChartTime.h"
#include "ui/chart/EnvelopeCurve.h"

#include <QHelpEvent>
#include <QToolTip>
#include <QVBoxLayout>
#include <qwt_plot_canvas.h>
#include <qwt_plot_marker.h>
#include <qwt_scale_div.h>
#include <qwt_scale_draw.h>
#include <qwt_scale_widget.h>

#include <cmath>
#include <limits>

namespace {

using LogColumns::Unit;

QString axisTitle(Unit unit)
{
    switch (unit) {
    case Unit::Ph: return QStringLiteral("pH");
    case Unit::Millivolts: return QStringLiteral("Millivolts (mV)");
    case Unit::Celsius:
        return QString::fromUtf8("Temperature (\xc2\xb0"
                                 "C)");
    case Unit::LitresPerMinute: return QStringLiteral("Flow (L/min)");
    case Unit::Hertz: return QStringLiteral("Flow (Hz)");
    case Unit::Litres: return QStringLiteral("Total (L)");
    }
    return {};
}

QPen penOf(int column)
{
    switch (column) {
    case LogColumns::Probe1pH:
    case LogColumns::Probe1mV: return ChartPlot::probePen(1);
    case LogColumns::Probe2pH:
    case LogColumns::Probe2mV: return ChartPlot::probePen(2);
    case LogColumns::Therm1: return QPen(QColor(0, 90, 210), 1.5);
    case LogColumns::Therm2: return QPen(QColor(150, 0, 170), 1.5);
    case LogColumns::Therm3: return QPen(QColor(0, 140, 140), 1.5);
    case LogColumns::FlowLpm: return QPen(QColor(150, 90, 0), 1.5);
    case LogColumns::FlowHz: return QPen(QColor(230, 120, 0), 1.5);
    default: return QPen(QColor(70, 70, 70), 1.5);
    }
}

QwtPlotMarker *cursorLine(const QwtPlotMarker *like)
{
    auto *line = new QwtPlotMarker;
    line->setLineStyle(QwtPlotMarker::VLine);
    line->setLinePen(like->linePen());
    line->setZ(like->z());
    line->setVisible(false);
    return line;
}

} // namespace

struct ReviewChart::Stacked
{
    TimePlot *plot = nullptr;
    QwtPlotMarker *cursors[2] = {};
    bool mirrorRight = true; // no second unit: the right axis shows the left's range
};

ReviewChart::ReviewChart(ChartPlot *first, const ChartStore &store, QWidget *parent)
    : QWidget(parent)
    , m_first(first)
    , m_store(store)
    , m_layout(new QVBoxLayout(this))
{
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);
    m_layout->addWidget(m_first, 3);
    addBands(m_first);
    m_first->canvas()->installEventFilter(this);
    connect(m_first->axisWidget(QwtPlot::xBottom), &QwtScaleWidget::scaleDivChanged, this,
            [this] { followTimeAxis(); });
}

ReviewChart::~ReviewChart()
{
    m_first->canvas()->removeEventFilter(this);
    clearStacked();
}

void ReviewChart::addBands(TimePlot *plot)
{
    for (const auto kind : {JournalStretch::Kind::Failing, JournalStretch::Kind::Intermittent,
                            JournalStretch::Kind::Alarm}) {
        // Named in the first plot's legend alone.
        auto *bands = new JournalBands(kind, plot == m_first);
        bands->attach(plot);
        bands->setStretches(m_journal, m_store.newestX());
        m_bands.push_back(bands);
    }
}

void ReviewChart::setPreview(std::shared_ptr<const ChartStore> preview)
{
    clearPreview();
    m_preview = std::move(preview);
    if (!m_preview)
        return;
    for (int column = 0; column < LogColumns::Count; ++column) {
        const EnvelopeCurve *shown = m_curves[column];
        if (!shown)
            continue;
        QColor colour = shown->pen().color();
        colour.setAlpha(90);
        auto *curve = new EnvelopeCurve(QStringLiteral("Sampled"), QPen(colour, 1, Qt::DotLine),
                                        m_preview->series(LogColumns::plotOf(column)));
        curve->setItemAttribute(QwtPlotItem::Legend, false);
        curve->setYAxis(shown->yAxis());
        curve->setZ(shown->z() - 1);
        curve->attach(shown->plot());
        m_previewCurves.emplace_back(column, curve);
    }
}

void ReviewChart::clearPreview()
{
    for (const auto &[column, curve] : m_previewCurves) {
        curve->detach();
        delete curve;
    }
    m_previewCurves.clear();
    m_preview.reset();
}

bool ReviewChart::spanX(double *first, double *last) const
{
    double previewFirst = 0;
    double previewLast = 0;
    const bool points = m_store.spanX(first, last);
    if (!m_preview || !m_preview->spanX(&previewFirst, &previewLast))
        return points;
    *first = points ? std::min(*first, previewFirst) : previewFirst;
    *last = points ? std::max(*last, previewLast) : previewLast;
    return true;
}

void ReviewChart::clearStacked()
{
    clearPreview();
    for (auto &stacked : m_stacked) {
        stacked->plot->canvas()->removeEventFilter(this);
        for (QwtPlotItem *item : stacked->plot->itemList())
            m_bands.erase(std::remove(m_bands.begin(), m_bands.end(), item), m_bands.end());
        delete stacked->plot;
    }
    m_stacked.clear();
    for (EnvelopeCurve *curve : m_firstCurves) {
        curve->detach();
        delete curve;
    }
    m_firstCurves.clear();
    std::fill(std::begin(m_curves), std::end(m_curves), nullptr);
}

TimePlot *ReviewChart::plotAt(int index) const
{
    return index == 0 ? m_first : m_stacked[static_cast<size_t>(index - 1)]->plot;
}

QList<TimePlot *> ReviewChart::stackedPlots() const
{
    QList<TimePlot *> plots;
    for (const auto &stacked : m_stacked)
        plots << stacked->plot;
    return plots;
}

EnvelopeCurve *ReviewChart::curveOf(int column) const
{
    return column >= 0 && column < LogColumns::Count ? m_curves[column] : nullptr;
}

void ReviewChart::setColumns(unsigned columns)
{
    clearStacked();
    m_columns = columns;
    std::vector<Unit> units;
    for (int column = 0; column < LogColumns::Count; ++column)
        if (columns & LogColumns::bit(column))
            units.push_back(LogColumns::unitOf(column));
    std::sort(units.begin(), units.end());
    units.erase(std::unique(units.begin(), units.end()), units.end());
    const auto placeOf = [&units](int column) {
        return static_cast<int>(std::find(units.begin(), units.end(), LogColumns::unitOf(column)) -
                                units.begin());
    };

    const int plots = std::max(1, static_cast<int>(units.size() + 1) / 2);
    for (int index = 1; index < plots; ++index) {
        auto stacked = std::make_unique<Stacked>();
        stacked->plot = new TimePlot(this);
        stacked->plot->setMinimumHeight(140);
        stacked->plot->setOriginDate(m_store.originDate());
        stacked->plot->enableAxis(QwtPlot::yRight);
        stacked->plot->setAxisTitle(QwtPlot::yLeft, axisTitle(units[size_t(2 * index)]));
        stacked->mirrorRight = units.size() <= size_t(2 * index + 1);
        if (!stacked->mirrorRight)
            stacked->plot->setAxisTitle(QwtPlot::yRight, axisTitle(units[size_t(2 * index + 1)]));
        for (int cursor = 1; cursor <= 2; ++cursor) {
            stacked->cursors[cursor - 1] = cursorLine(m_first->cursor(cursor));
            stacked->cursors[cursor - 1]->attach(stacked->plot);
        }
        m_layout->addWidget(stacked->plot, 2);
        stacked->plot->canvas()->installEventFilter(this);
        m_stacked.push_back(std::move(stacked));
        addBands(m_stacked.back()->plot);
    }

    // The station's pH lines are the first plot's own: shown while chosen.
    const bool ph = columns & LogColumns::PhColumns;
    for (QwtPlotItem *item : m_first->itemList()) {
        const QString title = item->title().text();
        for (const int column : {LogColumns::Probe1pH, LogColumns::Probe2pH}) {
            if (title != LogColumns::traceName(column))
                continue;
            const bool shown = columns & LogColumns::bit(column);
            item->setVisible(shown);
            item->setItemAttribute(QwtPlotItem::Legend, shown);
            m_curves[column] = shown ? static_cast<EnvelopeCurve *>(item) : nullptr;
        }
    }
    for (int column = 0; column < LogColumns::Count; ++column) {
        if (!(columns & LogColumns::bit(column)) || LogColumns::unitOf(column) == Unit::Ph)
            continue;
        const int place = placeOf(column);
        TimePlot *plot = plotAt(place / 2);
        m_curves[column] = plot->addSeries(m_store.series(LogColumns::plotOf(column)),
                                           LogColumns::traceName(column), penOf(column),
                                           place % 2 == 0 ? QwtPlot::yLeft : QwtPlot::yRight);
        if (plot == m_first)
            m_firstCurves.push_back(m_curves[column]);
    }

    // Axis titles: "pH 1" and "pH 2" when the pH is all the first plot shows.
    const bool phAlone = units.empty() || (ph && units.size() == 1);
    m_first->setRightAxisMirrored(units.size() < 2);
    m_first->setAxisTitle(QwtPlot::yLeft, phAlone ? QStringLiteral("pH 1") : axisTitle(units[0]));
    m_first->setAxisTitle(QwtPlot::yRight,
                          phAlone ? QStringLiteral("pH 2")
                                  : axisTitle(units.size() > 1 ? units[1] : units[0]));
    // One time axis, at the bottom.
    m_first->enableAxis(QwtPlot::xBottom, m_stacked.empty());
    for (size_t i = 0; i < m_stacked.size(); ++i)
        m_stacked[i]->plot->enableAxis(QwtPlot::xBottom, i + 1 == m_stacked.size());
    m_first->showVisibility();
    followTimeAxis();
    alignAxes();
}

void ReviewChart::fit(TimePlot *plot, int axis, ChartGraph *graph)
{
    double low = std::numeric_limits<double>::infinity();
    double high = -low;
    bool ph = false;
    std::vector<std::pair<int, const EnvelopeCurve *>> curves;
    for (int column = 0; column < LogColumns::Count; ++column)
        curves.emplace_back(column, m_curves[column]);
    for (const auto &[column, curve] : m_previewCurves)
        curves.emplace_back(column, curve);
    for (const auto &[column, curve] : curves) {
        if (!curve || curve->plot() != plot || curve->yAxis() != axis)
            continue;
        ph = LogColumns::unitOf(column) == Unit::Ph;
        double curveLow = 0;
        double curveHigh = 0;
        double mean = 0;
        const double all = std::numeric_limits<double>::infinity();
        if (curve->series().statistics(-all, all, &curveLow, &curveHigh, &mean)) {
            low = std::min(low, curveLow);
            high = std::max(high, curveHigh);
        }
    }
    if (!(low <= high))
        return;
    double bottom = 0;
    double top = 0;
    if (ph) {
        // Whole pH units around the readings, at least one wide.
        bottom = std::floor(low);
        top = std::max(std::ceil(high), bottom + 1);
    } else {
        const double margin = high > low ? (high - low) / 20 : std::max(std::abs(high) / 20, 0.5);
        bottom = low - margin;
        top = high + margin;
    }
    if (graph && axis == QwtPlot::yLeft)
        graph->setAxisRange(2, bottom, top);
    else
        plot->setAxisScale(axis, bottom, top);
}

void ReviewChart::fitAxes(ChartGraph &graph)
{
    fit(m_first, QwtPlot::yLeft, &graph);
    fit(m_first, QwtPlot::yRight, nullptr);
    for (const auto &stacked : m_stacked) {
        fit(stacked->plot, QwtPlot::yLeft, nullptr);
        if (stacked->mirrorRight) {
            const QwtScaleDiv &left = stacked->plot->axisScaleDiv(QwtPlot::yLeft);
            stacked->plot->setAxisScale(QwtPlot::yRight, left.lowerBound(), left.upperBound());
        } else {
            fit(stacked->plot, QwtPlot::yRight, nullptr);
        }
        stacked->plot->replot();
    }
    m_first->replot();
    alignAxes();
}

// The first plot's time axis, taken by those under it as it changes.
void ReviewChart::followTimeAxis()
{
    // The range, not the division: a plot works its division out again
    // from its range whenever it is resized.
    const QwtScaleDiv &time = m_first->axisScaleDiv(QwtPlot::xBottom);
    for (const auto &stacked : m_stacked) {
        if (stacked->plot->axisScaleDiv(QwtPlot::xBottom).interval() == time.interval())
            continue;
        stacked->plot->setAxisScale(QwtPlot::xBottom, time.lowerBound(), time.upperBound());
        stacked->plot->replot();
    }
}

void ReviewChart::showCursorLines()
{
    for (const auto &stacked : m_stacked) {
        bool changed = false;
        for (int cursor = 0; cursor < 2; ++cursor) {
            const QwtPlotMarker *from = m_first->cursor(cursor + 1);
            QwtPlotMarker *line = stacked->cursors[cursor];
            if (line->isVisible() != from->isVisible() || line->xValue() != from->xValue()) {
                line->setVisible(from->isVisible());
                line->setXValue(from->xValue());
                changed = true;
            }
        }
        if (changed)
            stacked->plot->replot();
    }
}

// The canvases one above the other: every plot's value axes as wide.
void ReviewChart::alignAxes()
{
    for (const int axis : {QwtPlot::yLeft, QwtPlot::yRight}) {
        double widest = 0;
        QList<QwtPlot *> plots{m_first};
        for (const auto &stacked : m_stacked)
            plots << stacked->plot;
        for (QwtPlot *plot : plots) {
            QwtScaleWidget *scale = plot->axisWidget(axis);
            scale->scaleDraw()->setMinimumExtent(0);
            widest = std::max(widest, scale->scaleDraw()->extent(scale->font()));
        }
        for (QwtPlot *plot : plots)
            plot->axisWidget(axis)->scaleDraw()->setMinimumExtent(widest);
    }
}

void ReviewChart::setJournal(std::shared_ptr<const JournalBands::Stretches> stretches, QDate origin)
{
    m_journal = std::move(stretches);
    m_origin = origin;
    pointsChanged();
}

void ReviewChart::pointsChanged()
{
    double first = 0;
    double last = 0;
    spanX(&first, &last);
    for (JournalBands *bands : m_bands)
        bands->setStretches(m_journal, last);
}

bool ReviewChart::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Paint && watched == m_first->canvas())
        showCursorLines();
    if (event->type() != QEvent::ToolTip)
        return QWidget::eventFilter(watched, event);
    auto *canvas = qobject_cast<QWidget *>(watched);
    auto *plot = canvas ? qobject_cast<QwtPlot *>(canvas->parentWidget()) : nullptr;
    if (!plot || !m_journal)
        return QWidget::eventFilter(watched, event);
    const auto *help = static_cast<QHelpEvent *>(event);
    const auto at = [plot](double pixel) {
        return ChartTime::fromAxis(plot->invTransform(QwtPlot::xBottom, pixel));
    };
    const double x = at(help->pos().x());
    const double tolerance = std::abs(at(help->pos().x() + 3) - x);
    const QString text = JournalBands::textAt(*m_journal, x, tolerance, m_origin);
    if (text.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(help->globalPos(), text, canvas);
    return true;
}
