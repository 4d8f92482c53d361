#include "ui/main/MainWindow.h"

#include "logging/LoggingPanel.h"
#include "platform/qt/widgets/MarkedSlider.h"
#include "platform/qt/widgets/PanelStatusBar.h"
#include "platform/qt/widgets/ToggleButton.h"
#include "ui/chart/ChartPlot.h"
#include "ui/chart/GraphModeSelector.h"

#include <QAction>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>
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
    // Extra width goes to the pH group, where the chart takes it; extra
    // height to the chart and the flow slides, the thermistor row keeps its own.
    grid->setColumnStretch(0, 0);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(0, 1);
    grid->setRowStretch(1, 0);
    setCentralWidget(central);

    m_controls.StatusBar1 = new PanelStatusBar(this);
    m_controls.StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    setStatusBar(m_controls.StatusBar1);
    m_controls.StatusBar1->keepWhole(LoggingPanel::PANEL,
                                     {LoggingPanel::LOGGING, LoggingPanel::NOT_LOGGING});

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

void MainWindow::buildMenus()
{
    auto addEntry = [](QMenu *menu, const QString &name, const QString &text) {
        QAction *action = menu->addAction(text);
        action->setObjectName(name);
        return action;
    };
    auto addMenu = [this](const QString &name, const QString &title) {
        QMenu *menu = menuBar()->addMenu(title);
        menu->setObjectName(name);
        return menu;
    };
    Controls &c = m_controls;

    QMenu *file = addMenu(QStringLiteral("mnuFile"), QStringLiteral("&File"));
    c.mnuReview = addEntry(file, QStringLiteral("mnuReview"), QStringLiteral("&Review Log..."));
    c.mnuMqtt = addEntry(file, QStringLiteral("mnuMqtt"), QStringLiteral("&MQTT Publishing..."));
    file->addSeparator();
    // Off: every fault in a message box, as an operator at the bench expects.
    c.mnuUnattended = addEntry(file, QStringLiteral("mnuUnattended"),
                               QStringLiteral("&Unattended (keep polling through faults)"));
    c.mnuUnattended->setCheckable(true);
    file->addSeparator();
    c.mnuExit = addEntry(file, QStringLiteral("mnuExit"), QStringLiteral("E&xit"));

    QMenu *log = addMenu(QStringLiteral("mnuLog"), QStringLiteral("&Logging"));
    c.mnuLogSetup = addEntry(log, QStringLiteral("mnuLogSetup"), QStringLiteral("&Setup"));
    c.mnuStop = addEntry(log, QStringLiteral("mnuStop"), QStringLiteral("Stop &Logging"));
    c.mnuStop->setEnabled(false);

    QMenu *cal = addMenu(QStringLiteral("mnuCal"), QStringLiteral("&Calibration"));
    c.mnuPhCal =
        addEntry(cal, QStringLiteral("mnuPhCal"), QStringLiteral("&pH calibration values"));
    c.mnuBufferCal = addEntry(cal, QStringLiteral("mnuBufferCal"),
                              QStringLiteral("&Buffer calibration assistant..."));

    QMenu *alarms = addMenu(QStringLiteral("mnuAlarm"), QStringLiteral("&Alarms"));
    c.mnuAlarms = addEntry(alarms, QStringLiteral("mnuAlarms"), QStringLiteral("&Alarms..."));
    c.mnuAlarmLimits =
        addEntry(alarms, QStringLiteral("mnuAlarmLimits"), QStringLiteral("Alarm &Limits..."));

    // A command of its own on the menu bar, without a menu below it.
    c.mnuComPort = menuBar()->addAction(QStringLiteral("C&omm Port"));
    c.mnuComPort->setObjectName(QStringLiteral("mnuComPort"));
}

void MainWindow::buildTimers()
{
    // Created stopped and without an interval: the logic that each one
    // drives sets it.
    auto timer = [this](const QString &name) {
        auto *created = new QTimer(this);
        created->setObjectName(name);
        return created;
    };
    m_controls.tmrRd = timer(QStringLiteral("tmrRd"));
    // A coarse timer lets a period come out at 950 to 1050 ms; each read
    // counts one second of flow.
    m_controls.tmrRd->setTimerType(Qt::PreciseTimer);
    m_controls.tmrPlot = timer(QStringLiteral("tmrPlot"));
    m_controls.tmrLogger = timer(QStringLiteral("tmrLogger"));
}

QLabel *MainWindow::valueLabel(const QString &name, const QColor &digits, const QString &widest)
{
    auto *label = new QLabel(QStringLiteral("000"));
    label->setObjectName(name);
    label->setFont(valueFont());
    label->setAlignment(Qt::AlignCenter);
    // Room for the widest reading of its channel, so that no reading is
    // clipped and the layout never moves as values change.
    label->setMinimumWidth(QFontMetrics(label->font()).horizontalAdvance(widest) + 12);
    label->setAutoFillBackground(true);
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, Qt::black);
    palette.setColor(QPalette::WindowText, digits);
    label->setPalette(palette);
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Sunken);
    label->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    return label;
}

QWidget *MainWindow::valueFrame(const QString &captionText, QLabel *label)
{
    auto *frame = new QGroupBox(captionText);
    // A bigger window widens the readings; only the gauges grow taller.
    frame->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    auto *layout = new QVBoxLayout(frame);
    layout->setContentsMargins(4, 0, 4, 2);
    layout->addWidget(label);
    return frame;
}

QwtKnob *MainWindow::knob(const QString &name, double minimum, double maximum, double value,
                          double step)
{
    auto *widget = new QwtKnob;
    widget->setObjectName(name);
    widget->setScale(minimum, maximum);
    // Whole steps, so that a typical value is reached exactly.
    widget->setTotalSteps(static_cast<uint>(qRound((maximum - minimum) / step)));
    widget->setStepAlignment(true);
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
    widget->setMinimumSize(88, 64);
    return widget;
}

QWidget *MainWindow::knobBox(QwtKnob *knob, const QString &captionText, const QString &unit)
{
    auto *box = new QWidget;
    box->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    auto *layout = new QGridLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setHorizontalSpacing(4);
    layout->addWidget(knob, 0, 0, 1, 2, Qt::AlignHCenter);
    QLabel *label = caption(captionText, box);
    label->setWordWrap(true);
    // The knob's value, so the operator can tell 15 from 14: beside a short
    // caption, above a long one.
    auto *value = caption(QString(), box);
    value->setObjectName(knob->objectName() + QStringLiteral("Value"));
    QFont bold = value->font();
    bold.setBold(true);
    value->setFont(bold);
    const auto show = [value, unit](double v) {
        value->setText(QLocale().toString(v, 'f', 0) + unit);
    };
    show(knob->value());
    connect(knob, &QwtAbstractSlider::valueChanged, value, show);
    if (captionText.size() <= 6) {
        layout->addWidget(label, 1, 0, Qt::AlignRight | Qt::AlignTop);
        layout->addWidget(value, 1, 1, Qt::AlignLeft | Qt::AlignTop);
    } else {
        layout->addWidget(value, 1, 0, 1, 2);
        layout->addWidget(label, 2, 0, 1, 2);
    }
    return box;
}

QwtSlider *MainWindow::slide(QwtSlider *widget, const QString &name, double minimum, double maximum,
                             double value)
{
    widget->setObjectName(name);
    if (widget->orientation() == Qt::Vertical)
        widget->setScalePosition(QwtSlider::LeadingScale);
    widget->setScale(minimum, maximum);
    // A display: the program moves it, the operator reads it.
    widget->setReadOnly(true);
    widget->setStepAlignment(false);
    widget->setTrough(true);
    widget->setGroove(true);
    widget->setHandleSize(widget->orientation() == Qt::Horizontal ? QSize(10, 18) : QSize(18, 10));
    widget->setValue(value);
    widget->setFocusPolicy(Qt::NoFocus);
    return widget;
}

ToggleButton *MainWindow::toggle(const QString &name, const QString &onCaption,
                                 const QString &offCaption)
{
    auto *button = new ToggleButton(onCaption, offCaption);
    button->setObjectName(name);
    button->setMinimumHeight(26);
    return button;
}

// A "Reset": it does not latch, and each press counts once.
QPushButton *MainWindow::pushButton(const QString &name, const QString &text)
{
    auto *button = new QPushButton(text);
    button->setObjectName(name);
    button->setMinimumHeight(26);
    return button;
}

QWidget *MainWindow::thermistorOptions(QButtonGroup **group, const QString &groupName,
                                       const QString &headName, const QString &heading)
{
    auto *box = new QWidget;
    auto *layout = new QGridLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setVerticalSpacing(0);
    layout->setHorizontalSpacing(2);
    auto *head = new QLabel(heading, box);
    head->setObjectName(headName);
    QFont bold = head->font();
    bold.setBold(true);
    head->setFont(bold);
    layout->addWidget(head, 0, 0, 1, 4);
    *group = new QButtonGroup(box);
    (*group)->setObjectName(groupName);
    for (int member = 0; member < 3; ++member) {
        auto *option = new QRadioButton(QStringLiteral("T-%1").arg(member + 1), box);
        option->setObjectName(QStringLiteral("%1_%2").arg(groupName).arg(member));
        (*group)->addButton(option, member);
        layout->addWidget(option, 1, member);
    }
    layout->setColumnStretch(3, 1);
    (*group)->button(0)->setChecked(true);
    return box;
}

QGroupBox *MainWindow::buildFlowGroup()
{
    Controls &c = m_controls;
    auto *group = new QGroupBox(QStringLiteral("Electronic Flow Gauge"));
    group->setObjectName(QStringLiteral("frameFlow"));
    auto *layout = new QGridLayout(group);

    c.liters = valueLabel(QStringLiteral("liters"), ProbeOneDigits, QStringLiteral("888888.88"));
    c.lblLitersPerMin =
        valueLabel(QStringLiteral("lblLitersPerMin"), ProbeOneDigits, QStringLiteral("888.88"));
    c.lblHz = valueLabel(QStringLiteral("lblHz"), ProbeOneDigits, QStringLiteral("88888.88"));
    auto *values = new QVBoxLayout;
    values->setSpacing(3);
    values->addWidget(valueFrame(QStringLiteral("Total Liters"), c.liters));
    values->addWidget(valueFrame(QStringLiteral("Liters / min"), c.lblLitersPerMin));
    values->addWidget(valueFrame(QStringLiteral("Frequency"), c.lblHz));
    values->addStretch();
    c.CWKnobflow = knob(QStringLiteral("CWKnobflow"), 25, 400, 25, 25);
    c.CWKnobflow->setMinimumSize(96, 80); // its three-digit labels need the room
    values->addWidget(
        knobBox(c.CWKnobflow, QStringLiteral("Total Liters tank scale"), QStringLiteral(" L")));
    layout->addLayout(values, 0, 0);

    c.CWSlideLiters = slide(new QwtSlider(Qt::Vertical), QStringLiteral("CWSlideLiters"), 0, 2, 0);
    c.CWSlideFlow = slide(new QwtSlider(Qt::Vertical), QStringLiteral("CWSlideFlow"), 0, 5, 0);
    // As wide as its widest scale (the tank knob's 400) from the start, so
    // that turning the knob moves nothing.
    c.CWSlideLiters->setScale(0, 400);
    c.CWSlideLiters->setFixedWidth(c.CWSlideLiters->sizeHint().width());
    c.CWSlideLiters->setScale(0, 2);
    auto *slides = new QGridLayout;
    for (const QString &text : {QStringLiteral("Total Liters"), QStringLiteral("L/min")}) {
        QLabel *label = caption(text, group);
        label->setWordWrap(true);
        slides->addWidget(label, 0, slides->count(), Qt::AlignBottom);
    }
    slides->addWidget(c.CWSlideLiters, 1, 0);
    slides->addWidget(c.CWSlideFlow, 1, 1);
    slides->setRowStretch(1, 1);
    layout->addLayout(slides, 0, 1);

    c.cwbFlow = toggle(QStringLiteral("cwbFlow"), QStringLiteral("Stop"), QStringLiteral("Start"));
    c.CWButton3 = pushButton(QStringLiteral("CWButton3"), QStringLiteral("Reset"));
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(c.cwbFlow);
    buttons->addWidget(c.CWButton3);
    layout->addLayout(buttons, 1, 0, 1, 2);
    layout->setRowStretch(0, 1);
    return group;
}

QGroupBox *MainWindow::buildPhGroup()
{
    Controls &c = m_controls;
    auto *group = new QGroupBox(QStringLiteral("pH Probe"));
    group->setObjectName(QStringLiteral("framePh"));
    auto *layout = new QVBoxLayout(group);

    // The chart across the whole group: it takes what the window has to spare.
    c.CWGraph1 = new ChartPlot(group); // objectName CWGraph1
    c.CWGraph1->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    c.CWGraph1->setMinimumSize(300, 130);
    layout->addWidget(c.CWGraph1, 1);

    // Below it the mode selector, the plot, scale and probe buttons and the
    // pH range knobs, then both probes' readings in one row.
    c.GraphMode = new GraphModeSelector(Qt::Vertical, group); // objectName GraphMode
    c.GraphMode->setFixedHeight(84);
    c.cwPlot = toggle(QStringLiteral("cwPlot"), QStringLiteral("Pause Plot"),
                      QStringLiteral("Start Plot"));
    c.Command1 = new QPushButton(QStringLiteral("Reset Scale"), group);
    c.Command1->setObjectName(QStringLiteral("Command1"));
    c.Command1->setToolTip(
        QStringLiteral("Resets Y axis Min. Max settings after zoom or pan operation"));
    c.cwbPh = toggle(QStringLiteral("cwbPh"), QStringLiteral("Disable DGH"),
                     QStringLiteral("Enable DGH"));
    c.CWpHmin = knob(QStringLiteral("CWpHmin"), 0, 20, 0, 1);
    c.CWpHmax = knob(QStringLiteral("CWpHmax"), 0, 20, 0, 1);
    auto *buttons = new QVBoxLayout;
    buttons->addWidget(c.cwPlot);
    buttons->addWidget(c.Command1);
    buttons->addWidget(c.cwbPh);
    buttons->addStretch();
    auto *controls = new QHBoxLayout;
    controls->addWidget(c.GraphMode, 0, Qt::AlignTop);
    controls->addLayout(buttons);
    controls->addWidget(knobBox(c.CWpHmin, QStringLiteral("Min.")));
    controls->addWidget(knobBox(c.CWpHmax, QStringLiteral("Max.")));
    controls->addStretch();
    auto *follow = new QVBoxLayout;
    follow->addWidget(caption(QStringLiteral("Follows"), group));
    follow->addWidget(c.CWGraph1->followChoice());
    follow->addWidget(c.CWGraph1->exportButton(), 0, Qt::AlignLeft);
    follow->addStretch();
    controls->addLayout(follow);
    layout->addLayout(controls);

    c.lblpH = valueLabel(QStringLiteral("lblpH"), ProbeOneDigits, QStringLiteral("88.8888"));
    c.lblmV = valueLabel(QStringLiteral("lblmV"), ProbeOneDigits, QStringLiteral("8888.88"));
    c.lblpH1 = valueLabel(QStringLiteral("lblpH1"), ProbeTwoDigits, QStringLiteral("88.8888"));
    c.lblmV1 = valueLabel(QStringLiteral("lblmV1"), ProbeTwoDigits, QStringLiteral("8888.88"));
    // Both probes in one row: each one's compensation thermistor above its readings.
    auto *probes = new QGridLayout;
    probes->setHorizontalSpacing(6);
    probes->setVerticalSpacing(2);
    probes->addWidget(thermistorOptions(&c.optTherm, QStringLiteral("optTherm"),
                                        QStringLiteral("lblpH0"), QStringLiteral("pH Probe #1")),
                      0, 0, 1, 2);
    probes->addWidget(thermistorOptions(&c.optTherm1, QStringLiteral("optTherm1"),
                                        QStringLiteral("Label1"), QStringLiteral("pH Probe #2")),
                      0, 2, 1, 2);
    probes->addWidget(valueFrame(QStringLiteral("pH1"), c.lblpH), 1, 0);
    probes->addWidget(valueFrame(QStringLiteral("mV1"), c.lblmV), 1, 1);
    probes->addWidget(valueFrame(QStringLiteral("pH2"), c.lblpH1), 1, 2);
    probes->addWidget(valueFrame(QStringLiteral("mV2"), c.lblmV1), 1, 3);
    layout->addLayout(probes);
    return group;
}

QGroupBox *MainWindow::buildThermistorGroup()
{
    Controls &c = m_controls;
    auto *group = new QGroupBox(QStringLiteral("Thermistors"));
    group->setObjectName(QStringLiteral("frameThermistors"));
    auto *layout = new QHBoxLayout(group);

    QLabel **labels[3] = {&c.lblTherm1, &c.lblTherm2, &c.lblTherm3};
    MarkedSlider **slides[3] = {&c.CWSlideTherm1, &c.CWSlideTherm2, &c.CWSlideTherm3};
    for (int n = 1; n <= 3; ++n) {
        *labels[n - 1] = valueLabel(QStringLiteral("lblTherm%1").arg(n), ProbeOneDigits,
                                    QStringLiteral("-888.88"));
        *slides[n - 1] = new MarkedSlider;
        slide(*slides[n - 1], QStringLiteral("CWSlideTherm%1").arg(n), 5, 25, 5);
        auto *column = new QVBoxLayout;
        column->addWidget(valueFrame(QStringLiteral("Thermistor %1").arg(n), *labels[n - 1]));
        column->addWidget(*slides[n - 1]);
        column->addStretch();
        layout->addLayout(column, 1);
    }
    // Set to 25 and 5 by start-up, whose change handling then scales the slides.
    c.CWtherMin = knob(QStringLiteral("CWtherMin"), 0, 30, 0, 1);
    c.CWtherMax = knob(QStringLiteral("CWtherMax"), 0, 30, 0, 1);
    layout->addWidget(knobBox(c.CWtherMin, QStringLiteral("Min."), QStringLiteral(" \u00b0C")));
    layout->addWidget(knobBox(c.CWtherMax, QStringLiteral("Max."), QStringLiteral(" \u00b0C")));
    c.cwbTherm =
        toggle(QStringLiteral("cwbTherm"), QStringLiteral("Stop"), QStringLiteral("Start"));
    c.cwbReset = pushButton(QStringLiteral("cwbReset"), QStringLiteral("Reset"));
    auto *buttons = new QVBoxLayout;
    buttons->addWidget(c.cwbTherm);
    buttons->addWidget(c.cwbReset);
    buttons->addStretch();
    layout->addLayout(buttons);
    return group;
}
