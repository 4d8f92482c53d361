#pragma once

#include <QString>

class Clock;
class MessageBox;
class SerialPort;

// One command-and-answer transaction with a module on the shared line:
// SendCommand, then ReadAnswer, which waits ANSWER_WAIT_MS and takes what has
// arrived. Runs on the calling thread and blocks it for the wait.
class ModuleLink
{
public:
    static constexpr float ANSWER_WAIT_MS = 35.0f;
    static constexpr int CHARACTER_MASK = 127;
    static inline const QString TIMEOUT = QStringLiteral("TIMEOUT");

    ModuleLink(SerialPort &port, MessageBox &messages, Clock &clock);

    // "$" + address + "RD" + carriage return.
    static QString commandFrame(const QString &address);
    // Characters 3 to 10 (1-based) of an answer; empty for a short answer.
    static QString valueField(const QString &answer);

    void SendCommand(const QString &command);
    QString ReadAnswer();
    void WaitMs(float ms);

private:
    void discardStaleBytes();

    SerialPort &m_port;
    MessageBox &m_messages;
    Clock &m_clock;
};
