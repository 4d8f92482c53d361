#include "ui/chart/TimePlot.h"

#include "ui/chart/ChartScaleDraw.h"
#include "ui/chart/ChartTime.h"
#include "ui/chart/EnvelopeCurve.h"

#include <qwt_date_scale_engine.h>
#include <qwt_legend.h>
#include <qwt_legend_label.h>
#include <qwt_plot_canvas.h>
#include <qwt_plot_grid.h>

#include <algorithm>

TimePlot::TimePlot(QWidget *parent) : QwtPlot(parent)
{
    setCanvasBackground(Qt::white);
    // Every repaint draws afresh: the envelope is cheap, and a cached canvas
    // would go stale between a change and its deferred replot.
    if (auto *plotCanvas = qobject_cast<QwtPlotCanvas *>(canvas()))
        plotCanvas->setPaintAttribute(QwtPlotCanvas::BackingStore, false);
    setAxisScaleEngine(xBottom, new QwtDateScaleEngine(Qt::UTC));
    setAxisScaleDraw(xBottom, new ChartScaleDraw);
    setAxisLabelRotation(xBottom, 0);

    auto *grid = new QwtPlotGrid;
    grid->setMajorPen(QColor(220, 220, 220), 0, Qt::DotLine);
    grid->attach(this);

    m_legend = new QwtLegend;
    m_legend->setDefaultItemMode(QwtLegendData::Checkable);
    m_legend->setMaxColumns(0);
    insertLegend(m_legend, TopLegend);
    connect(m_legend, &QwtLegend::checked, this, [this](const QVariant &info, bool on, int) {
        if (QwtPlotItem *item = infoToItem(info)) {
            item->setVisible(on);
            replot();
        }
    });
}

void TimePlot::setOriginDate(QDate date)
{
    static_cast<ChartScaleDraw *>(axisScaleDraw(xBottom))->setOrigin(date);
    updateAxes();
}

EnvelopeCurve *TimePlot::addSeries(const BoundedSeries &series, const QString &title,
                                   const QPen &pen, int yAxis)
{
    auto *curve = new EnvelopeCurve(title, pen, series);
    curve->setYAxis(yAxis);
    curve->attach(this);
    showVisibility();
    return curve;
}

QWidget *TimePlot::legendEntry(const QwtPlotItem *item) const
{
    return m_legend->legendWidget(itemToInfo(const_cast<QwtPlotItem *>(item)));
}

void TimePlot::showVisibility()
{
    updateLegend();
    for (QwtPlotItem *item : itemList())
        if (auto *label = qobject_cast<QwtLegendLabel *>(legendEntry(item)))
            label->setChecked(item->isVisible());
}

void TimePlot::resizeEvent(QResizeEvent *event)
{
    QwtPlot::resizeEvent(event);
    // As many labels as stay apart at this size.
    setAxisMaxMajor(xBottom, std::max(2, canvas()->width() / 110));
    for (const int axis : {yLeft, yRight})
        setAxisMaxMajor(axis, std::max(2, canvas()->height() / 28));
}
