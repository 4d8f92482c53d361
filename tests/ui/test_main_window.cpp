#include "fakes/FakeClock.h"
#include "fakes/FakeMessageBox.h"
#include "fakes/FakeSerialPort.h"
#include "fakes/FakeSettingsStore.h"
#include "fakes/FakeWidgets.h"
#include "platform/qt/widgets/MarkedSlider.h"
#include "platform/qt/widgets/PanelStatusBar.h"
#include "ui/chart/ChartPlot.h"
#include "ui/main/MainWindow.h"
#include "ui/main/Station.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <qwt_knob.h>
#include <qwt_scale_div.h>
#include <qwt_slider.h>

#include <memory>

namespace {

// A fresh window and station over fakes, with the lamps in a program folder
// of its own.
struct Rig
{
    explicit Rig(bool withLamps = true)
    {
        if (withLamps) {
            QDir(folder.path()).mkpath(QStringLiteral("icons"));
            for (const char *lamp : {"redlight.bmp", "greenlight.bmp"})
                QFile::copy(QStringLiteral(DGH_ICONS_DIR "/") + lamp,
                            folder.filePath(QStringLiteral("icons/")) + lamp);
        }
        port.open_ = false;
        station = std::make_unique<Station>(
            window, Station::Platform{port, clock, settings, messages, inputs}, folder.path());
    }

    template <typename T> T *find(const QString &name) const { return window.findChild<T *>(name); }

    QTemporaryDir folder;
    FakeSerialPort port;
    FakeClock clock;
    FakeSettingsStore settings;
    FakeMessageBox messages;
    FakeInputBox inputs;
    MainWindow window;
    std::unique_ptr<Station> station;
};

// Chart axis 2 ("pH 1") or 3 ("pH 2") as the widget shows it.
QwtInterval phAxis(const ChartPlot *chart, int axis)
{
    return chart->axisScaleDiv(axis == 2 ? QwtPlot::yLeft : QwtPlot::yRight).interval();
}

const QStringList ValueLabels{"lblTherm1", "lblTherm2", "lblTherm3", "lblpH",           "lblmV",
                              "lblpH1",    "lblmV1",    "lblHz",     "lblLitersPerMin", "liters"};

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void namedControls_data();
    void namedControls();
    void valueLabelsLook_data();
    void valueLabelsLook();
    void scalesAtStart_data();
    void scalesAtStart();
    void stateAfterStartUp();
    void knobsRescaleTheirDisplays_data();
    void knobsRescaleTheirDisplays();
    void failedStartUp_data();
    void failedStartUp();
    void readTickSendsNothingUntilASwitchIsOn();
    void unattendedStart_data();
    void unattendedStart();
    void unattendedLogging();
    void menuCommandsOpenOneWindowEach_data();
    void menuCommandsOpenOneWindowEach();
    void commPortAsksForANumber();
    void noReadTickWhileCommPortAsks();
    void sizeStaysThroughLoggingRuns();
    void resetScaleUndoesAZoom();
    void exitEndsTheRun_data();
    void exitEndsTheRun();
    void fitsTheDesignedSize();
};

// clang-format off
void TestMainWindow::namedControls_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("className");
    QTest::addColumn<QString>("text"); // caption, title or text at start; "-" for none

    QTest::newRow("window")        << "frmMain"       << "QMainWindow"  << "Kestrom DGH GUI  Ver. 2.1";
    QTest::newRow("cwbFlow")       << "cwbFlow"       << "QPushButton"  << "Start";
    QTest::newRow("cwbPh")         << "cwbPh"         << "QPushButton"  << "Enable DGH";
    QTest::newRow("cwbTherm")      << "cwbTherm"      << "QPushButton"  << "Start";
    QTest::newRow("cwPlot")        << "cwPlot"        << "QPushButton"  << "Start Plot";
    QTest::newRow("cwbReset")      << "cwbReset"      << "QPushButton"  << "Reset";
    QTest::newRow("CWButton3")     << "CWButton3"     << "QPushButton"  << "Reset";
    QTest::newRow("Command1")      << "Command1"      << "QPushButton"  << "Reset Scale";
    QTest::newRow("lblpH0")        << "lblpH0"        << "QLabel"       << "pH Probe #1";
    QTest::newRow("Label1")        << "Label1"        << "QLabel"       << "pH Probe #2";
    QTest::newRow("CWSlideTherm1") << "CWSlideTherm1" << "MarkedSlider" << "-";
    QTest::newRow("CWSlideTherm2") << "CWSlideTherm2" << "MarkedSlider" << "-";
    QTest::newRow("CWSlideTherm3") << "CWSlideTherm3" << "MarkedSlider" << "-";
    QTest::newRow("CWSlideFlow")   << "CWSlideFlow"   << "QwtSlider"    << "-";
    QTest::newRow("CWSlideLiters") << "CWSlideLiters" << "QwtSlider"    << "-";
    QTest::newRow("GraphMode")     << "GraphMode"     << "QwtSlider"    << "-";
    QTest::newRow("CWGraph1")      << "CWGraph1"      << "QwtPlot"      << "-";
    QTest::newRow("CWtherMin")     << "CWtherMin"     << "QwtKnob"      << "-";
    QTest::newRow("CWtherMax")     << "CWtherMax"     << "QwtKnob"      << "-";
    QTest::newRow("CWpHmin")       << "CWpHmin"       << "QwtKnob"      << "-";
    QTest::newRow("CWpHmax")       << "CWpHmax"       << "QwtKnob"      << "-";
    QTest::newRow("CWKnobflow")    << "CWKnobflow"    << "QwtKnob"      << "-";
    QTest::newRow("optTherm")      << "optTherm"      << "QButtonGroup" << "-";
    QTest::newRow("optTherm1")     << "optTherm1"     << "QButtonGroup" << "-";
    QTest::newRow("StatusBar1")    << "StatusBar1"    << "QStatusBar"   << "-";
    QTest::newRow("tmrRd")         << "tmrRd"         << "QTimer"       << "-";
    QTest::newRow("tmrPlot")       << "tmrPlot"       << "QTimer"       << "-";
    QTest::newRow("tmrLogger")     << "tmrLogger"     << "QTimer"       << "-";
    QTest::newRow("mnuFile")       << "mnuFile"       << "QMenu"        << "&File";
    QTest::newRow("mnuLog")        << "mnuLog"        << "QMenu"        << "&Logging";
    QTest::newRow("mnuCal")        << "mnuCal"        << "QMenu"        << "&Calibration";
    QTest::newRow("mnuExit")       << "mnuExit"       << "QAction"      << "E&xit";
    QTest::newRow("mnuLogSetup")   << "mnuLogSetup"   << "QAction"      << "&Setup";
    QTest::newRow("mnuStop")       << "mnuStop"       << "QAction"      << "Stop &Logging";
    QTest::newRow("mnuPhCal")      << "mnuPhCal"      << "QAction"      << "&pH calibration values";
    QTest::newRow("mnuComPort")    << "mnuComPort"    << "QAction"      << "C&omm Port";
    for (const QString &label : ValueLabels)
        QTest::newRow(qPrintable(label)) << label << "QLabel" << "000";
}
// clang-format on

void TestMainWindow::namedControls()
{
    QFETCH(QString, name);
    QFETCH(QString, className);
    QFETCH(QString, text);

    Rig rig;
    QObject *control = name == rig.window.objectName() ? &rig.window : rig.find<QObject>(name);
    QVERIFY2(control, qPrintable(name));
    QVERIFY2(control->inherits(qPrintable(className)), control->metaObject()->className());
    if (text == QLatin1String("-"))
        return;
    QString shown;
    if (auto *w = qobject_cast<QMainWindow *>(control))
        shown = w->windowTitle();
    else if (auto *b = qobject_cast<QAbstractButton *>(control))
        shown = b->text();
    else if (auto *l = qobject_cast<QLabel *>(control))
        shown = l->text();
    else if (auto *m = qobject_cast<QMenu *>(control))
        shown = m->title();
    else if (auto *a = qobject_cast<QAction *>(control))
        shown = a->text();
    QCOMPARE(shown, text);
}

// clang-format off
void TestMainWindow::valueLabelsLook_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QColor>("digits");

    const QColor green(0, 230, 0);
    const QColor red(255, 48, 48);
    for (const QString &label : ValueLabels) {
        const bool probeTwo = label == QLatin1String("lblpH1") || label == QLatin1String("lblmV1");
        QTest::newRow(qPrintable(label)) << label << (probeTwo ? red : green);
    }
}
// clang-format on

void TestMainWindow::valueLabelsLook()
{
    QFETCH(QString, name);
    QFETCH(QColor, digits);

    Rig rig;
    auto *label = rig.find<QLabel>(name);
    QVERIFY(label);
    QCOMPARE(label->palette().color(QPalette::Window), QColor(Qt::black));
    QCOMPARE(label->palette().color(QPalette::WindowText), digits);
    QVERIFY(label->autoFillBackground());
    QCOMPARE(label->font().pointSize(), 18);
    QVERIFY(label->font().bold() || label->font().family() == QLatin1String("Haettenschweiler"));
    // Each value sits in a frame captioned with what it is.
    QVERIFY(qobject_cast<QGroupBox *>(label->parentWidget()));
}

// clang-format off
void TestMainWindow::scalesAtStart_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("maximum");
    QTest::addColumn<double>("value");

    QTest::newRow("CWSlideTherm1") << "CWSlideTherm1" << 5.0  << 25.0  << 5.0;
    QTest::newRow("CWSlideTherm2") << "CWSlideTherm2" << 5.0  << 25.0  << 5.0;
    QTest::newRow("CWSlideTherm3") << "CWSlideTherm3" << 5.0  << 25.0  << 5.0;
    QTest::newRow("CWSlideFlow")   << "CWSlideFlow"   << 0.0  << 5.0   << 0.0;
    QTest::newRow("CWSlideLiters") << "CWSlideLiters" << 0.0  << 2.0   << 0.0;
    QTest::newRow("CWtherMin")     << "CWtherMin"     << 0.0  << 30.0  << 5.0;
    QTest::newRow("CWtherMax")     << "CWtherMax"     << 0.0  << 30.0  << 25.0;
    QTest::newRow("CWpHmin")       << "CWpHmin"       << 0.0  << 20.0  << 0.0;
    QTest::newRow("CWpHmax")       << "CWpHmax"       << 0.0  << 20.0  << 15.0;
    QTest::newRow("CWKnobflow")    << "CWKnobflow"    << 25.0 << 400.0 << 25.0;
}
// clang-format on

void TestMainWindow::scalesAtStart()
{
    QFETCH(QString, name);
    QFETCH(double, minimum);
    QFETCH(double, maximum);
    QFETCH(double, value);

    Rig rig;
    QVERIFY(rig.station->start());
    auto *control = rig.find<QwtAbstractSlider>(name);
    QVERIFY(control);
    QCOMPARE(control->lowerBound(), minimum);
    QCOMPARE(control->upperBound(), maximum);
    QCOMPARE(control->value(), value);
}

void TestMainWindow::stateAfterStartUp()
{
    Rig rig;
    QVERIFY(rig.station->start());
    QVERIFY(rig.messages.texts.isEmpty());
    QCOMPARE(rig.port.openCalls, 1);

    auto *bar = rig.find<PanelStatusBar>("StatusBar1");
    QCOMPARE(bar->panel(4)->text(), QStringLiteral("Not Logging"));
    QCOMPARE(bar->pictureLabel()->pixmap(Qt::ReturnByValue).size(), QSize(16, 16));
    const QImage lamp = bar->pictureLabel()->pixmap(Qt::ReturnByValue).toImage();
    const QColor centre = lamp.pixelColor(8, 9);
    QVERIFY2(centre.red() > 2 * centre.green(), "the red lamp shows");

    for (const QString &name : ValueLabels)
        QCOMPARE(rig.find<QLabel>(name)->text(), QStringLiteral("000"));
    for (const char *name : {"cwbFlow", "cwbPh", "cwbTherm", "cwPlot", "cwbReset", "CWButton3"})
        QVERIFY2(!rig.find<QAbstractButton>(name)->isChecked(), name);
    QCOMPARE(rig.station->state().flowEnabled, FlagOff);
    QCOMPARE(rig.station->state().phEnabled, FlagOff);
    QCOMPARE(rig.station->state().thermEnabled, FlagOff);

    for (const char *group : {"optTherm", "optTherm1"})
        QCOMPARE(rig.find<QButtonGroup>(group)->checkedId(), 0);

    auto *chart = rig.find<ChartPlot>("CWGraph1");
    for (int axis : {2, 3}) {
        QCOMPARE(phAxis(chart, axis).minValue(), 0.0);
        QCOMPARE(phAxis(chart, axis).maxValue(), 15.0);
    }

    QVERIFY(rig.find<QAction>("mnuExit")->isEnabled());
    QVERIFY(rig.find<QAction>("mnuLogSetup")->isEnabled());
    QVERIFY(!rig.find<QAction>("mnuStop")->isEnabled());
    QVERIFY(rig.find<QAction>("mnuPhCal")->isEnabled());
    QVERIFY(rig.find<QAction>("mnuComPort")->isEnabled());
    // The Comm Port entry is a command on the menu bar itself.
    QVERIFY(rig.window.menuBar()->actions().contains(rig.find<QAction>("mnuComPort")));
    QVERIFY(!rig.find<QAction>("mnuComPort")->menu());

    auto *tmrRd = rig.find<QTimer>("tmrRd");
    QVERIFY(tmrRd->isActive());
    QCOMPARE(tmrRd->interval(), 1000);
    QVERIFY(!rig.find<QTimer>("tmrPlot")->isActive());
    QCOMPARE(rig.find<QTimer>("tmrPlot")->interval(), 1000);
    QVERIFY(!rig.find<QTimer>("tmrLogger")->isActive()); // interval 0 never ticks
    QCOMPARE(rig.find<QTimer>("tmrLogger")->interval(), 0);

    // The calibration defaults are in the shared record, the store untouched.
    QCOMPARE(rig.station->state().probe1Offset, 2.5777);
    QCOMPARE(rig.station->state().probe2Slope, 4.5427);
    QCOMPARE(rig.settings.writes, 0);
}

// clang-format off
void TestMainWindow::knobsRescaleTheirDisplays_data()
{
    QTest::addColumn<QString>("knob");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("display"); // a slide, or "pH axes" for both chart axes
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("maximum");

    QTest::newRow("therMaxTo30")  << "CWtherMax"  << 30.0  << "CWSlideTherm3" << 5.0  << 30.0;
    QTest::newRow("therMinTo10")  << "CWtherMin"  << 10.0  << "CWSlideTherm1" << 10.0 << 25.0;
    QTest::newRow("phMinTo4")     << "CWpHmin"    << 4.0   << "pH axes"       << 4.0  << 15.0;
    QTest::newRow("phMaxTo9")     << "CWpHmax"    << 9.0   << "pH axes"       << 0.0  << 9.0;
    QTest::newRow("tankScale200") << "CWKnobflow" << 200.0 << "CWSlideLiters" << 0.0  << 200.0;
}
// clang-format on

void TestMainWindow::knobsRescaleTheirDisplays()
{
    QFETCH(QString, knob);
    QFETCH(double, value);
    QFETCH(QString, display);
    QFETCH(double, minimum);
    QFETCH(double, maximum);

    Rig rig;
    QVERIFY(rig.station->start());
    rig.find<QwtKnob>(knob)->setValue(value); // as the operator's turn ends

    if (display == QLatin1String("pH axes")) {
        auto *chart = rig.find<ChartPlot>("CWGraph1");
        for (int axis : {2, 3}) {
            QCOMPARE(phAxis(chart, axis).minValue(), minimum);
            QCOMPARE(phAxis(chart, axis).maxValue(), maximum);
        }
        return;
    }
    auto *slide = rig.find<QwtSlider>(display);
    QCOMPARE(slide->lowerBound(), minimum);
    QCOMPARE(slide->upperBound(), maximum);
}

// clang-format off
void TestMainWindow::failedStartUp_data()
{
    QTest::addColumn<int>("openResult");
    QTest::addColumn<bool>("withLamps");
    QTest::addColumn<QString>("messagePart");
    QTest::addColumn<QString>("panel4");

    QTest::newRow("portMissing") << int(SerialPort::InvalidPortError) << true  << "8002"         << "";
    QTest::newRow("portInUse")   << int(SerialPort::PortInUseError)   << true  << "8005"         << "";
    QTest::newRow("lampMissing") << int(SerialPort::NoError)          << false << "redlight.bmp" << "Not Logging";
}
// clang-format on

void TestMainWindow::failedStartUp()
{
    QFETCH(int, openResult);
    QFETCH(bool, withLamps);
    QFETCH(QString, messagePart);
    QFETCH(QString, panel4);

    Rig rig(withLamps);
    rig.port.openResult = openResult;
    QVERIFY(!rig.station->start());
    QCOMPARE(rig.messages.texts.size(), 1);
    QVERIFY2(rig.messages.texts.first().contains(messagePart),
             qPrintable(rig.messages.texts.first()));
    QCOMPARE(rig.find<PanelStatusBar>("StatusBar1")->panel(4)->text(), panel4);
    // Start-up ended before the knobs and the timers.
    QCOMPARE(rig.find<QwtKnob>("CWtherMax")->value(), 0.0);
    QVERIFY(!rig.find<QTimer>("tmrRd")->isActive());
    QCOMPARE(rig.station->state().probe1Offset, 0.0);
}

void TestMainWindow::readTickSendsNothingUntilASwitchIsOn()
{
    Rig rig;
    QVERIFY(rig.station->start());
    rig.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&rig.window));
    auto *tmrRd = rig.find<QTimer>("tmrRd");
    int ticks = 0;
    connect(tmrRd, &QTimer::timeout, this, [&ticks] { ++ticks; });
    tmrRd->start(5); // the same handler, sooner

    QTRY_VERIFY(ticks >= 5);
    QVERIFY(rig.port.writes.isEmpty());
    QVERIFY(rig.messages.texts.isEmpty());

    // The operator's press: the next tick polls the flow module.
    rig.port.scriptAddress("5", "*+00100.00\r");
    QTest::mouseClick(rig.find<QPushButton>("cwbFlow"), Qt::LeftButton);
    QCOMPARE(rig.station->state().flowEnabled, FlagOn);
    QTRY_VERIFY(!rig.port.writes.isEmpty());
    QCOMPARE(rig.port.writes.first(), QByteArray("$5RD\r"));
    QTRY_COMPARE(rig.find<QLabel>("lblHz")->text(), QStringLiteral("100"));
}

// clang-format off
void TestMainWindow::unattendedStart_data()
{
    QTest::addColumn<QString>("poll");
    QTest::addColumn<bool>("plot");
    QTest::addColumn<QStringList>("on"); // switches on afterwards

    QTest::newRow("nothing")    << ""              << false << QStringList{};
    QTest::newRow("flowOnly")   << "flow"          << false << QStringList{"cwbFlow"};
    QTest::newRow("phAndTherm") << "ph,therm"      << false << QStringList{"cwbPh", "cwbTherm"};
    QTest::newRow("everything") << "flow,ph,therm" << true  << QStringList{"cwbFlow", "cwbPh", "cwbTherm", "cwPlot"};
    QTest::newRow("plotOnly")   << ""              << true  << QStringList{"cwPlot"};
}
// clang-format on

void TestMainWindow::unattendedStart()
{
    QFETCH(QString, poll);
    QFETCH(bool, plot);
    QFETCH(QStringList, on);

    Rig rig;
    QVERIFY(rig.station->start());
    StationOptions options;
    options.pollFlow = poll.contains("flow");
    options.pollPh = poll.contains("ph");
    options.pollTherm = poll.contains("therm");
    options.plot = plot;
    QString error = "untouched";
    QVERIFY(rig.station->applyOptions(options, &error));
    QVERIFY(error.isEmpty());

    for (const char *name : {"cwbFlow", "cwbPh", "cwbTherm", "cwPlot"}) {
        auto *button = rig.find<QAbstractButton>(name);
        QCOMPARE(button->isChecked(), on.contains(name));
    }
    // The switches' own handling ran, as for the operator's press.
    QCOMPARE(rig.station->state().flowEnabled, on.contains("cwbFlow") ? FlagOn : FlagOff);
    QCOMPARE(rig.station->state().phEnabled, on.contains("cwbPh") ? FlagOn : FlagOff);
    QCOMPARE(rig.station->state().thermEnabled, on.contains("cwbTherm") ? FlagOn : FlagOff);
    QCOMPARE(rig.find<QPushButton>("cwbPh")->text(),
             on.contains("cwbPh") ? QStringLiteral("Disable DGH") : QStringLiteral("Enable DGH"));
    QCOMPARE(rig.find<QTimer>("tmrPlot")->isActive(), plot);
}

void TestMainWindow::unattendedLogging()
{
    Rig rig;
    QVERIFY(rig.station->start());
    StationOptions options;
    options.logFile = rig.folder.filePath("run.csv");
    options.logMode = StationOptions::LogMode::Overwrite;
    options.logIntervalSeconds = 2;
    QString error;
    QVERIFY2(rig.station->applyOptions(options, &error), qPrintable(error));

    QCOMPARE(rig.find<PanelStatusBar>("StatusBar1")->panel(4)->text(), QStringLiteral("Logging"));
    QVERIFY(rig.find<QAction>("mnuStop")->isEnabled());
    QVERIFY(!rig.find<QAction>("mnuLogSetup")->isEnabled());
    auto *tmrLogger = rig.find<QTimer>("tmrLogger");
    QVERIFY(tmrLogger->isActive());
    QCOMPARE(tmrLogger->interval(), 2000);
    QVERIFY(QFileInfo(options.logFile).size() > 0); // the header is written

    // A file that cannot be opened is refused with a reason.
    Rig other;
    QVERIFY(other.station->start());
    options.logFile = other.folder.filePath("no/such/folder/run.csv");
    QVERIFY(!other.station->applyOptions(options, &error));
    QVERIFY(!error.isEmpty());
    QCOMPARE(other.find<PanelStatusBar>("StatusBar1")->panel(4)->text(),
             QStringLiteral("Not Logging"));
}

// clang-format off
void TestMainWindow::menuCommandsOpenOneWindowEach_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("dialogClass");

    QTest::newRow("loggingSetup") << "mnuLogSetup" << "FrmLogKestrom";
    QTest::newRow("calibration")  << "mnuPhCal"    << "CalibrationDialog";
}
// clang-format on

void TestMainWindow::menuCommandsOpenOneWindowEach()
{
    QFETCH(QString, entry);
    QFETCH(QString, dialogClass);

    Rig rig;
    QVERIFY(rig.station->start());
    rig.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&rig.window));
    auto openDialogs = [&] {
        int count = 0;
        for (QWidget *w : QApplication::topLevelWidgets())
            count += w->inherits(qPrintable(dialogClass)) && w->isVisible();
        return count;
    };
    QCOMPARE(openDialogs(), 0);
    rig.find<QAction>(entry)->trigger();
    QCOMPARE(openDialogs(), 1);
    // Again while it is open: the same window, not a second one; modeless,
    // so the read timer keeps running.
    rig.find<QAction>(entry)->trigger();
    QCOMPARE(openDialogs(), 1);
    QVERIFY(rig.find<QTimer>("tmrRd")->isActive());
}

void TestMainWindow::commPortAsksForANumber()
{
    Rig rig;
    QVERIFY(rig.station->start());
    rig.inputs.answer = QStringLiteral(" 3 ");
    rig.find<QAction>("mnuComPort")->trigger();
    QCOMPARE(rig.inputs.prompts, QStringList{"Enter Commport Number"});
    QCOMPARE(rig.inputs.titles, QStringList{"Commport Setup"});
    QCOMPARE(rig.port.closeCalls, 1);
    QCOMPARE(rig.port.portNumber(), qint16(3));
    QVERIFY(rig.port.isOpen());
    QVERIFY(rig.messages.texts.isEmpty());
}

void TestMainWindow::noReadTickWhileCommPortAsks()
{
    Rig rig;
    QVERIFY(rig.station->start());
    QTest::mouseClick(rig.find<QPushButton>("cwbFlow"), Qt::LeftButton);
    // The operator takes a second and a half over the number; read ticks
    // fall due meanwhile, on a port Comm Port has closed.
    rig.inputs.whileOpen = [] { QTest::qWait(1500); };
    rig.find<QAction>("mnuComPort")->trigger();
    QVERIFY(rig.port.writes.isEmpty());
    QVERIFY(rig.messages.texts.isEmpty());
    QVERIFY(rig.find<QPushButton>("cwbFlow")->isChecked());
}

void TestMainWindow::sizeStaysThroughLoggingRuns()
{
    Rig rig;
    QVERIFY(rig.station->start());
    rig.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&rig.window));
    const QSize shown = rig.window.size();
    const int minimum = rig.window.minimumSizeHint().width();

    // Six runs into files of long names, then one of 250 characters.
    StationOptions options;
    options.logMode = StationOptions::LogMode::Overwrite;
    options.logIntervalSeconds = 60;
    QString panel;
    for (int run = 0; run < 7; ++run) {
        const QString name = run < 6 ? QStringLiteral("tank-farm-north-run-%1.csv").arg(run)
                                     : QString(246, QLatin1Char('x')) + QStringLiteral(".csv");
        options.logFile = rig.folder.filePath(name);
        QString error;
        QVERIFY2(rig.station->applyOptions(options, &error), qPrintable(error));
        rig.find<QAction>("mnuStop")->trigger();
        panel += QStringLiteral("  ") + options.logFile;
    }
    QTest::qWait(50);
    auto *panel1 = rig.find<PanelStatusBar>("StatusBar1")->panel(1);
    QCOMPARE(panel1->text(), panel); // the text as it is specified, whole
    panel1->grab();                  // drawn, elided to its room
    QCOMPARE(panel1->toolTip(), panel);
    QCOMPARE(rig.window.minimumSizeHint().width(), minimum);
    QCOMPARE(rig.window.size(), shown);

    // With the fault and MQTT panels in the bar too, even at the window's
    // smallest, the logging state shows whole beside its lamp.
    rig.find<QAction>("mnuUnattended")->trigger();
    auto *mqtt = rig.find<QLabel>("lblMqtt");
    mqtt->setText(QStringLiteral("\u25cf MQTT (1234 dropped)"));
    mqtt->show();
    rig.window.resize(rig.window.minimumSizeHint().width(), shown.height());
    QTest::qWait(50);
    auto *panel4 = rig.find<PanelStatusBar>("StatusBar1")->panel(4);
    QCOMPARE(panel4->text(), QStringLiteral("Not Logging"));
    panel4->grab();
    QCOMPARE(panel4->toolTip(), QString()); // nothing of it elided
}

void TestMainWindow::resetScaleUndoesAZoom()
{
    Rig rig;
    QVERIFY(rig.station->start());
    auto *chart = rig.find<ChartPlot>("CWGraph1");
    chart->setAxisScale(QwtPlot::yLeft, 6, 8); // as a zoom leaves it
    chart->setAxisScale(QwtPlot::yRight, 6.5, 7.5);
    QTest::mouseClick(rig.find<QPushButton>("Command1"), Qt::LeftButton);
    for (int axis : {2, 3}) {
        QCOMPARE(phAxis(chart, axis).minValue(), 0.0);
        QCOMPARE(phAxis(chart, axis).maxValue(), 15.0);
    }
}

// clang-format off
void TestMainWindow::exitEndsTheRun_data()
{
    QTest::addColumn<bool>("throughFrame");
    QTest::newRow("fileExit")   << false;
    QTest::newRow("closeFrame") << true;
}
// clang-format on

void TestMainWindow::exitEndsTheRun()
{
    QFETCH(bool, throughFrame);

    Rig rig;
    QVERIFY(rig.station->start());
    StationOptions options;
    options.plot = true;
    options.logFile = rig.folder.filePath("exit.csv");
    options.logMode = StationOptions::LogMode::Overwrite;
    options.logIntervalSeconds = 1;
    QVERIFY(rig.station->applyOptions(options, nullptr));
    rig.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&rig.window));

    if (throughFrame)
        QVERIFY(rig.window.close());
    else
        rig.find<QAction>("mnuExit")->trigger();

    QVERIFY(!rig.window.isVisible());
    for (const char *timer : {"tmrRd", "tmrPlot", "tmrLogger"})
        QVERIFY2(!rig.find<QTimer>(timer)->isActive(), timer);
    QVERIFY(!rig.port.isOpen());
    // The log file is closed: its header lines are all on disk.
    QFile log(options.logFile);
    QVERIFY(log.open(QIODevice::ReadOnly));
    QVERIFY(log.readAll().count("\r\n") >= 12);
}

void TestMainWindow::fitsTheDesignedSize()
{
    Rig rig;
    QVERIFY(rig.station->start());
    const QSize minimum = rig.window.minimumSizeHint();
    QVERIFY2(minimum.width() <= MainWindow::DESIGN_WIDTH &&
                 minimum.height() <= MainWindow::DESIGN_HEIGHT,
             qPrintable(QStringLiteral("%1 x %2").arg(minimum.width()).arg(minimum.height())));
    rig.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&rig.window));
    QCOMPARE(rig.window.size(), QSize(MainWindow::DESIGN_WIDTH, MainWindow::DESIGN_HEIGHT));
}

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
