#pragma once

#include "platform/Handlers.h"
#include "platform/qt/SystemClock.h"
#include "review/LogLoader.h"
#include "ui/chart/ChartGraph.h"
#include "ui/chart/ChartStore.h"

#include <QElapsedTimer>
#include <QMainWindow>

#include <memory>

class ChartPlot;
class GraphModeSelector;
class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QTabWidget;
class ReviewChart;

// Recorded logs in a window of their own ("frmReview"), read only: the
// columns chosen under "Show" ("chkPh", "chkMillivolts", ...; the pH unless
// changed) at each record's date and time, one time line for every file,
// with the station chart's zoom, pan, cursors (placed apart), measurement
// and export, and the journals' stretches behind; "Follow" ("chkFollow")
// keeps reading the last log as it grows. The runs' headers are in
// "txtRuns", every line that did not read, with its file, number and why,
// in "txtProblems". The files are read off the window's thread;
// "prgReading" shows how far.
class ReviewWindow : public QMainWindow
{
public:
    // Log files and folders of them, read as one time line.
    explicit ReviewWindow(const QStringList &paths, QWidget *parent = nullptr);
    ~ReviewWindow() override;

    // Asks for log files and opens them for review; nothing when cancelled.
    static void chooseAndOpen(QWidget *parent);

    // The loader's last word on the files as they were: done, and why none
    // could be read (or why the one named could not).
    bool isLoaded() const { return m_loaded; }
    QString failure() const { return m_failure; }
    const ChartStore &store() const { return m_store; }
    ChartGraph &graph() { return m_graph; }
    ChartPlot &plot() { return *m_plot; }
    ReviewChart &chart() { return *m_chart; }
    // Whether the whole time line of the files is in the picture: read, or
    // sampled while they are read.
    bool showsWholeTimeLine() const;

private:
    // What the window knows of each file read.
    struct File
    {
        QString name; // as the operator's system writes it
        QVector<LogReader::Run> runs;
        qint64 problemCount = 0;
        QString failure;
    };

    void load();
    void take(const LogLoader::Slice &slice);
    void takeFileSlice(const LogLoader::Slice &slice, File &file);
    void addRecords(const std::vector<LogReader::Record> &records);
    void showDone();
    void showWholeSpan();
    void showRuns();
    void showCursor(int cursor, double x, double y);
    void chooseColumns();
    void setFollowing(bool following);
    QString place(double x) const;

    QStringList m_paths;
    QString m_named; // the file, or how many
    ChartPlot *m_plot;
    ReviewChart *m_chart;
    GraphModeSelector *m_mode;
    QLabel *m_cursorText;
    QList<QCheckBox *> m_shown;
    QCheckBox *m_follow;
    QTabWidget *m_tabs;
    QPlainTextEdit *m_runs;
    QPlainTextEdit *m_problems;
    QLabel *m_status;
    QProgressBar *m_progress;

    SystemClock m_clock;
    ChartStore m_store;
    ChartGraph m_graph;
    std::unique_ptr<LogLoader> m_loader;
    QVector<File> m_files;
    QElapsedTimer m_sinceRunsShown;
    bool m_loaded = false;
    QString m_failure;
    Handlers m_handlers;
};
