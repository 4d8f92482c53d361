#include "review/ReviewWindow.h"

#include "platform/MessageBox.h"
#include "review/LogColumns.h"
#include "ui/chart/ChartModes.h"
#include "ui/chart/ChartPlot.h"
#include "ui/chart/CursorReadout.h"
#include "ui/chart/GraphModeSelector.h"

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
#include <limits>

namespace {

QPlainTextEdit *readOnlyText(const QString &name)
{
    auto *text = new QPlainTextEdit;
    text->setObjectName(name);
    text->setReadOnly(true);
    text->setLineWrapMode(QPlainTextEdit::NoWrap);
    return text;
}

} // namespace

ReviewWindow::ReviewWindow(const QStringList &paths, QWidget *parent)
    : QMainWindow(parent)
    , m_plot(new ChartPlot)
    , m_store(LogColumns::Plots, LogLoader::GapDays)
    , m_graph(*m_plot, m_store, m_clock)
    , m_loader(paths)
{
    setObjectName(QStringLiteral("frmReview"));
    setAttribute(Qt::WA_DeleteOnClose);
    const QString named = paths.size() == 1 ? QFileInfo(paths.constFirst()).fileName()
                                            : QStringLiteral("%1 logs").arg(paths.size());
    setWindowTitle(QStringLiteral("%1 - Review - %2").arg(named, MessageBox::APP_TITLE.trimmed()));
    m_named = paths.size() == 1 ? QDir::toNativeSeparators(paths.constFirst()) : named;
    m_graph.setGrowing(false);
    m_plot->followChoice()->hide(); // a recorded log does not grow

    m_mode = new GraphModeSelector(Qt::Horizontal);
    m_mode->setFixedWidth(220);
    m_cursorText = new QLabel;
    m_cursorText->setObjectName(QStringLiteral("lblReviewCursor"));
    m_cursorText->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto *controls = new QHBoxLayout;
    controls->addWidget(m_mode);
    controls->addSpacing(12);
    controls->addWidget(m_cursorText, 1);
    controls->addWidget(m_plot->exportButton());

    m_runs = readOnlyText(QStringLiteral("txtRuns"));
    m_problems = readOnlyText(QStringLiteral("txtProblems"));
    m_tabs = new QTabWidget;
    m_tabs->addTab(m_runs, QStringLiteral("Runs"));
    m_tabs->addTab(m_problems, QStringLiteral("Problems"));
    auto *split = new QSplitter(Qt::Vertical);
    split->addWidget(m_plot);
    split->addWidget(m_tabs);
    split->setStretchFactor(0, 4);
    split->setStretchFactor(1, 1);

    auto *central = new QWidget;
    auto *layout = new QVBoxLayout(central);
    layout->addLayout(controls);
    layout->addWidget(split, 1);
    setCentralWidget(central);

    m_status = new QLabel(QStringLiteral("Reading %1").arg(m_named));
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
                     [this](double value) { ChartModes::switchTo(m_graph, value); });
    m_handlers.install(m_graph.cursorMoved,
                       [this](int cursor, double x, double y, bool) { showCursor(cursor, x, y); });
    m_handlers.install(m_loader.sliceRead, [this](const LogLoader::Slice &slice) { take(slice); });
    m_loader.start();
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

void ReviewWindow::take(const LogLoader::Slice &slice)
{
    if (!slice.files.isEmpty()) {
        for (const QString &name : slice.files) {
            File file;
            file.name = QDir::toNativeSeparators(name);
            m_files.append(file);
        }
    }
    if (slice.originDate.isValid() && !m_store.originDate().isValid()) {
        m_store.setOriginDate(slice.originDate);
        m_plot->setOriginDate(slice.originDate);
    }
    const bool firstPoints = m_store.isEmpty() && slice.points;
    if (slice.points)
        m_store.takePoints(std::move(*slice.points));
    if (slice.file >= 0 && slice.file < m_files.size())
        takeFileSlice(slice, m_files[slice.file]);
    if (slice.bytesTotal > 0)
        m_progress->setValue(static_cast<int>(slice.bytesRead * 1000 / slice.bytesTotal));
    if (slice.points)
        m_graph.showAllPoints();
    if (firstPoints || slice.last)
        fitPhAxis();

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
    if (!slice.last) {
        m_status->setText(
            QStringLiteral("Reading %1: %2%").arg(m_named).arg(m_progress->value() / 10));
        return;
    }
    m_loaded = true;
    m_progress->hide();
    showRuns();
    QString status =
        QStringLiteral("%1: %2 records in %3 runs").arg(m_named).arg(records).arg(runs);
    if (problems)
        status += QStringLiteral(", %1 lines not read (see Problems)").arg(problems);
    if (m_files.size() == 1 && failed) {
        m_failure = m_files.constFirst().failure;
        status = QStringLiteral("%1: %2").arg(m_named, m_failure);
    } else if (failed == m_files.size()) {
        m_failure = QStringLiteral("none of the %1 files could be read").arg(failed);
        status = QStringLiteral("%1: %2").arg(m_named, m_failure);
    } else if (failed) {
        status += QStringLiteral(", %1 of %2 files not read (see Problems)")
                      .arg(failed)
                      .arg(m_files.size());
    }
    m_status->setText(status);
    if (failed || (problems && records == 0))
        m_tabs->setCurrentIndex(1);
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
    if (m_sinceRunsShown.isValid() && m_sinceRunsShown.elapsed() < 500)
        return;
    m_sinceRunsShown.start();
    showRuns();
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

void ReviewWindow::fitPhAxis()
{
    double low = std::numeric_limits<double>::infinity();
    double high = -low;
    for (int plot = 1; plot <= 2; ++plot) {
        double plotLow = 0;
        double plotHigh = 0;
        double mean = 0;
        const double all = std::numeric_limits<double>::infinity();
        if (m_store.series(plot).statistics(-all, all, &plotLow, &plotHigh, &mean)) {
            low = std::min(low, plotLow);
            high = std::max(high, plotHigh);
        }
    }
    if (!(low <= high))
        return;
    // Whole pH units around the readings, at least one wide.
    const double bottom = std::floor(low);
    const double top = std::max(std::ceil(high), bottom + 1);
    m_graph.setAxisRange(2, bottom, top);
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
        QStringLiteral("Cursor 1: %1, pH %2").arg(place(x), CursorReadout::valueText(y)));
}
