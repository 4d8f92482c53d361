#pragma once

#include "platform/Handlers.h"

#include <QString>

class ChartPlot;
class ChartStore;
class Graph;
class QwtPlot;

// Saves what the chart shows when the operator asks from its export menu:
// the points of the visible time range as CSV, or the chart as it is drawn
// as a PNG, SVG or PDF file. A file is replaced only once its new content is
// complete; a failure is reported in a box, naming the file and the reason.
class ChartExporter
{
public:
    // The plot, the store and the graph must outlive it.
    ChartExporter(ChartPlot &plot, const ChartStore &store, const Graph &graph);

    // Each returns an empty text on success, else why the file was not written.
    static QString savePoints(const ChartStore &store, double x0, double x1,
                              const QString &fileName);
    // The format follows the name's suffix: png, svg or pdf.
    static QString saveImage(QwtPlot &plot, const QString &fileName);

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
