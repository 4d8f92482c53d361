#include "ui/main/MainWindow.h"

#include "platform/qt/widgets/MarkedSlider.h"
#include "platform/qt/widgets/PanelStatusBar.h"
#include "platform/qt/widgets/ToggleButton.h"
#include "ui/chart/ChartPlot.h"
#include "ui/chart/GraphModeSelector.h"

#include <QAction>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>
#include <qwt_knob.h>
#include <qwt_slider.h>

namespace {

const QColor ProbeOneDigits(0, 230, 0);
const QColor ProbeTwoDigits(255, 48, 48);

QLabel *caption(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

} // namespace

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(CAPTION);

    auto *central = new QWidget(this);
    auto *grid = new QGridLayout(central);
    grid->setContentsMargins(6, 6, 6, 6);
    grid->setSpacing(6);
    grid->addWidget(buildFlowGroup(), 0, 0);
    grid->addWidget(buildPhGroup(), 0, 1);
    grid->addWidget(buildThermistorGroup(), 1, 0, 1, 2);
    // Widths in the designed proportion (flow 3792, pH 9105 twips); extra
    // height goes to the chart and the flow slides, the thermistor row keeps its own.
    grid->setColumnStretch(0, 3792);
    grid->setColumnStretch(1, 9105);
    grid->setRowStretch(0, 1);
    grid->setRowStretch(1, 0);
    setCentralWidget(central);

    auto *status = new PanelStatusBar(this);
    status->setObjectName(QStringLiteral("StatusBar1"));
    setStatusBar(status);

    buildMenus();
    buildTimers();
    resize(DESIGN_WIDTH, DESIGN_HEIGHT);
}

QFont MainWindow::valueFont()
{
    static const QString designed = QStringLiteral("Haettenschweiler");
    QFont font;
    if (QFontDatabase().families().contains(designed)) {
        font.setFamily(designed);
    } else {
        font.setFamily(QStringLiteral("DejaVu Sans Condensed"));
        font.setStretch(QFont::Condensed);
        font.setBold(true);
    }
    font.setPointSize(18);
    return font;
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    event->accept();
    emit closedByFrame();
}

void MainWindow::missingControl(const QString &name)
{
    qFatal("frmMain has no control named %s", qPrintable(name));
}

void MainWindow::buildMenus()
{
    auto addEntry = [this](QMenu *menu, const QString &name, const QString &text) {
        QAction *action = menu->addAction(text);
        action->setObjectName(name);
        return action;
    };
    auto addMenu = [this](const QString &name, const QString &title) {
        QMenu *menu = menuBar()->addMenu(title);
        menu->setObjectName(name);
        return menu;
    };

    QMenu *file = addMenu(QStringLiteral("mnuFile"), QStringLiteral("&File"));
    addEntry(file, QStringLiteral("mnuExit"), QStringLiteral("E&xit"));

    QMenu *log = addMenu(QStringLiteral("mnuLog"), QStringLiteral("&Logging"));
    addEntry(log, QStringLiteral("mnuLogSetup"), QStringLiteral("&Setup"));
    addEntry(log, QStringLiteral("mnuStop"), QStringLiteral("Stop &Logging"))->setEnabled(false);

    QMenu *cal = addMenu(QStringLiteral("mnuCal"), QStringLiteral("&Calibration"));
    addEntry(cal, QStringLiteral("mnuPhCal"), QStringLiteral("&pH calibration values"));

    // A command of its own on the menu bar, without a menu below it.
    QAction *comPort = menuBar()->addAction(QStringLiteral("C&omm Port"));
    comPort->setObjectName(QStringLiteral("mnuComPort"));
}

void MainWindow::buildTimers()
{
    // Created stopped: the composition root starts them once start-up is done.
    const struct
    {
        const char *name;
        int interval;
    } timers[] = {{"tmrRd", 1000}, {"tmrPlot", 1000}, {"tmrLogger", 0}};
    for (const auto &t : timers) {
        auto *timer = new QTimer(this);
        timer->setObjectName(QString::fromLatin1(t.name));
        timer->setInterval(t.interval);
    }
}

QWidget *MainWindow::valueFrame(const QString &captionText, const QString &labelName,
                                const QColor &digits)
{
    auto *frame = new QGroupBox(captionText);
    // A bigger window widens the readings; only the gauges grow taller.
    frame->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    auto *layout = new QVBoxLayout(frame);
    layout->setContentsMargins(4, 2, 4, 4);
    auto *label = new QLabel(QStringLiteral("000"), frame);
    label->setObjectName(labelName);
    label->setFont(valueFont());
    label->setAlignment(Qt::AlignCenter);
    // Room for a reading like "2541.95" without the layout moving as values change.
    label->setMinimumWidth(
        QFontMetrics(label->font()).horizontalAdvance(QStringLiteral("0000.00")) + 8);
    label->setAutoFillBackground(true);
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, Qt::black);
    palette.setColor(QPalette::WindowText, digits);
    label->setPalette(palette);
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Sunken);
    label->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    layout->addWidget(label);
    return frame;
}

QWidget *MainWindow::knob(const QString &name, const QString &captionText, double minimum,
                          double maximum, double value)
{
    auto *box = new QWidget;
    auto *layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto *widget = new QwtKnob(box);
    widget->setObjectName(name);
    widget->setScale(minimum, maximum);
    widget->setValue(value);
    widget->setKnobWidth(30);
    QFont scaleFont = widget->font();
    scaleFont.setPointSizeF(scaleFont.pointSizeF() * 0.85);
    widget->setFont(scaleFont);
    widget->setTotalAngle(270);
    widget->setScaleMaxMajor(5);
    widget->setScaleMaxMinor(4);
    widget->setMarkerStyle(QwtKnob::Triangle);
    // Smaller than Qwt would ask for; the scale still fits around the knob.
    widget->setMinimumSize(80, 80);
    layout->addWidget(widget, 0, Qt::AlignHCenter);
    QLabel *label = caption(captionText, box);
    label->setWordWrap(true);
    layout->addWidget(label);
    layout->addStretch();
    return box;
}

QwtSlider *MainWindow::slide(const QString &name, Qt::Orientation orientation, double minimum,
                             double maximum, double value, bool markers)
{
    QwtSlider *widget = markers ? new MarkedSlider(orientation) : new QwtSlider(orientation);
    widget->setObjectName(name);
    widget->setScalePosition(orientation == Qt::Horizontal ? QwtSlider::TrailingScale
                                                           : QwtSlider::LeadingScale);
    widget->setScale(minimum, maximum);
    // A display: the program moves it, the operator reads it.
    widget->setReadOnly(true);
    widget->setStepAlignment(false);
    widget->setTrough(true);
    widget->setGroove(true);
    widget->setHandleSize(orientation == Qt::Horizontal ? QSize(10, 18) : QSize(18, 10));
    widget->setValue(value);
    widget->setFocusPolicy(Qt::NoFocus);
    return widget;
}

ToggleButton *MainWindow::toggle(const QString &name, const QString &onCaption,
                                 const QString &offCaption)
{
    auto *button = new ToggleButton(onCaption, offCaption);
    button->setObjectName(name);
    button->setMinimumHeight(28);
    return button;
}

QWidget *MainWindow::thermistorOptions(const QString &groupName, const QString &headName,
                                       const QString &heading)
{
    auto *box = new QWidget;
    auto *layout = new QGridLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setVerticalSpacing(2);
    auto *head = new QLabel(heading, box);
    head->setObjectName(headName);
    QFont bold = head->font();
    bold.setBold(true);
    head->setFont(bold);
    layout->addWidget(head, 0, 0, 1, 3);
    auto *group = new QButtonGroup(box);
    group->setObjectName(groupName);
    for (int member = 0; member < 3; ++member) {
        auto *option = new QRadioButton(QStringLiteral("T-%1").arg(member + 1), box);
        option->setObjectName(QStringLiteral("%1_%2").arg(groupName).arg(member));
        group->addButton(option, member);
        layout->addWidget(option, 1, member);
    }
    group->button(0)->setChecked(true);
    return box;
}

QGroupBox *MainWindow::buildFlowGroup()
{
    auto *group = new QGroupBox(QStringLiteral("Electronic Flow Gauge"));
    group->setObjectName(QStringLiteral("frameFlow"));
    auto *layout = new QGridLayout(group);

    auto *values = new QVBoxLayout;
    values->addWidget(
        valueFrame(QStringLiteral("Total Liters"), QStringLiteral("liters"), ProbeOneDigits));
    values->addWidget(valueFrame(QStringLiteral("Liters / min"), QStringLiteral("lblLitersPerMin"),
                                 ProbeOneDigits));
    values->addWidget(
        valueFrame(QStringLiteral("Frequency"), QStringLiteral("lblHz"), ProbeOneDigits));
    values->addStretch();
    layout->addLayout(values, 0, 0);

    auto *slides = new QGridLayout;
    for (const QString &text : {QStringLiteral("Total Liters"), QStringLiteral("L/min")}) {
        QLabel *label = caption(text, group);
        label->setWordWrap(true);
        slides->addWidget(label, 0, slides->columnCount() == 1 && slides->count() == 0 ? 0 : 1,
                          Qt::AlignBottom);
    }
    slides->addWidget(slide(QStringLiteral("CWSlideLiters"), Qt::Vertical, 0, 2, 0, false), 1, 0);
    slides->addWidget(slide(QStringLiteral("CWSlideFlow"), Qt::Vertical, 0, 5, 0, false), 1, 1);
    layout->addLayout(slides, 0, 1, 2, 1);

    layout->addWidget(
        knob(QStringLiteral("CWKnobflow"), QStringLiteral("Total Liters tank scale"), 25, 400, 25),
        1, 0);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(
        toggle(QStringLiteral("cwbFlow"), QStringLiteral("Stop"), QStringLiteral("Start")));
    buttons->addWidget(
        toggle(QStringLiteral("CWButton3"), QStringLiteral("Reset"), QStringLiteral("Reset")));
    layout->addLayout(buttons, 2, 0, 1, 2);
    layout->setRowStretch(0, 3);
    layout->setRowStretch(1, 2);
    return group;
}

QGroupBox *MainWindow::buildPhGroup()
{
    auto *group = new QGroupBox(QStringLiteral("pH Probe"));
    group->setObjectName(QStringLiteral("framePh"));
    auto *layout = new QGridLayout(group);

    auto *chart = new ChartPlot(group); // objectName CWGraph1
    chart->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    // Its axes would ask for more; the panel's share is what the design gives.
    chart->setMinimumSize(300, 160);
    // Fewer time labels, so they stay apart at the panel's width.
    chart->setAxisMaxMajor(QwtPlot::xBottom, 4);
    layout->addWidget(chart, 0, 0);

    // Beside the chart: the mode selector with the plot, scale and probe
    // buttons next to it, the pH range knobs below.
    auto *side = new QGridLayout;
    side->addWidget(new GraphModeSelector(Qt::Vertical, group), 0, 0, Qt::AlignCenter); // GraphMode
    auto *buttons = new QVBoxLayout;
    buttons->addWidget(toggle(QStringLiteral("cwPlot"), QStringLiteral("Pause Plot"),
                              QStringLiteral("Start Plot")));
    auto *resetScale = new QPushButton(QStringLiteral("Reset Scale"), group);
    resetScale->setObjectName(QStringLiteral("Command1"));
    resetScale->setToolTip(
        QStringLiteral("Resets Y axis Min. Max settings after zoom or pan operation"));
    buttons->addWidget(resetScale);
    buttons->addWidget(toggle(QStringLiteral("cwbPh"), QStringLiteral("Disable DGH"),
                              QStringLiteral("Enable DGH")));
    side->addLayout(buttons, 0, 1);
    side->addWidget(knob(QStringLiteral("CWpHmin"), QStringLiteral("Min."), 0, 20, 0), 1, 0);
    side->addWidget(knob(QStringLiteral("CWpHmax"), QStringLiteral("Max."), 0, 20, 0), 1, 1);
    side->setRowStretch(2, 1);
    layout->addLayout(side, 0, 1);

    auto *probes = new QGridLayout;
    probes->setHorizontalSpacing(6);
    probes->addWidget(thermistorOptions(QStringLiteral("optTherm"), QStringLiteral("lblpH0"),
                                        QStringLiteral("pH Probe #1")),
                      0, 0, 1, 2);
    probes->addWidget(valueFrame(QStringLiteral("pH1"), QStringLiteral("lblpH"), ProbeOneDigits), 1,
                      0);
    probes->addWidget(valueFrame(QStringLiteral("mV1"), QStringLiteral("lblmV"), ProbeOneDigits), 1,
                      1);
    probes->addWidget(thermistorOptions(QStringLiteral("optTherm1"), QStringLiteral("Label1"),
                                        QStringLiteral("pH Probe #2")),
                      0, 2, 1, 2);
    probes->addWidget(valueFrame(QStringLiteral("pH2"), QStringLiteral("lblpH1"), ProbeTwoDigits),
                      1, 2);
    probes->addWidget(valueFrame(QStringLiteral("mV2"), QStringLiteral("lblmV1"), ProbeTwoDigits),
                      1, 3);
    layout->addLayout(probes, 1, 0, 1, 2);

    layout->setRowStretch(0, 1);
    layout->setColumnStretch(0, 1);
    return group;
}

QGroupBox *MainWindow::buildThermistorGroup()
{
    auto *group = new QGroupBox(QStringLiteral("Thermistors"));
    group->setObjectName(QStringLiteral("frameThermistors"));
    auto *layout = new QHBoxLayout(group);

    for (int n = 1; n <= 3; ++n) {
        auto *column = new QVBoxLayout;
        column->addWidget(valueFrame(QStringLiteral("Thermistor %1").arg(n),
                                     QStringLiteral("lblTherm%1").arg(n), ProbeOneDigits));
        column->addWidget(
            slide(QStringLiteral("CWSlideTherm%1").arg(n), Qt::Horizontal, 5, 25, 5, true));
        column->addStretch();
        layout->addLayout(column, 1);
    }
    // Set to 25 and 5 by start-up, whose change handling then scales the slides.
    layout->addWidget(knob(QStringLiteral("CWtherMin"), QStringLiteral("Min."), 0, 30, 0));
    layout->addWidget(knob(QStringLiteral("CWtherMax"), QStringLiteral("Max."), 0, 30, 0));
    auto *buttons = new QVBoxLayout;
    buttons->addWidget(
        toggle(QStringLiteral("cwbTherm"), QStringLiteral("Stop"), QStringLiteral("Start")));
    buttons->addWidget(
        toggle(QStringLiteral("cwbReset"), QStringLiteral("Reset"), QStringLiteral("Reset")));
    buttons->addStretch();
    layout->addLayout(buttons);
    return group;
}
