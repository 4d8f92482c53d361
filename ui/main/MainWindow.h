#pragma once

#include <QMainWindow>

class QAbstractButton;
class QButtonGroup;
class QGroupBox;
class QLabel;
class QTimer;
class QwtKnob;
class QwtSlider;
class PanelStatusBar;
class ToggleButton;

// The station's instrument panel, objectName "frmMain": the flow, pH and
// thermistor groups, the menus, the four-panel status bar and the three
// timers, each control under the objectName the logic knows it by. The
// window decides nothing; the composition root wires its controls.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    static inline const QString CAPTION = QStringLiteral("Kestrom DGH GUI  Ver. 2.1");
    static constexpr int DESIGN_WIDTH = 883;
    static constexpr int DESIGN_HEIGHT = 687;

    explicit MainWindow(QWidget *parent = nullptr);

    // The named child of the given type; a missing name is a programming
    // error and ends the program with that name.
    template <typename T> T *control(const QString &name) const
    {
        T *found = findChild<T *>(name);
        if (!found)
            missingControl(name);
        return found;
    }

    // The face of the value labels: the named display face where installed,
    // else a bold condensed face from the system's fonts.
    static QFont valueFont();

signals:
    // The operator closed the window through its frame.
    void closedByFrame();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    [[noreturn]] static void missingControl(const QString &name);

    void buildMenus();
    void buildTimers();
    QGroupBox *buildFlowGroup();
    QGroupBox *buildPhGroup();
    QGroupBox *buildThermistorGroup();

    QWidget *valueFrame(const QString &caption, const QString &labelName, const QColor &digits);
    QWidget *knob(const QString &name, const QString &caption, double minimum, double maximum,
                  double value);
    QwtSlider *slide(const QString &name, Qt::Orientation orientation, double minimum,
                     double maximum, double value, bool markers);
    ToggleButton *toggle(const QString &name, const QString &onCaption, const QString &offCaption);
    QWidget *thermistorOptions(const QString &groupName, const QString &headName,
                               const QString &heading);
};
