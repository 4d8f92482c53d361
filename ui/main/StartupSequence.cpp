#include "ui/main/StartupSequence.h"

#include "logging/LoggingPanel.h"
#include "platform/Knob.h"
#include "platform/SerialPort.h"
#include "platform/StatusBar.h"
#include "station/Faults.h"

StartupSequence::StartupSequence(const Controls &controls, const QString &programFolder,
                                 std::function<void()> loadCalibration)
    : m_controls(controls)
    , m_programFolder(programFolder)
    , m_loadCalibration(std::move(loadCalibration))
{
}

QString StartupSequence::portErrorText(const QString &port, int error)
{
    QString reason;
    switch (error) {
    case SerialPort::InvalidPortError:
        reason = QStringLiteral("there is no such port, or it is not a serial port");
        break;
    case SerialPort::PortInUseError:
        reason = QStringLiteral("the port is already in use by this or another program");
        break;
    default: reason = QStringLiteral("the port could not be opened"); break;
    }
    return QStringLiteral("Cannot open serial port %1: %2 (error %3).")
        .arg(port, reason)
        .arg(error);
}

bool StartupSequence::run()
{
    SerialPort &port = m_controls.MSComm1;
    const int error = port.open();
    if (error != SerialPort::NoError) {
        // The number and the device it stands for: "1 (/dev/ttyUSB0)".
        const QString number = QString::number(port.portNumber());
        const QString name = port.deviceName().isEmpty()
            ? number
            : QStringLiteral("%1 (%2)").arg(number, port.deviceName());
        m_controls.faults.failed(Faults::PORT, portErrorText(name, error));
        return false;
    }

    m_controls.StatusBar1.setPanelText(LoggingPanel::PANEL, LoggingPanel::NOT_LOGGING);
    QString pictureError;
    if (!m_controls.StatusBar1.setPanelPicture(
            LoggingPanel::PANEL, LoggingPanel::lampPath(m_programFolder, LoggingPanel::RED_LAMP),
            &pictureError)) {
        m_controls.faults.failed(Faults::LOG, pictureError);
        return false;
    }

    m_controls.CWtherMax.setValue(25);
    m_controls.CWtherMin.setValue(5);
    m_controls.CWpHmax.setValue(15);

    if (m_loadCalibration)
        m_loadCalibration();
    return true;
}
