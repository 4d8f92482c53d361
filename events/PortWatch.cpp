#include "events/PortWatch.h"

#include "platform/Clock.h"
#include "platform/SerialPort.h"
#include "station/Faults.h"

PortWatch::PortWatch(SerialPort &port, Faults &faults, const Clock &clock)
    : m_port(port)
    , m_faults(faults)
    , m_clock(clock)
{
}

bool PortWatch::lineReady()
{
    if (!m_port.isOpen()) {
        const bool lost = !m_port.lostReason().isEmpty();
        m_faults.portNotOpen();
        const auto now = m_clock.monotonic();
        if (!lost || now < m_nextAttempt)
            return false;
        m_nextAttempt = now + RETRY_INTERVAL;
        if (m_port.open() != 0)
            return false;
    }
    m_faults.recovered(Faults::PORT, QStringLiteral("Port %1 open").arg(m_port.portNumber()));
    return true;
}
