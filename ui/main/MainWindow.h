#pragma once

#include <QMainWindow>

class ChartPlot;
class GraphModeSelector;
class MarkedSlider;
class PanelStatusBar;
class QAction;
class QButtonGroup;
class QGroupBox;
class QLabel;
class QPushButton;
class QTimer;
class QwtKnob;
class QwtSlider;
class ToggleButton;

// The station's instrument panel, objectName "frmMain": the flow, pH and
// thermistor groups, the menus, the four-panel status bar and the three
// timers. Every control carries the objectName the design gives it, and the
// composition root reaches them through controls(). The window decides
// nothing.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    static inline const QString CAPTION = QStringLiteral("Kestrom DGH GUI  Ver. 2.1");
    static constexpr int DESIGN_WIDTH = 883;
    static constexpr int DESIGN_HEIGHT = 687;

    // The window's controls, named as the design names them.
    struct Controls
    {
        // Electronic Flow Gauge
        QLabel *liters = nullptr;
        QLabel *lblLitersPerMin = nullptr;
        QLabel *lblHz = nullptr;
        QwtKnob *CWKnobflow = nullptr;
        ToggleButton *cwbFlow = nullptr;
        QPushButton *CWButton3 = nullptr;
        QwtSlider *CWSlideLiters = nullptr;
        QwtSlider *CWSlideFlow = nullptr;
        // pH Probe
        ChartPlot *CWGraph1 = nullptr;
        QPushButton *Command1 = nullptr;
        QButtonGroup *optTherm = nullptr;
        QButtonGroup *optTherm1 = nullptr;
        QwtKnob *CWpHmin = nullptr;
        QwtKnob *CWpHmax = nullptr;
        GraphModeSelector *GraphMode = nullptr;
        ToggleButton *cwPlot = nullptr;
        ToggleButton *cwbPh = nullptr;
        QLabel *lblpH = nullptr;
        QLabel *lblmV = nullptr;
        QLabel *lblpH1 = nullptr;
        QLabel *lblmV1 = nullptr;
        // Thermistors
        QLabel *lblTherm1 = nullptr;
        QLabel *lblTherm2 = nullptr;
        QLabel *lblTherm3 = nullptr;
        MarkedSlider *CWSlideTherm1 = nullptr;
        MarkedSlider *CWSlideTherm2 = nullptr;
        MarkedSlider *CWSlideTherm3 = nullptr;
        QwtKnob *CWtherMin = nullptr;
        QwtKnob *CWtherMax = nullptr;
        ToggleButton *cwbTherm = nullptr;
        QPushButton *cwbReset = nullptr;
        // The window's own
        PanelStatusBar *StatusBar1 = nullptr;
        QAction *mnuReview = nullptr;
        QAction *mnuMqtt = nullptr;
        QAction *mnuUnattended = nullptr; // checkable
        QAction *mnuExit = nullptr;
        QAction *mnuLogSetup = nullptr;
        QAction *mnuStop = nullptr;
        QAction *mnuPhCal = nullptr;
        QAction *mnuBufferCal = nullptr;
        QAction *mnuAlarms = nullptr;
        QAction *mnuAlarmLimits = nullptr;
        QAction *mnuComPort = nullptr;
        QTimer *tmrRd = nullptr;
        QTimer *tmrPlot = nullptr;
        QTimer *tmrLogger = nullptr;
        // The unattended station's faults, beside the four panels.
    };

    explicit MainWindow(QWidget *parent = nullptr);

    const Controls &controls() const { return m_controls; }

    // The face of the value labels: the named display face where installed,
    // else a bold condensed face from the system's fonts.
    static QFont valueFont();

signals:
    // The operator closed the window through its frame.
    void closedByFrame();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildMenus();
    void buildTimers();
    QGroupBox *buildFlowGroup();
    QGroupBox *buildPhGroup();
    QGroupBox *buildThermistorGroup();

    QWidget *valueFrame(const QString &caption, QLabel *label);
    QLabel *valueLabel(const QString &name, const QColor &digits, const QString &widest);
    QWidget *knobBox(QwtKnob *knob, const QString &caption, const QString &unit = QString());
    QwtKnob *knob(const QString &name, double minimum, double maximum, double value, double step);
    QwtSlider *slide(QwtSlider *widget, const QString &name, double minimum, double maximum,
                     double value);
    ToggleButton *toggle(const QString &name, const QString &onCaption, const QString &offCaption);
    QPushButton *pushButton(const QString &name, const QString &text);
    QWidget *thermistorOptions(QButtonGroup **group, const QString &groupName,
                               const QString &headName, const QString &heading);

    Controls m_controls;
};
