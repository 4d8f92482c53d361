#pragma once

#include "review/JournalBands.h"

#include <QDate>
#include <QWidget>

#include <memory>
#include <vector>

class ChartGraph;
class ChartPlot;
class ChartStore;
class EnvelopeCurve;
class QVBoxLayout;
class QwtPlotMarker;
class TimePlot;

// The chart of a review: the chosen columns of the logs, each unit on an axis
// of its own, two units a plot; a third unit and more go on plots stacked
// under the first, on one time axis at the bottom that follows the first
// plot's zoom and pan. Each plot shows the journal's stretches behind its
// curves, with the journal's lines in a tooltip, and the cursors' lines of
// the first plot. With only the pH chosen it is the station's chart: "pH 1"
// and "pH 2" axes showing one range.
class ReviewChart : public QWidget
{
public:
    // The first plot, driven by its ChartGraph, and the store of points
    // (LogColumns::plotOf), both of which must outlive it.
    ReviewChart(ChartPlot *first, const ChartStore &store, QWidget *parent = nullptr);
    ~ReviewChart() override;

    // The columns to show (LogColumns::bit); the plots are laid out anew.
    void setColumns(unsigned columns);
    unsigned columns() const { return m_columns; }

    // Each value axis over the points of its curves, the first plot's left
    // axis through the graph (whole pH units where it is the pH).
    void fitAxes(ChartGraph &graph);

    void setJournal(std::shared_ptr<const JournalBands::Stretches> stretches, QDate origin);

    // A first picture of the whole time line, drawn faintly under the points
    // read until cleared (LogLoader::Slice::preview).
    void setPreview(std::shared_ptr<const ChartStore> preview);
    void clearPreview();
    bool showsPreview() const { return m_preview != nullptr; }
    // The time the points and the preview cover; false when none.
    bool spanX(double *first, double *last) const;
    // Stretches still open reach the newest point: to be told when it moves on.
    void pointsChanged();

    // The plots under the first, top to bottom.
    QList<TimePlot *> stackedPlots() const;
    // The curve of a column, on whichever plot it is; nullptr when not shown.
    EnvelopeCurve *curveOf(int column) const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Stacked;
    void clearStacked();
    TimePlot *plotAt(int index) const;
    void addBands(TimePlot *plot);
    void followTimeAxis();
    void showCursorLines();
    void alignAxes();
    void fit(TimePlot *plot, int axis, ChartGraph *graph);

    ChartPlot *m_first;
    const ChartStore &m_store;
    QVBoxLayout *m_layout;
    unsigned m_columns = 0;
    std::vector<std::unique_ptr<Stacked>> m_stacked;
    std::vector<JournalBands *> m_bands;
    std::vector<EnvelopeCurve *> m_firstCurves; // those added to the first plot
    EnvelopeCurve *m_curves[16] = {};
    std::shared_ptr<const ChartStore> m_preview;
    std::vector<std::pair<int, EnvelopeCurve *>> m_previewCurves; // by column
    std::shared_ptr<const JournalBands::Stretches> m_journal;
    QDate m_origin;
};
