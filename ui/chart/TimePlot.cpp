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

    // A flat row in a smaller hand: the chart needs the height more.
    m_legend = new QwtLegend;
    m_legend->setDefaultItemMode(QwtLegendData::Clickable);
    m_legend->setMaxColumns(0);
    QFont small = m_legend->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    m_legend->setFont(small);
    insertLegend(m_legend, TopLegend);
    connect(m_legend, &QwtLegend::clicked, this, [this](const QVariant &info, int) {
        if (QwtPlotItem *item = infoToItem(info)) {
            item->setVisible(!item->isVisible());
            showVisibility();
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
    for (QwtPlotItem *item : itemList()) {
        auto *label = qobject_cast<QwtLegendLabel *>(legendEntry(item));
        if (!label)
            continue;
        // A hidden line's name is greyed and struck through.
        QFont font = m_legend->font();
        font.setStrikeOut(!item->isVisible());
        label->setFont(font);
        QPalette palette = m_legend->palette();
        if (!item->isVisible())
            palette.setColor(QPalette::Text, palette.color(QPalette::Disabled, QPalette::Text));
        label->setPalette(palette);
        label->setMargin(0);
        label->setSpacing(3);
        label->setToolTip(item->isVisible() ? QStringLiteral("Click to hide it")
                                            : QStringLiteral("Click to show it again"));
    }
}

void TimePlot::resizeEvent(QResizeEvent *event)
{
    QwtPlot::resizeEvent(event);
    // As many labels as stay apart at this size.
    setAxisMaxMajor(xBottom, std::max(2, canvas()->width() / 110));
    for (const int axis : {yLeft, yRight})
        setAxisMaxMajor(axis, std::max(2, canvas()->height() / 28));
}
