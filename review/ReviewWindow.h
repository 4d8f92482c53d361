#pragma once

#include "platform/Handlers.h"
#include "platform/qt/SystemClock.h"
#include "review/LogLoader.h"
#include "ui/chart/ChartGraph.h"
#include "ui/chart/ChartStore.h"

#include <QMainWindow>

class ChartPlot;
class GraphModeSelector;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QTabWidget;

// A recorded log in a chart of its own ("frmReview"), read only: both
// probes' pH at each record's date and time, with the station chart's zoom,
// pan, cursors, measurement and export; the runs' headers in "txtRuns" and
// every line that did not read, with its number and why, in "txtProblems".
// The file is read off the window's thread; "prgReading" shows how far.
class ReviewWindow : public QMainWindow
{
public:
    explicit ReviewWindow(const QString &fileName, QWidget *parent = nullptr);
    ~ReviewWindow() override;

    // Asks for a log file and opens it for review; nothing when cancelled.
    static void chooseAndOpen(QWidget *parent);

    // The loader's last word: done, and what stopped it, if anything.
    bool isLoaded() const { return m_loaded; }
    QString failure() const { return m_failure; }
    const ChartStore &store() const { return m_store; }
    ChartGraph &graph() { return m_graph; }
    ChartPlot &plot() { return *m_plot; }

private:
    void take(const LogLoader::Slice &slice);
    void showRuns(const QVector<LogReader::Run> &runs);
    void showCursor(int cursor, double x, double y);
    void fitPhAxis();
    QString place(double x) const;

    QString m_fileName;
    ChartPlot *m_plot;
    GraphModeSelector *m_mode;
    QLabel *m_cursorText;
    QTabWidget *m_tabs;
    QPlainTextEdit *m_runs;
    QPlainTextEdit *m_problems;
    QLabel *m_status;
    QProgressBar *m_progress;

    SystemClock m_clock;
    ChartStore m_store;
    ChartGraph m_graph;
    LogLoader m_loader;
    qint64 m_records = 0;
    bool m_loaded = false;
    QString m_failure;
    Handlers m_handlers;
};
