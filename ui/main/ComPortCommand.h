#pragma once

#include <QString>
#include <QtGlobal>

class InputBox;
class MessageBox;
class SerialPort;

// The Comm Port menu command: moves the module link to the port number the
// operator types. The port is closed first and stays closed after Cancel,
// bad input or a failed open; only 8002 and 8005 are told to the operator.
class ComPortCommand
{
public:
    static inline const QString PROMPT = QStringLiteral("Enter Commport Number");
    static inline const QString TITLE = QStringLiteral("Commport Setup");
    static inline const QString INVALID_PORT_MESSAGE =
        QStringLiteral("Invalid ComPort #, please select another one.");
    static inline const QString PORT_IN_USE_MESSAGE =
        QStringLiteral("Port is already open, please select another one.");

    ComPortCommand(SerialPort &port, InputBox &input, MessageBox &messages);

    void run();
    // While run() waits for the operator in its input box or message box.
    bool isRunning() const { return m_running; }

    // The operator's text as a 16-bit port number: blanks around allowed,
    // fractions rounded half to even; false for empty, non-numeric or out of
    // range text.
    static bool toPortNumber(const QString &text, qint16 *number);

private:
    SerialPort &m_port;
    InputBox &m_input;
    MessageBox &m_messages;
    bool m_running = false;
};
