#include "events/PortWatch.h"

#include "events/EventJournal.h"
#include "platform/Clock.h"
#include "platform/SerialPort.h"
#include "station/Faults.h"

PortWatch::PortWatch(SerialPort &port, Faults &faults, EventJournal &journal, const Clock &clock)
    : m_port(port)
    , m_faults(faults)
    , m_journal(journal)
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
        if (!sameAdapter())
            return false;
        if (m_port.open() != 0)
            return false;
    }
    m_otherAdapterTold.clear();
    m_faults.recovered(Faults::PORT, QStringLiteral("Port %1 open").arg(m_port.portNumber()));
    return true;
}

bool PortWatch::sameAdapter()
{
    const QString lost = m_port.openedAdapter();
    const QString now = m_port.adapterNow();
    // Only a USB adapter says which one it is; nothing there yet is no other.
    if (!lost.startsWith(QLatin1String("usb ")) || now.isEmpty() || now == lost)
        return true;
    if (now != m_otherAdapterTold) {
        m_otherAdapterTold = now;
        m_journal.record(Faults::PORT, QStringLiteral("other adapter"),
                         QStringLiteral("%1 is now %2, not the lost %3: left alone until that "
                                        "one is back, or the operator chooses a port")
                             .arg(m_port.deviceName(), now, lost));
    }
    return false;
}
