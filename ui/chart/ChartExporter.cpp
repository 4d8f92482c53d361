#include "ui/chart/ChartExporter.h"

#include "platform/Graph.h"
#include "platform/MessageBox.h"
#include "ui/chart/ChartCsv.h"
#include "ui/chart/ChartPicture.h"
#include "ui/chart/ChartPlot.h"
#include "ui/chart/ChartStore.h"
#include "ui/chart/CursorReadout.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QSaveFile>
#include <qwt_text.h>

#include <algorithm>
#include <cmath>

namespace {

// Where the last export went, for the next one in this session.
QString lastFolder = QDir::homePath();

} // namespace

ChartExporter::ChartExporter(ChartPlot &plot, const ChartStore &store, const Graph &graph)
    : m_plot(plot)
    , m_store(store)
    , m_graph(graph)
{
    m_handlers.install(m_plot.exportPointsChosen, [this] { exportPoints(); });
    m_handlers.install(m_plot.exportImageChosen, [this] { exportImage(); });
}

QString ChartExporter::savePoints(const ChartStore &store, double x0, double x1,
                                  const QString &fileName)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    if (!ChartCsv::write(store, x0, x1, file)) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return reason;
    }
    return file.commit() ? QString() : file.errorString();
}

QString ChartExporter::rangeText(const ChartStore &store, double x0, double x1)
{
    const QDate origin = store.originDate();
    const auto dayOf = [](double x) { return static_cast<qint64>(std::floor(x)); };
    const auto at = [&](double x, bool withDate) {
        const QString time = CursorReadout::timeText(x - dayOf(x));
        return withDate && origin.isValid()
            ? origin.addDays(dayOf(x)).toString(Qt::ISODate) + QLatin1Char(' ') + time
            : time;
    };
    return at(x0, true) + QStringLiteral(" to ") + at(x1, dayOf(x1) != dayOf(x0));
}

QString ChartExporter::saveChart(ChartPlot &plot, const ChartStore &store, double x0, double x1,
                                 const QString &fileName)
{
    // The measurement, over the plot on screen, goes under it on paper.
    QwtPlot *last = plot.stackedBelow().isEmpty() ? &plot : plot.stackedBelow().constLast();
    const QwtText footer = last->footer();
    QwtText measurement(plot.measurementText(), QwtText::PlainText);
    measurement.setRenderFlags(Qt::AlignLeft | Qt::AlignTop);
    last->setFooter(measurement);
    const QString reason =
        saveImage(QList<QwtPlot *>{&plot} + plot.stackedBelow(), fileName,
                  plot.subject() + QStringLiteral(", ") + rangeText(store, x0, x1));
    last->setFooter(footer);
    return reason;
}

QString ChartExporter::saveImage(const QList<QwtPlot *> &plots, const QString &fileName,
                                 const QString &title)
{
    const QString format = QFileInfo(fileName).suffix().toLower();
    if (format != QLatin1String("png") && format != QLatin1String("svg") &&
        format != QLatin1String("pdf"))
        return QStringLiteral("the name must end in .png, .svg or .pdf");
    // Drawn whole first, then written through a QSaveFile, as the points
    // are: the target is replaced only when complete and gets the
    // permissions any new file of the user gets.
    QString why;
    const QByteArray image = ChartPicture(plots, title).draw(format, &why);
    if (image.isEmpty())
        return why;
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    if (file.write(image) != image.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return reason;
    }
    return file.commit() ? QString() : file.errorString();
}

void ChartExporter::exportPoints()
{
    const QString fileName = askFileName(QStringLiteral("Export Points"), QStringLiteral("csv"),
                                         QStringLiteral("CSV files (*.csv)"));
    if (fileName.isEmpty())
        return;
    const QString reason =
        savePoints(m_store, m_graph.axisMinimum(1), m_graph.axisMaximum(1), fileName);
    if (!reason.isEmpty())
        reportFailure(fileName, reason);
}

void ChartExporter::exportImage()
{
    const QString fileName =
        askFileName(QStringLiteral("Export Chart"), QStringLiteral("png"),
                    QStringLiteral("PNG image (*.png);;SVG drawing (*.svg);;PDF document (*.pdf)"));
    if (fileName.isEmpty())
        return;
    const QString reason =
        saveChart(m_plot, m_store, m_graph.axisMinimum(1), m_graph.axisMaximum(1), fileName);
    if (!reason.isEmpty())
        reportFailure(fileName, reason);
}

QString ChartExporter::askFileName(const QString &title, const QString &suffix,
                                   const QString &filter)
{
    const QString suggested =
        QDir(lastFolder)
            .filePath(
                QStringLiteral("chart-%1.%2")
                    .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd-HHmm")),
                         suffix));
    QFileDialog dialog(&m_plot, title, suggested, filter);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(suffix);
    dialog.selectFile(suggested);
    // The suffix follows the kind of file chosen.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString &f) {
        const QString chosen = f.section(QStringLiteral("*."), 1).section(QLatin1Char(')'), 0, 0);
        dialog.setDefaultSuffix(chosen);
    });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    const QString chosen = dialog.selectedFiles().constFirst();
    lastFolder = QFileInfo(chosen).absolutePath();
    return chosen;
}

void ChartExporter::reportFailure(const QString &fileName, const QString &reason)
{
    QMessageBox::warning(&m_plot, MessageBox::APP_TITLE,
                         QStringLiteral("The chart was not saved to %1: %2.")
                             .arg(QDir::toNativeSeparators(fileName), reason));
}
