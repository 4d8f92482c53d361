#pragma once

#include <QString>

#include <functional>

class Knob;
class Faults;
class SerialPort;
class StatusBar;

// The window's start-up, run once before any tick or operator action: open
// the port, show "Not Logging" with the red lamp, preset the three limit
// knobs (their change handling runs inside), then load the calibration. A
// failing step shows its error and stops the sequence; the caller then ends
// the program.
class StartupSequence
{
public:
    struct Controls
    {
        SerialPort &MSComm1;
        StatusBar &StatusBar1;
        Knob &CWtherMax;
        Knob &CWtherMin;
        Knob &CWpHmax;
        Faults &faults;
    };

    StartupSequence(const Controls &controls, const QString &programFolder,
                    std::function<void()> loadCalibration);

    // True when every step ran; false after the failing step's message.
    bool run();

    // The operator's text for a failed opening of port number.
    static QString portErrorText(const QString &port, int error);

private:
    Controls m_controls;
    QString m_programFolder;
    std::function<void()> m_loadCalibration;
};
