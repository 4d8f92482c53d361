#include "SettlingPort.h"

#include <thread>

namespace {
constexpr std::chrono::microseconds POLL{20};
}

SettlingPort::SettlingPort(SerialPort &line, std::chrono::microseconds deadline)
    : m_line(line)
    , m_deadline(deadline)
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
    if (!m_settled) {
        m_settled = true;
        const long long expected = expectedBytes ? expectedBytes() : -1;
        if (expected >= 0)
            takeUpTo(expected);
    }
    return m_arrived.size();
}

QByteArray SettlingPort::read(int maxBytes)
{
    const QByteArray out = m_arrived.left(maxBytes);
    m_arrived.remove(0, out.size());
    return out;
}

void SettlingPort::catchUp(long long total)
{
    takeUpTo(total);
}

void SettlingPort::takeUpTo(long long total)
{
    using Clock = std::chrono::steady_clock;
    const auto end = Clock::now() + m_deadline;
    while (m_totalTaken < total && m_line.isOpen()) {
        const int waiting = m_line.bytesWaiting();
        if (waiting > 0) {
            const QByteArray bytes =
                m_line.read(static_cast<int>(qMin<long long>(waiting, total - m_totalTaken)));
            m_totalTaken += bytes.size();
            m_arrived += bytes;
            continue;
        }
        if (Clock::now() >= end) {
            ++m_deadlinesReached;
            return;
        }
        std::this_thread::sleep_for(POLL);
    }
}
