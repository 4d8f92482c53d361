#pragma once

#include "platform/Handlers.h"

#include <QList>
#include <QString>

class ChartPlot;
class ChartStore;
class Graph;
class QwtPlot;

// Saves what the chart shows when the operator asks from its export menu:
// the points of the visible time range as CSV, or the chart as it is drawn
// as a PNG, SVG or PDF file, headed by what it is of and the time it covers,
// with its legend, and the measurement under it while both cursors are up.
// A file is replaced only once its new content is complete, with the
// permissions any new file of the user gets; a failure is reported in a
// box, naming the file and the reason.
class ChartExporter
{
public:
    // The plot, the store and the graph must outlive it.
    ChartExporter(ChartPlot &plot, const ChartStore &store, const Graph &graph);

    // Each returns an empty text on success, else why the file was not written.
    static QString savePoints(const ChartStore &store, double x0, double x1,
                              const QString &fileName);
    // The chart of the time range [x0, x1] with any plots stacked under it,
    // titled with its subject and that range at the store's dates.
    static QString saveChart(ChartPlot &plot, const ChartStore &store, double x0, double x1,
                             const QString &fileName);
    // The plots one above the other under a title; the format follows the
    // name's suffix: png, svg or pdf.
    static QString saveImage(const QList<QwtPlot *> &plots, const QString &fileName,
                             const QString &title = {});

    // "2026-12-08 14:00:00 to 14:10:00", the date again only for another day.
    static QString rangeText(const ChartStore &store, double x0, double x1);

private:
    void exportPoints();
    void exportImage();
    QString askFileName(const QString &title, const QString &suffix, const QString &filter);
    void reportFailure(const QString &fileName, const QString &reason);

    ChartPlot &m_plot;
    const ChartStore &m_store;
    const Graph &m_graph;
    Handlers m_handlers;
};
