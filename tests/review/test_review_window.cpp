#include "review/LogColumns.h"
#include "review/ReviewChart.h"
#include "review/ReviewWindow.h"
#include "ui/chart/ChartExporter.h"
#include "ui/chart/ChartPlot.h"
#include "ui/chart/ChartTime.h"
#include "ui/chart/EnvelopeCurve.h"
#include "ui/chart/GraphModeSelector.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileInfo>
#include <QHelpEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolTip>
#include <QtTest>
#include <qwt_plot_canvas.h>
#include <qwt_scale_div.h>

#include <cmath>
#include <memory>
#include <sys/stat.h>
#include <utility>

namespace {

const QByteArray Header = "\r\n\"Kestrom Science DGH Logging Program\",#%1#\r\n"
                          "\"Version: 1.1\"\r\n\r\n"
                          "\"Offset: 2.5777\",\"Offset2: 2.5777\"\r\n"
                          "\"Time, Therm1, Therm2, Therm3, pH 1 mVolts, pH 2 mVolts, pH 1 value, "
                          "pH 2 value, Flow Frequency, Liters/min, Liters\"\r\n\r\n";

QByteArray header(const char *date)
{
    return QByteArray(Header).replace("%1", date);
}

bool writeLog(const QString &fileName, const QByteArray &bytes)
{
    QFile file(fileName);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

void drag(QWidget *canvas, QPoint from, QPoint to)
{
    QMouseEvent press(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(canvas, &press);
    for (int step = 1; step <= 4; ++step) {
        QMouseEvent move(QEvent::MouseMove, from + (to - from) * step / 4, Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(canvas, &move);
    }
    QMouseEvent release(QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(canvas, &release);
}

QByteArray record(const char *time, const char *ph1, const char *ph2)
{
    return QByteArray("\"") + time + "\",21.5,21.75,22,2545.3,2601.7," + ph1 + "," + ph2 +
        ",172.5,1.5,\"37.25\"\r\n";
}

} // namespace

// A log as the operator opens it for review: the window reads it, charts
// both probes at their dates and times, lists the runs and what did not
// read, and exports what it shows with the dates of the log.
class TestReviewWindow : public QObject
{
    Q_OBJECT

private slots:
    void reviewAndExport()
    {
        QTemporaryDir folder;
        const QString log = folder.filePath("tank.txt");
        QFile file(log);
        QVERIFY(file.open(QIODevice::WriteOnly));
        // Two runs appended: the first across midnight (24-hour times), the
        // second a day later (US times), with one line a copy tool damaged.
        file.write(header("2026-12-07") + record("23:59:58", "7", "4") +
                   record("23:59:59", "7.5", "4") + record("0:00:01", "8", "4.5") +
                   header("2026-12-09") + record("1:00:00 PM", "6.5", "5") +
                   "\"1:00:01 PM\",x\r\n" + record("1:00:02 PM", "6", "5.5"));
        file.close();

        ReviewWindow window({log});
        window.resize(900, 640);
        window.show();
        QTRY_VERIFY_WITH_TIMEOUT(window.isLoaded(), 10000);
        QCOMPARE(window.failure(), QString());
        QCOMPARE(window.store().originDate(), QDate(2026, 12, 7));
        QCOMPARE(window.store().series(1).size(), 5);

        const auto *runs = window.findChild<QPlainTextEdit *>("txtRuns");
        QVERIFY(
            runs->toPlainText().startsWith("Run 1, from line 2: 3 records\n"
                                           "    Kestrom Science DGH Logging Program  2026-12-07\n"
                                           "    Version: 1.1\n"
                                           "    Offset: 2.5777  Offset2: 2.5777\n"));
        QVERIFY(runs->toPlainText().contains("Run 2, from line 12: 2 records"));
        const auto *problems = window.findChild<QPlainTextEdit *>("txtProblems");
        QCOMPARE(problems->toPlainText(), log + ", line 19: value 2 (\"x\") is not a number");
        QCOMPARE(window.findChild<QTabWidget *>()->tabText(1), QString("Problems (1)"));

        // The whole log is in view, its pH range fitted to whole units.
        ChartGraph &graph = window.graph();
        QCOMPARE(graph.axisMinimum(1), 23 / 24.0 + 3598 / 86400.0); // 23:59:58 on day 0
        QCOMPARE(graph.axisMaximum(1), 2 + (13 * 3600 + 2) / 86400.0);
        QCOMPARE(graph.axisMinimum(2), 4.0);
        QCOMPARE(graph.axisMaximum(2), 8.0);

        // A click in cursor mode takes cursor 1 there: its readout gives the
        // date and time of the log at that place, noon of the day between.
        auto *mode = window.findChild<GraphModeSelector *>();
        mode->setValue(2);
        ChartPlot &plot = window.plot();
        plot.replot();
        const QPoint noon(qRound(plot.transform(QwtPlot::xBottom, ChartTime::toAxis(1.5))),
                          plot.canvas()->height() / 2);
        QTest::mouseClick(plot.canvas(), Qt::LeftButton, Qt::NoModifier, noon);
        QVERIFY(window.findChild<QLabel *>("lblReviewCursor")
                    ->text()
                    .startsWith("Cursor 1: 2026-12-08 1"));

        // The second cursor comes up apart from the first, two thirds along.
        mode->setValue(3);
        const double left = graph.axisMinimum(1);
        const double width = graph.axisMaximum(1) - left;
        QVERIFY(std::abs(graph.cursorX(2) - (left + 2 * width / 3)) < 1e-9);
        QVERIFY(std::abs(graph.cursorX(1) - 1.5) < width / 100);
        // From zoom straight to both, the first comes up a third along.
        mode->setValue(0);
        graph.setCursorX(1, graph.cursorX(2));
        mode->setValue(3);
        QVERIFY(std::abs(graph.cursorX(1) - (left + width / 3)) < 1e-9);

        // Both cursors over the first run measure it.
        graph.setCursorX(1, 23 / 24.0 + 3598 / 86400.0);
        graph.setCursorX(2, 1 + 1 / 86400.0);
        graph.setCursorY(1, 7);
        graph.setCursorY(2, 7.25);
        plot.replot();
        QCOMPARE(plot.measurementText(),
                 QString::fromUtf8("Cursor 2 \u2212 1: 0:00:03, \u0394pH +0.25\n"
                                   "pH 1: min 7.00, max 8.00, mean 7.50\n"
                                   "pH 2: min 4.00, max 4.50, mean 4.17"));

        // What is shown goes out with the log's own dates and times.
        const QString csv = folder.filePath("points.csv");
        QCOMPARE(ChartExporter::savePoints(window.store(), graph.axisMinimum(1),
                                           graph.axisMaximum(1), csv),
                 QString());
        QFile exported(csv);
        QVERIFY(exported.open(QIODevice::ReadOnly));
        QCOMPARE(exported.readAll(),
                 QByteArray("Time,pH 1,pH 2,Kind\n"
                            "2026-12-07T23:59:58.000,7,4,reading\n"
                            "2026-12-07T23:59:59.000,7.5,4,reading\n"
                            "2026-12-08T00:00:01.000,8,4.5,reading\n"
                            "2026-12-09T13:00:00.000,6.5,5,reading\n"
                            "2026-12-09T13:00:02.000,6,5.5,reading\n"));
    }

    // Closed while its reader is half way and slices are on their way: the
    // reader stops, nothing it still hands over reaches the closed window
    // (the sanitizer build would see that), and the file opens again whole.
    void closedWhileLoading()
    {
        QTemporaryDir folder;
        const QString log = folder.filePath("long.txt");
        QFile file(log);
        QVERIFY(file.open(QIODevice::WriteOnly));
        // A hundred hours at one record a second, across four midnights.
        file.write(header("2026-12-07"));
        QByteArray records;
        for (int i = 0; i < 360000; ++i) {
            records += record(qPrintable(QTime(0, 0).addSecs(i).toString("H:mm:ss")), "7", "7.5");
            if (records.size() > (1 << 20))
                file.write(std::exchange(records, {}));
        }
        file.write(records);
        file.close();

        // Closed at once, as its first points are shown, and a tenth of the way.
        for (int stage : {0, 1, 2}) {
            auto window = std::make_unique<ReviewWindow>(QStringList{log});
            window->show();
            const auto *progress = window->findChild<QProgressBar *>("prgReading");
            QElapsedTimer waited;
            waited.start();
            while (waited.elapsed() < 20000 &&
                   ((stage == 1 && window->store().isEmpty()) ||
                    (stage == 2 && progress->value() < 100)))
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
            QVERIFY(!window->isLoaded());
            window.reset();
            QCoreApplication::sendPostedEvents();
        }
        ReviewWindow whole({log});
        QTRY_VERIFY_WITH_TIMEOUT(whole.isLoaded(), 60000);
        QCOMPARE(whole.failure(), QString());
        QVERIFY(whole.findChild<QPlainTextEdit *>("txtRuns")->toPlainText().startsWith(
            "Run 1, from line 2: 360000 records"));
    }

    // A week of daily files, named in any order or as their folder, is one
    // time line in date order; a file of the folder that is no log is named
    // under Problems, and the others still load. A journal is no log.
    // clang-format off
    void severalLogsOneTimeLine_data()
    {
        QTest::addColumn<QList<int>>("days"); // the order they are named in; empty: the folder
        QTest::addColumn<QStringList>("problems");

        QTest::newRow("weekOutOfOrder") << QList<int>{3, 0, 6, 1, 5, 2, 4} << QStringList();
        QTest::newRow("folderWithOtherFiles") << QList<int>()
            << QStringList{"empty.csv: it is empty",
                           "notes.txt: it is not a station log: its one line does not open a run "
                           "(\"Kestrom Science DGH Logging Program\")"};
    }
    // clang-format on
    void severalLogsOneTimeLine()
    {
        QFETCH(QList<int>, days);
        QFETCH(QStringList, problems);

        QTemporaryDir folder;
        const auto daily = [&](int day) {
            return folder.filePath(QStringLiteral("tank-2026-12-0%1.csv").arg(day + 1));
        };
        for (int day = 0; day < 7; ++day) {
            const QByteArray date = QStringLiteral("2026-12-0%1").arg(day + 1).toLatin1();
            QVERIFY(writeLog(daily(day),
                             header(date.constData()) + record("8:00:00", "7.0", "6.5") +
                                 record("12:00:00", "7.1", "6.6") +
                                 record("23:59:59", "7.2", "6.7")));
            QVERIFY(
                writeLog(daily(day) + ".events", date + "T12:00:00+01:00,6,fault,\"no answer\"\n"));
        }
        QVERIFY(writeLog(folder.filePath("notes.txt"), "Tank 7: probe 2 cleaned.\n"));
        QVERIFY(writeLog(folder.filePath("empty.csv"), ""));
        QStringList named;
        for (int day : days)
            named << daily(day);
        ReviewWindow window(named.isEmpty() ? QStringList{folder.path()} : named);
        window.show();
        QTRY_VERIFY_WITH_TIMEOUT(window.isLoaded(), 10000);
        QCOMPARE(window.failure(), QString());

        QCOMPARE(window.store().originDate(), QDate(2026, 12, 1));
        const PlotSeries &ph1 = window.store().series(1).tier(0);
        QCOMPARE(ph1.size(), 21);
        for (int day = 0; day < 7; ++day) {
            QCOMPARE(ph1.x(3 * day), day + 8 / 24.0);
            QCOMPARE(ph1.x(3 * day + 2), day + 86399 / 86400.0);
        }
        for (int i = 1; i < ph1.size(); ++i)
            QVERIFY2(ph1.x(i) > ph1.x(i - 1), qPrintable(QString::number(i)));
        const QString runs = window.findChild<QPlainTextEdit *>("txtRuns")->toPlainText();
        for (int day = 1; day < 7; ++day)
            QVERIFY(runs.indexOf(QFileInfo(daily(day - 1)).fileName()) <
                    runs.indexOf(QFileInfo(daily(day)).fileName()));
        QStringList said =
            window.findChild<QPlainTextEdit *>("txtProblems")->toPlainText().split('\n');
        said.removeAll(QString());
        for (QString &line : said)
            line = line.mid(folder.path().size() + 1);
        QCOMPARE(said, problems);
    }

    // Each unit on an axis of its own, two a plot, more plots stacked on the
    // first one's time axis. Each expected curve is "name@PLOT SIDE".
    // clang-format off
    void columnsOnAxes_data()
    {
        QTest::addColumn<QStringList>("toggled"); // boxes under "Show" clicked
        QTest::addColumn<QStringList>("axes");    // the plots' left and right titles
        QTest::addColumn<QStringList>("curves");

        const QString celsius = QString::fromUtf8("Temperature (\xc2\xb0" "C)");
        QTest::newRow("phAlone") << QStringList()
            << QStringList{"pH 1", "pH 2"}
            << QStringList{"Probe 1 pH@0L", "Probe 2 pH@0L"};
        QTest::newRow("phAndTemperatures") << QStringList{"chkTherm1", "chkTherm3"}
            << QStringList{"pH", celsius}
            << QStringList{"Thermistor 1@0R", "Thermistor 3@0R", "Probe 1 pH@0L", "Probe 2 pH@0L"};
        QTest::newRow("fourUnits") << QStringList{"chkMillivolts", "chkTherm2", "chkFlowHz"}
            << QStringList{"pH", "Millivolts (mV)", celsius, "Flow (Hz)"}
            << QStringList{"Thermistor 2@1L", "Probe 1 mV@0R", "Probe 2 mV@0R", "Probe 1 pH@0L",
                           "Probe 2 pH@0L", "Flow (Hz)@1R"};
        QTest::newRow("noPh") << QStringList{"chkPh", "chkLitres", "chkFlowRate"}
            << QStringList{"Flow (L/min)", "Total (L)"}
            << QStringList{"Flow (L/min)@0L", "Total litres@0R"};
    }
    // clang-format on
    void columnsOnAxes()
    {
        QFETCH(QStringList, toggled);
        QFETCH(QStringList, axes);
        QFETCH(QStringList, curves);

        QTemporaryDir folder;
        const QString log = folder.filePath("all.txt");
        QByteArray records;
        for (int i = 0; i < 10; ++i)
            records += "\"10:00:0" + QByteArray::number(i) + "\",21.5,21.75,22,2545.3,2601.7," +
                QByteArray::number(7 + i / 10.0) + ",6.9,172.5,1.5,\"" +
                QByteArray::number(37 + i) + "\"\r\n";
        QVERIFY(writeLog(log, header("2026-12-07") + records));
        ReviewWindow window({log});
        window.resize(900, 700);
        window.show();
        QTRY_VERIFY_WITH_TIMEOUT(window.isLoaded(), 10000);
        for (const QString &box : toggled) {
            window.findChild<QCheckBox *>(box)->click();
            QTRY_VERIFY_WITH_TIMEOUT(window.isLoaded(), 10000);
        }

        ReviewChart &chart = window.chart();
        QList<QwtPlot *> plots{&window.plot()};
        for (TimePlot *plot : chart.stackedPlots())
            plots << plot;
        QStringList titles;
        for (QwtPlot *plot : plots)
            for (const int axis : {QwtPlot::yLeft, QwtPlot::yRight})
                if (!plot->axisTitle(axis).text().isEmpty())
                    titles << plot->axisTitle(axis).text();
        QCOMPARE(titles, axes);
        QStringList shown;
        for (int column = 0; column < LogColumns::Count; ++column) {
            const EnvelopeCurve *curve = chart.curveOf(column);
            if (!curve)
                continue;
            QVERIFY(curve->isVisible() && curve->series().size() == 10); // every record read
            shown << QStringLiteral("%1@%2%3")
                         .arg(curve->title().text())
                         .arg(plots.indexOf(curve->plot()))
                         .arg(curve->yAxis() == QwtPlot::yLeft ? 'L' : 'R');
        }
        QCOMPARE(shown, curves);
        // One time axis, at the bottom, that the plots above it share.
        for (QwtPlot *plot : plots) {
            QCOMPARE(plot->axisEnabled(QwtPlot::xBottom), plot == plots.last());
            QCOMPARE(plot->axisScaleDiv(QwtPlot::xBottom).interval(),
                     window.plot().axisScaleDiv(QwtPlot::xBottom).interval());
        }
        window.graph().setAxisRange(1, 10 / 24.0, 10 / 24.0 + 5 / 86400.0);
        for (QwtPlot *plot : plots)
            QCOMPARE(plot->axisScaleDiv(QwtPlot::xBottom).upperBound(),
                     ChartTime::toAxis(10 / 24.0 + 5 / 86400.0));
    }

    // The journal beside the log shades the stretch a module failed, behind
    // the curves, and a tooltip there gives its lines.
    void journalShaded()
    {
        QTemporaryDir folder;
        const QString log = folder.filePath("tank.txt");
        QByteArray records;
        for (int i = 0; i < 60; ++i)
            records +=
                record(qPrintable(QTime(10, 0).addSecs(i * 10).toString("H:mm:ss")), "7", "7.2");
        QVERIFY(writeLog(log, header("2026-12-07") + records));
        QVERIFY(writeLog(log + ".events",
                         "2026-12-07T10:02:00+01:00,6,fault,\"Probe 1: no answer\"\n"
                         "2026-12-07T10:04:00+01:00,6,answering again,\"Works again after 120 "
                         "faults\"\n"));
        ReviewWindow window({log});
        window.resize(900, 640);
        window.show();
        QTRY_VERIFY_WITH_TIMEOUT(window.isLoaded(), 10000);
        ChartPlot &plot = window.plot();
        plot.replot();
        QImage drawn(plot.size(), QImage::Format_RGB32);
        plot.render(&drawn);
        const QWidget *canvas = plot.canvas();
        const auto pixelAt = [&](double minute) {
            return canvas->pos().x() +
                qRound(plot.transform(QwtPlot::xBottom,
                                      ChartTime::toAxis((600 + minute) / 1440.0)));
        };
        // Between the two probes' lines, at the top and bottom of the fitted axis.
        const int row = canvas->pos().y() + canvas->height() / 2;
        // A few pixels across, as a grid line may cross the one asked for.
        const auto tinted = [&](double minute) {
            for (int dx = -3; dx <= 3; ++dx) {
                const QColor c = drawn.pixelColor(pixelAt(minute) + dx, row);
                if (c.red() > c.green() + 20)
                    return true;
            }
            return false;
        };
        QVERIFY(!tinted(1.5) && tinted(2.3) && tinted(3.7) && !tinted(4.3));
        QHelpEvent help(QEvent::ToolTip, QPoint(pixelAt(3) - canvas->pos().x(), 20),
                        canvas->mapToGlobal(QPoint(pixelAt(3) - canvas->pos().x(), 20)));
        QApplication::sendEvent(plot.canvas(), &help);
        QVERIFY2(QToolTip::text().startsWith(
                     "Probe 1 (module 6) failing from 2026-12-07 10:02:00 to 2026-12-07 10:04:00\n"
                     "2026-12-07T10:02:00+01:00,6,fault,\"Probe 1: no answer\""),
                 qPrintable(QToolTip::text()));
    }

    // Every run in view, whatever the order of their dates and times.
    // clang-format off
    void wholeLogInView_data()
    {
        QTest::addColumn<QByteArray>("log");
        QTest::addColumn<double>("first"); // days from the first run's date
        QTest::addColumn<double>("last");

        // A clock set back two days between runs, then half an hour in a run.
        QTest::newRow("runDatedEarlier")
            << header("2026-12-07") + record("10:00:00", "7", "7.2") + record("10:00:01", "7.5", "7.4") +
               header("2026-12-05") + record("11:00:00", "6.8", "7") + record("11:00:01", "6.9", "7.1")
            << -2 + 11 / 24.0 << 10 / 24.0 + 1 / 86400.0;
        QTest::newRow("clockSetBackInRun")
            << header("2026-12-07") + record("10:00:00", "7", "7.2") + record("10:00:01", "7.5", "7.4") +
               record("9:30:00", "6.8", "7") + record("9:30:01", "6.9", "7.1")
            << 9.5 / 24.0 << 10 / 24.0 + 1 / 86400.0;
    }
    // clang-format on
    void wholeLogInView()
    {
        QFETCH(QByteArray, log);
        QFETCH(double, first);
        QFETCH(double, last);

        QTemporaryDir folder;
        const QString fileName = folder.filePath("order.txt");
        QVERIFY(writeLog(fileName, log));
        ReviewWindow window({fileName});
        window.show();
        QTRY_VERIFY_WITH_TIMEOUT(window.isLoaded(), 10000);
        QCOMPARE(window.store().series(1).size(), 4);
        ChartGraph &graph = window.graph();
        QVERIFY2(std::abs(graph.axisMinimum(1) - first) < 1e-9,
                 qPrintable(QString::number(graph.axisMinimum(1))));
        QVERIFY2(std::abs(graph.axisMaximum(1) - last) < 1e-9,
                 qPrintable(QString::number(graph.axisMaximum(1))));
    }

    // The "pH 2" axis shows what "pH 1" shows, after any gesture, with no
    // later drawing to put it right: a log under review gets no new points.
    void phAxesMoveTogether_data()
    {
        QTest::addColumn<int>("mode");
        QTest::newRow("zoomIn") << int(Graph::ZoomMode);
        QTest::newRow("pan") << int(Graph::PanMode);
    }
    void phAxesMoveTogether()
    {
        QFETCH(int, mode);

        QTemporaryDir folder;
        const QString fileName = folder.filePath("zoom.txt");
        QByteArray log = header("2026-12-07");
        for (int i = 0; i < 60; ++i)
            log += record(qPrintable(QTime(10, 0).addSecs(i).toString("H:mm:ss")),
                          qPrintable(QString::number(6.5 + i / 60.0)), "7.2");
        QVERIFY(writeLog(fileName, log));
        ReviewWindow window({fileName});
        window.resize(900, 640);
        window.show();
        QTRY_VERIFY_WITH_TIMEOUT(window.isLoaded(), 10000);
        QTest::qWait(20); // every drawing the loading asked for is done
        ChartGraph &graph = window.graph();
        graph.setInteractionMode(mode);
        QWidget *canvas = window.plot().canvas();
        const QRect area = canvas->contentsRect();
        drag(canvas, area.center() - QPoint(area.width() / 4, area.height() / 4),
             area.center() + QPoint(area.width() / 4, area.height() / 8));
        QTest::qWait(20);
        const double bottom = graph.axisMinimum(2);
        const double top = graph.axisMaximum(2);
        QVERIFY(bottom != 6 || top != 8); // the fitted range was left
        QCOMPARE(graph.axisMinimum(3), bottom);
        QCOMPARE(graph.axisMaximum(3), top);
    }

    // A file that is no log, or cannot be read, says why in the status bar
    // and under Problems, and shows them.
    // clang-format off
    void unreadableFileSaysWhy_data()
    {
        QTest::addColumn<QString>("kind"); // "missing", "fifo" or "file" holding the bytes
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("why");

        QTest::newRow("missing") << "missing" << QByteArray()
            << "it could not be opened: No such file or directory";
        QTest::newRow("fifo") << "fifo" << QByteArray()
            << "it is not a regular file: a FIFO (named pipe)";
        QTest::newRow("crOnly") << "file" << QByteArray(header("2026-12-07")).replace("\r\n", "\r")
            << "it is not a station log: its lines end in CR alone, where a station log's end in "
               "CR LF, and none opens a run (\"Kestrom Science DGH Logging Program\")";
    }
    // clang-format on
    void unreadableFileSaysWhy()
    {
        QFETCH(QString, kind);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, why);

        QTemporaryDir folder;
        const QString log = folder.filePath(QTest::currentDataTag());
        if (kind == "fifo")
            QCOMPARE(::mkfifo(QFile::encodeName(log).constData(), 0600), 0);
        else if (kind == "file")
            QVERIFY(writeLog(log, bytes));
        {
            ReviewWindow window({log});
            window.show();
            QTRY_VERIFY_WITH_TIMEOUT(window.isLoaded(), 10000);
            const QString said = log + ": " + why;
            QCOMPARE(window.findChild<QPlainTextEdit *>("txtProblems")->toPlainText(), said);
            QCOMPARE(window.findChild<QTabWidget *>()->currentIndex(), 1);
            QCOMPARE(window.findChild<QLabel *>("lblReviewStatus")->text(), said);
        }
        QTRY_COMPARE_WITH_TIMEOUT(LogLoader::readersRunning(), 0, 10000);
    }
};

QTEST_MAIN(TestReviewWindow)
#include "test_review_window.moc"
