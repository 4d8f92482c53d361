#pragma once

#include "platform/Handlers.h"
#include "platform/qt/SystemClock.h"
#include "review/LogLoader.h"
#include "ui/chart/ChartGraph.h"
#include "ui/chart/ChartStore.h"

#include <QElapsedTimer>
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
    // Log files and folders of them, read as one time line.
    explicit ReviewWindow(const QStringList &paths, QWidget *parent = nullptr);
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
    // What the window knows of each file read.
    struct File
    {
        QString name; // as the operator's system writes it
        QVector<LogReader::Run> runs;
        qint64 problemCount = 0;
        QString failure;
    };

    void take(const LogLoader::Slice &slice);
    void takeFileSlice(const LogLoader::Slice &slice, File &file);
    void showRuns();
    void showCursor(int cursor, double x, double y);
    void fitPhAxis();
    QString place(double x) const;

    QString m_named; // the file, or how many
    QVector<File> m_files;
    QElapsedTimer m_sinceRunsShown;
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
    bool m_loaded = false;
    QString m_failure;
    Handlers m_handlers;
};
