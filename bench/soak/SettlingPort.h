#pragma once

#include "platform/SerialPort.h"

#include <chrono>
#include <functional>

// Stands between the module link and the real port to make the answer wait
// as short as the line allows: after a command, the first look at the
// receive count waits (really) until as many bytes have arrived as
// expectedBytes() says the far end sent for it, or until a deadline. Every
// byte still goes through the real port; this only decides when the station
// looks, so the outcome does not hang on how the machine schedules the far
// end. onCommand runs before each command goes out.
class SettlingPort : public SerialPort
{
public:
    SettlingPort(SerialPort &line, std::chrono::microseconds deadline);

    std::function<void(const QByteArray &command)> onCommand;
    // Blocks until the far end has decided its answer; negative if unknown.
    std::function<int()> expectedBytes;

    qint16 portNumber() const override { return m_line.portNumber(); }
    int setPortNumber(qint16 number) override { return m_line.setPortNumber(number); }
    bool isOpen() const override { return m_line.isOpen(); }
    int open() override { return m_line.open(); }
    void close() override { m_line.close(); }

    void write(const QByteArray &bytes) override;
    int bytesWaiting() override;
    QByteArray read(int maxBytes) override;

    // Commands whose expected bytes did not all come before the deadline.
    long long deadlinesReached() const { return m_deadlinesReached; }

private:
    void settle();
    void takeWaiting();

    SerialPort &m_line;
    std::chrono::microseconds m_deadline;
    QByteArray m_taken; // read from the line, not yet by the station
    bool m_settled = true;
    long long m_deadlinesReached = 0;
};
