#include "station/ModuleLink.h"

#include "platform/Clock.h"
#include "platform/SerialPort.h"
#include "station/Faults.h"

#include <QScopeGuard>

#include <algorithm>
#include <cmath>

ModuleLink::ModuleLink(SerialPort &port, Faults &faults, Clock &clock)
    : m_port(port)
    , m_faults(faults)
    , m_clock(clock)
{
}

QString ModuleLink::commandFrame(const QString &address)
{
    return QStringLiteral("$") + address + QStringLiteral("RD\r");
}

QString ModuleLink::valueField(const QString &answer)
{
    return answer.mid(2, 8);
}

void ModuleLink::SendCommand(const QString &command)
{
    if (m_port.isOpen())
        discardStaleBytes();
    // Checked again: a read error while discarding closes the port.
    if (m_port.isOpen())
        m_port.write(command.toLatin1());
    else
        m_faults.portNotOpen();
}

void ModuleLink::discardStaleBytes()
{
    // Bytes that came before the command cannot be its answer: an earlier
    // module's late answer left here would be taken for this module's
    // reading if this one stays silent. A few passes at most, so a babbling
    // line cannot hold us here.
    for (int pass = 0; pass < 4; ++pass) {
        const int waiting = m_port.bytesWaiting();
        if (waiting <= 0 || m_port.read(waiting).isEmpty())
            break;
    }
}

QString ModuleLink::ReadAnswer()
{
    QString capture;
    bool capturing = false;
    if (!m_port.isOpen())
        return QString();
    // Whatever happens to the line from here is the port's loss, not the
    // module's silence.
    const auto reportLoss = qScopeGuard([this] {
        if (!m_port.isOpen() && m_faults.isUnattended())
            m_faults.portNotOpen();
    });

    WaitMs(ANSWER_WAIT_MS);

    int consumed = 0;
    while (consumed < SerialPort::RECEIVE_BUFFER_BYTES && m_port.bytesWaiting() > 0) {
        const QByteArray byte = m_port.read(1);
        if (byte.isEmpty())
            break; // the port closed itself under us (read error)
        ++consumed;
        const QChar ch(byte.at(0) & CHARACTER_MASK);
        if (ch == QLatin1Char('?') || ch == QLatin1Char('*')) {
            capture = ch;
            capturing = true;
        } else if (capturing) {
            capture += ch;
        }
    }

    if (capture.endsWith(QLatin1Char('\r'))) {
        capture.chop(1);
        return capture;
    }
    if (m_settling)
        settle();
    return TIMEOUT;
}

void ModuleLink::settle()
{
    using namespace std::chrono;
    constexpr nanoseconds most = milliseconds(SETTLE_MAX_MS);
    const auto start = m_clock.monotonic();
    m_settleCredit =
        std::min(most, m_settleCredit + (start - m_creditCountedAt) * SETTLE_MAX_MS / 1000);
    // No quiet wait is begun that would end past the credit.
    const auto lastWait = start + m_settleCredit - milliseconds(static_cast<int>(SETTLE_QUIET_MS));
    while (m_port.isOpen() && m_clock.monotonic() <= lastWait) {
        WaitMs(SETTLE_QUIET_MS);
        const int waiting = m_port.bytesWaiting();
        if (waiting <= 0)
            break;
        m_port.read(qMin(waiting, SerialPort::RECEIVE_BUFFER_BYTES));
    }
    m_creditCountedAt = m_clock.monotonic();
    m_settleCredit = std::max(nanoseconds::zero(), m_settleCredit - (m_creditCountedAt - start));
}

void ModuleLink::WaitMs(float ms)
{
    using namespace std::chrono;
    if (!(ms >= 1.0f))
        return; // nothing whole to wait, also for NaN
    const auto wait = milliseconds(static_cast<long long>(std::floor(ms)));
    const auto end = m_clock.monotonic() + duration_cast<nanoseconds>(wait);
    // A sleep ends at the earliest after its time, but may end early on a
    // signal: sleep again for what is left rather than spin.
    for (auto now = m_clock.monotonic(); now < end; now = m_clock.monotonic())
        m_clock.sleepFor(end - now);
}
