#include "review/ReviewWindow.h"

#include "platform/MessageBox.h"
#include "review/LogColumns.h"
#include "review/ReviewChart.h"
#include "ui/chart/ChartModes.h"
#include "ui/chart/ChartPlot.h"
#include "ui/chart/CursorReadout.h"
#include "ui/chart/GraphModeSelector.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolButton>

#include <cmath>

namespace {

QPlainTextEdit *readOnlyText(const QString &name)
{
    auto *text = new QPlainTextEdit;
    text->setObjectName(name);
    text->setReadOnly(true);
    text->setLineWrapMode(QPlainTextEdit::NoWrap);
    return text;
}

// What a box under "Show" stands for.
struct Choice
{
    const char *name;
    const char *text;
    unsigned columns;
};

const Choice Choices[] = {
    {"chkPh", "pH", LogColumns::PhColumns},
    {"chkMillivolts", "mV",
     LogColumns::bit(LogColumns::Probe1mV) | LogColumns::bit(LogColumns::Probe2mV)},
    {"chkTherm1", "Therm 1", LogColumns::bit(LogColumns::Therm1)},
    {"chkTherm2", "Therm 2", LogColumns::bit(LogColumns::Therm2)},
    {"chkTherm3", "Therm 3", LogColumns::bit(LogColumns::Therm3)},
    {"chkFlowRate", "Flow L/min", LogColumns::bit(LogColumns::FlowLpm)},
    {"chkFlowHz", "Flow Hz", LogColumns::bit(LogColumns::FlowHz)},
    {"chkLitres", "Litres", LogColumns::bit(LogColumns::Litres)},
};

} // namespace

ReviewWindow::ReviewWindow(const QStringList &paths, QWidget *parent)
    : QMainWindow(parent)
    , m_paths(paths)
    , m_plot(new ChartPlot)
    , m_store(LogColumns::Plots, LogLoader::GapDays)
    , m_graph(*m_plot, m_store, m_clock)
{
    setObjectName(QStringLiteral("frmReview"));
    setAttribute(Qt::WA_DeleteOnClose);
    const QString named = paths.size() == 1 ? QFileInfo(paths.constFirst()).fileName()
                                            : QStringLiteral("%1 logs").arg(paths.size());
    setWindowTitle(QStringLiteral("%1 - Review - %2").arg(named, MessageBox::APP_TITLE.trimmed()));
    m_named = paths.size() == 1 ? QDir::toNativeSeparators(paths.constFirst()) : named;
    m_plot->setSubject(QStringLiteral("Review of ") + named);
    m_graph.setGrowing(false);
    m_plot->followChoice()->hide(); // shown while following a growing log

    m_mode = new GraphModeSelector(Qt::Horizontal);
    m_mode->setFixedWidth(220);
    m_cursorText = new QLabel;
    m_cursorText->setObjectName(QStringLiteral("lblReviewCursor"));
    m_cursorText->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_follow = new QCheckBox(QStringLiteral("Follow"));
    m_follow->setObjectName(QStringLiteral("chkFollow"));
    m_follow->setToolTip(QStringLiteral("Keep reading the last log as the station writes it, "
                                        "and the next day's file of a daily log"));
    auto *controls = new QHBoxLayout;
    controls->addWidget(m_mode);
    controls->addSpacing(12);
    controls->addWidget(m_cursorText, 1);
    controls->addWidget(m_follow);
    controls->addWidget(m_plot->followChoice());
    controls->addWidget(m_plot->exportButton());

    auto *shown = new QHBoxLayout;
    shown->addWidget(new QLabel(QStringLiteral("Show:")));
    for (const Choice &choice : Choices) {
        auto *box = new QCheckBox(QString::fromUtf8(choice.text));
        box->setObjectName(QString::fromLatin1(choice.name));
        box->setChecked(choice.columns == LogColumns::PhColumns);
        QObject::connect(box, &QCheckBox::toggled, this, [this] { chooseColumns(); });
        shown->addWidget(box);
        m_shown << box;
    }
    shown->addStretch();

    m_chart = new ReviewChart(m_plot, m_store);
    m_runs = readOnlyText(QStringLiteral("txtRuns"));
    m_problems = readOnlyText(QStringLiteral("txtProblems"));
    m_tabs = new QTabWidget;
    m_tabs->addTab(m_runs, QStringLiteral("Runs"));
    m_tabs->addTab(m_problems, QStringLiteral("Problems"));
    auto *split = new QSplitter(Qt::Vertical);
    split->addWidget(m_chart);
    split->addWidget(m_tabs);
    split->setStretchFactor(0, 4);
    split->setStretchFactor(1, 1);

    auto *central = new QWidget;
    auto *layout = new QVBoxLayout(central);
    layout->addLayout(controls);
    layout->addLayout(shown);
    layout->addWidget(split, 1);
    setCentralWidget(central);

    m_status = new QLabel;
    m_status->setObjectName(QStringLiteral("lblReviewStatus"));
    m_progress = new QProgressBar;
    m_progress->setObjectName(QStringLiteral("prgReading"));
    m_progress->setRange(0, 1000);
    m_progress->setTextVisible(false);
    m_progress->setFixedWidth(160);
    statusBar()->addWidget(m_status, 1);
    statusBar()->addPermanentWidget(m_progress);
    resize(900, 640);

    QObject::connect(m_mode, &QwtSlider::valueChanged, this,
                     [this](double value) { ChartModes::switchApart(m_graph, value); });
    QObject::connect(m_follow, &QCheckBox::toggled, this, [this](bool on) { setFollowing(on); });
    m_chart->setColumns(LogColumns::PhColumns);
    load();
}

ReviewWindow::~ReviewWindow() = default;

void ReviewWindow::chooseAndOpen(QWidget *parent)
{
    QFileDialog dialog(parent, QStringLiteral("Review Log"), QDir::homePath(),
                       QStringLiteral("Log files (*.txt *.csv *.log);;All files (*)"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    auto *window = new ReviewWindow(dialog.selectedFiles(), parent);
    window->show();
}

// Reads the files afresh for the columns chosen: the points kept are those.
void ReviewWindow::load()
{
    // Clears the handler on the loader it replaces, while that is still there.
    m_handlers.clear();
    m_handlers.install(m_graph.cursorMoved,
                       [this](int cursor, double x, double y, bool) { showCursor(cursor, x, y); });
    m_loader = std::make_unique<LogLoader>(m_paths);
    m_loader->setColumns(m_chart->columns());
    m_loader->setFollowing(m_follow->isChecked());
    m_store.takePoints(ChartStore(LogColumns::Plots, LogLoader::GapDays));
    m_files.clear();
    m_loaded = false;
    m_failure.clear();
    m_runs->clear();
    m_problems->clear();
    m_tabs->setTabText(1, QStringLiteral("Problems"));
    m_progress->setValue(0);
    m_progress->show();
    m_status->setText(QStringLiteral("Reading %1").arg(m_named));
    m_handlers.install(m_loader->sliceRead, [this](const LogLoader::Slice &slice) { take(slice); });
    m_loader->start();
}

void ReviewWindow::chooseColumns()
{
    unsigned columns = 0;
    for (int i = 0; i < m_shown.size(); ++i)
        if (m_shown[i]->isChecked())
            columns |= Choices[i].columns;
    m_chart->setColumns(columns);
    load();
}

void ReviewWindow::setFollowing(bool following)
{
    m_loader->setFollowing(following);
    m_graph.setGrowing(following);
    m_plot->followChoice()->setVisible(following);
    if (following)
        m_graph.followNewest();
    else
        m_graph.showAllPoints();
}

void ReviewWindow::take(const LogLoader::Slice &slice)
{
    for (const QString &name : slice.files) {
        File file;
        file.name = QDir::toNativeSeparators(name);
        m_files.append(file);
    }
    if (slice.originDate.isValid() && !m_store.originDate().isValid()) {
        m_store.setOriginDate(slice.originDate);
        m_plot->setOriginDate(slice.originDate);
        for (TimePlot *plot : m_chart->stackedPlots())
            plot->setOriginDate(slice.originDate);
    }
    const bool firstPoints = m_store.isEmpty() && slice.points;
    if (slice.preview) {
        m_chart->setPreview(slice.preview);
        showWholeSpan();
        m_chart->fitAxes(m_graph);
    }
    if (slice.points) {
        // The points shown so far go back to be written over by the next.
        m_store.swapPoints(*slice.points);
        if (!slice.last)
            m_loader->recycle(slice.points);
    }
    addRecords(slice.records);
    if (slice.journal)
        m_chart->setJournal(slice.journal, m_store.originDate());
    else if (slice.points || !slice.records.empty())
        m_chart->pointsChanged();
    for (const QString &note : slice.notes)
        m_problems->appendPlainText(note);
    if (slice.file >= 0 && slice.file < m_files.size())
        takeFileSlice(slice, m_files[slice.file]);
    if (slice.bytesTotal > 0 && !m_loaded)
        m_progress->setValue(static_cast<int>(slice.bytesRead * 1000 / slice.bytesTotal));
    if (slice.last)
        m_chart->clearPreview();
    if ((slice.points || slice.last) && !(m_follow->isChecked() && m_graph.isFollowing()))
        showWholeSpan();
    if (firstPoints || slice.last)
        m_chart->fitAxes(m_graph);
    if (slice.last)
        m_loaded = true;
    if (m_loaded)
        showDone();
    else
        m_status->setText(
            QStringLiteral("Reading %1: %2%").arg(m_named).arg(m_progress->value() / 10));
    if (!slice.notes.isEmpty())
        m_status->setText(slice.notes.constLast());
}

// Records a followed log grew by, to the points kept of them.
void ReviewWindow::addRecords(const std::vector<LogReader::Record> &records)
{
    if (records.empty())
        return;
    for (int column = 0; column < LogColumns::Count; ++column) {
        if (!(m_chart->columns() & LogColumns::bit(column)))
            continue;
        for (const LogReader::Record &record : records)
            m_store.appendPlaced(LogColumns::plotOf(column), record.x, record.values[column]);
    }
    if (m_follow->isChecked() && m_graph.isFollowing())
        m_graph.followNewest();
    else
        m_plot->replot();
}

void ReviewWindow::takeFileSlice(const LogLoader::Slice &slice, File &file)
{
    file.runs = slice.runs;
    file.problemCount = slice.problemCount;
    for (const LogReader::Problem &problem : slice.problems)
        m_problems->appendPlainText(
            QStringLiteral("%1, line %2: %3").arg(file.name).arg(problem.line).arg(problem.why));
    if (slice.fileDone) {
        const qint64 kept = std::min<qint64>(file.problemCount, LogReader::ProblemsKept);
        if (file.problemCount > kept)
            m_problems->appendPlainText(QStringLiteral("%1: ... and %2 more lines not read")
                                            .arg(file.name)
                                            .arg(file.problemCount - kept));
        if (!slice.failure.isEmpty()) {
            file.failure = slice.failure;
            m_problems->appendPlainText(QStringLiteral("%1: %2").arg(file.name, file.failure));
        }
    }
    if (m_sinceRunsShown.isValid() && m_sinceRunsShown.elapsed() < 500 && !slice.fileDone)
        return;
    m_sinceRunsShown.start();
    showRuns();
}

void ReviewWindow::showDone()
{
    m_progress->hide();
    qint64 problems = 0;
    qint64 runs = 0;
    qint64 records = 0;
    int failed = 0;
    for (const File &file : qAsConst(m_files)) {
        problems += file.problemCount;
        runs += file.runs.size();
        for (const LogReader::Run &run : file.runs)
            records += run.records;
        failed += file.failure.isEmpty() ? 0 : 1;
    }
    m_tabs->setTabText(1,
                       problems + failed ? QStringLiteral("Problems (%1)").arg(problems + failed)
                                         : QStringLiteral("Problems"));
    QString status =
        QStringLiteral("%1: %2 records in %3 runs").arg(m_named).arg(records).arg(runs);
    if (problems)
        status += QStringLiteral(", %1 lines not read (see Problems)").arg(problems);
    m_failure.clear();
    if (m_files.size() == 1 && failed) {
        m_failure = m_files.constFirst().failure;
        status = QStringLiteral("%1: %2").arg(m_named, m_failure);
    } else if (failed && failed == m_files.size()) {
        m_failure = QStringLiteral("none of the %1 files could be read").arg(failed);
        status = QStringLiteral("%1: %2").arg(m_named, m_failure);
    } else if (failed) {
        status += QStringLiteral(", %1 of %2 files not read (see Problems)")
                      .arg(failed)
                      .arg(m_files.size());
    }
    if (m_follow->isChecked())
        status += QStringLiteral(", following");
    m_status->setText(status);
    if (failed || (problems && records == 0))
        m_tabs->setCurrentIndex(1);
}

void ReviewWindow::showRuns()
{
    QString text;
    for (const File &file : qAsConst(m_files)) {
        if (m_files.size() > 1)
            text += file.name + QLatin1Char('\n');
        for (int i = 0; i < file.runs.size(); ++i) {
            const LogReader::Run &run = file.runs[i];
            text += QStringLiteral("Run %1, from line %2: %3 records\n")
                        .arg(i + 1)
                        .arg(run.line)
                        .arg(run.records);
            for (const QString &line : run.header)
                text += QStringLiteral("    ") + line + QLatin1Char('\n');
        }
    }
    m_runs->setPlainText(text.trimmed());
}

// Every point read, and where the files are still being read, the first
// picture of them: the time line does not shrink as the points come in.
bool ReviewWindow::showsWholeTimeLine() const
{
    return m_loaded || m_chart->showsPreview();
}

void ReviewWindow::showWholeSpan()
{
    if (!m_chart->showsPreview()) {
        m_graph.showAllPoints();
        return;
    }
    double first = 0;
    double last = 0;
    if (m_chart->spanX(&first, &last))
        m_graph.setAxisRange(1, first, std::max(last, first + 1.0 / 86400));
}

QString ReviewWindow::place(double x) const
{
    const auto day = static_cast<qint64>(std::floor(x));
    return m_store.originDate().addDays(day).toString(Qt::ISODate) + QLatin1Char(' ') +
        CursorReadout::timeText(x - day);
}

void ReviewWindow::showCursor(int cursor, double x, double y)
{
    if (cursor != 1 || !std::isfinite(x) || !std::isfinite(y))
        return;
    m_cursorText->setText(
        QStringLiteral("Cursor 1: %1, %2 %3")
            .arg(place(x), m_plot->axisTitle(QwtPlot::yLeft).text(), CursorReadout::valueText(y)));
}
