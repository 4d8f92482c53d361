#pragma once

#include "platform/SerialPort.h"

#include <chrono>
#include <functional>

// Stands between the module link and the real port and decides, as the
// simulated time demands, which of the bytes on their way have arrived when
// the station looks. After a command, the first look waits (really) until
// the far end's bytes up to expectedBytes() have come through the real port,
// and shows no more than those: an answer sent late stays on the line until
// catchUp() lets time pass, as while a message is open. Every byte goes
// through the real port; this only decides when the station sees it, so the
// outcome does not hang on how the machine schedules the far end.
class SettlingPort : public SerialPort
{
public:
    SettlingPort(SerialPort &line, std::chrono::microseconds deadline);

    // Runs before each command goes out.
    std::function<void(const QByteArray &command)> onCommand;
    // The far end's byte count since the start that has arrived by the end
    // of this command's answer wait, once the far end has decided; negative
    // if unknown.
    std::function<long long()> expectedBytes;

    qint16 portNumber() const override { return m_line.portNumber(); }
    QString deviceName() const override { return m_line.deviceName(); }
    int setPortNumber(qint16 number) override { return m_line.setPortNumber(number); }
    bool isOpen() const override { return m_line.isOpen(); }
    int open() override { return m_line.open(); }
    void close() override { m_line.close(); }
    QString lostReason() const override { return m_line.lostReason(); }

    void write(const QByteArray &bytes) override;
    int bytesWaiting() override;
    QByteArray read(int maxBytes) override;

    // Lets everything up to the far end's byte count arrive.
    void catchUp(long long total);

    // Waits that ended at the deadline instead of with the expected bytes.
    long long deadlinesReached() const { return m_deadlinesReached; }

private:
    void takeUpTo(long long total);

    SerialPort &m_line;
    std::chrono::microseconds m_deadline;
    QByteArray m_arrived; // arrived by simulated time, not yet read by the station
    long long m_totalTaken = 0;
    bool m_settled = true;
    long long m_deadlinesReached = 0;
};
