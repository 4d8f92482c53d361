// Any bytes on the line, in any amount: ReadAnswer never crashes, consumes at
// most one receive buffer, and returns TIMEOUT or a capture ending where the
// bytes ended, without its carriage return.

#include "fakes/FakeClock.h"
#include "fakes/FakeMessageBox.h"
#include "fakes/FakeSerialPort.h"
#include "fakes/FaultsOver.h"
#include "station/ModuleLink.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FakeSerialPort port;
    FakeMessageBox messages;
    FakeClock clock;
    port.received = QByteArray(reinterpret_cast<const char *>(data), static_cast<int>(size));
    FaultsOver faults(messages, clock);
    ModuleLink link(port, faults.reporter, clock);

    const QString answer = link.ReadAnswer();

    const int consumed = static_cast<int>(size) - port.bytesWaiting();
    if (consumed != qMin(static_cast<int>(size), SerialPort::RECEIVE_BUFFER_BYTES))
        std::abort();
    if (answer != ModuleLink::TIMEOUT) {
        if (answer.isEmpty() || (answer[0] != QLatin1Char('*') && answer[0] != QLatin1Char('?')))
            std::abort();
        for (const QChar ch : answer)
            if (ch.unicode() > 127)
                std::abort();
    }
    return 0;
}
