#include "ui/main/ComPortCommand.h"

#include "platform/InputBox.h"
#include "platform/MessageBox.h"
#include "platform/SerialPort.h"
#include "station/NumberText.h"

#include <QLocale>
#include <QScopedValueRollback>

#include <cmath>

ComPortCommand::ComPortCommand(SerialPort &port, InputBox &input, MessageBox &messages)
    : m_port(port)
    , m_input(input)
    , m_messages(messages)
{
}

bool ComPortCommand::toPortNumber(const QString &text, qint16 *number)
{
    // The locale's decimal form first, then the one with a period; digit
    // grouping is refused so "1,5" never becomes 15.
    QLocale local;
    local.setNumberOptions(QLocale::RejectGroupSeparator);
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    double value = local.toDouble(text, &ok);
    if (!ok)
        value = c.toDouble(text, &ok);
    if (!ok || !std::isfinite(value))
        return false;

    const double rounded = NumberText::roundHalfEven(value, 0);
    if (rounded < -32768.0 || rounded > 32767.0)
        return false;
    *number = static_cast<qint16>(rounded);
    return true;
}

void ComPortCommand::run()
{
    const QScopedValueRollback<bool> running(m_running, true);
    // Any failure below skips the remaining steps; only the error number decides what is shown.
    int error = SerialPort::NoError;
    if (m_port.isOpen())
        m_port.close();

    const QStringList present = m_port.presentPorts();
    const QString answer =
        m_input.ask(PROMPT, TITLE,
                    present.isEmpty() ? QString()
                                      : QStringLiteral("Serial ports present:\n") +
                            present.join(QLatin1Char('\n')));
    qint16 number = 0;
    if (!toPortNumber(answer, &number))
        error = SerialPort::OtherOpenError; // Cancel and bad input stay silent
    if (error == SerialPort::NoError)
        error = m_port.setPortNumber(number);
    if (error == SerialPort::NoError)
        error = m_port.open();

    if (error == SerialPort::InvalidPortError)
        m_messages.show(INVALID_PORT_MESSAGE);
    else if (error == SerialPort::PortInUseError)
        m_messages.show(PORT_IN_USE_MESSAGE);
}
