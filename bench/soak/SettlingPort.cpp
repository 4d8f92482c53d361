#include "SettlingPort.h"

#include <thread>

namespace {

constexpr std::chrono::microseconds POLL{20};

} // namespace

SettlingPort::SettlingPort(SerialPort &line, std::chrono::microseconds deadline)
    : m_line(line), m_deadline(deadline)
{
}

void SettlingPort::write(const QByteArray &bytes)
{
    if (onCommand)
        onCommand(bytes);
    m_line.write(bytes);
    m_settled = false;
}

int SettlingPort::bytesWaiting()
{
    if (!m_settled)
        settle();
    return m_taken.size() + m_line.bytesWaiting();
}

QByteArray SettlingPort::read(int maxBytes)
{
    if (m_taken.isEmpty())
        return m_line.read(maxBytes);
    const QByteArray out = m_taken.left(maxBytes);
    m_taken.remove(0, out.size());
    return out;
}

void SettlingPort::takeWaiting()
{
    const int waiting = m_line.bytesWaiting();
    if (waiting > 0)
        m_taken += m_line.read(waiting);
}

void SettlingPort::settle()
{
    using Clock = std::chrono::steady_clock;
    m_settled = true;
    const int expected = expectedBytes ? expectedBytes() : -1;
    const auto end = Clock::now() + m_deadline;
    while (m_line.isOpen()) {
        takeWaiting();
        if (expected >= 0 && m_taken.size() >= expected)
            return;
        if (Clock::now() >= end) {
            if (expected >= 0)
                ++m_deadlinesReached;
            return;
        }
        std::this_thread::sleep_for(POLL);
    }
}
