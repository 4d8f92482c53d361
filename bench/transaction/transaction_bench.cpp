// Times module transactions over a real pty against dgh-sim: wall time of each
// SendCommand + ReadAnswer, and the CPU the station spends per read cycle.
#include "fakes/FaultsOver.h"
#include "platform/MessageBox.h"
#include "platform/qt/PortMap.h"
#include "platform/qt/QtSerialPortAdapter.h"
#include "platform/qt/SystemClock.h"
#include "sim/SimulatorProcess.h"
#include "station/ModuleLink.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int TRANSACTIONS = 200;
const char *const CYCLE_ADDRESSES[] = {"5", "6", "7", "1", "2", "3"};
constexpr int CYCLE_LENGTH = 6;

class CountingMessageBox : public MessageBox
{
public:
    int shown = 0;
    void show(const QString &text, const QString &) override
    {
        ++shown;
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
    }
};

double processCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// CPU spent while an event loop runs for a while after the device vanished
// (the pty master closed, as when a USB adapter is pulled); a port left open
// on a dead device would burn the whole span.
double vanishedPortCpuMs(int spanMs, bool *closedItself)
{
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    char name[256];
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0 ||
        ::ptsname_r(master, name, sizeof name) != 0)
        return -1.0;
    PortMap ports;
    ports.setDevice(1, QString::fromLocal8Bit(name));
    QtSerialPortAdapter port(ports);
    if (port.open() != SerialPort::NoError)
        return -1.0;
    ::close(master);

    const double cpuStart = processCpuMs();
    QEventLoop loop;
    QTimer::singleShot(spanMs, &loop, &QEventLoop::quit);
    loop.exec();
    *closedItself = !port.isOpen();
    return processCpuMs() - cpuStart;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);

    SimulatorProcess simulator(DGH_SIM_PATH);
    QString error;
    if (!simulator.start({QStringLiteral("--seed"), QStringLiteral("7")}, &error)) {
        std::fprintf(stderr, "transaction-bench: %s\n", qPrintable(error));
        return 1;
    }
    PortMap ports;
    ports.setDevice(1, simulator.devicePath());
    QtSerialPortAdapter port(ports);
    if (const int failure = port.open(); failure != SerialPort::NoError) {
        std::fprintf(stderr, "transaction-bench: cannot open %s (error %d)\n",
                     qPrintable(simulator.devicePath()), failure);
        return 1;
    }
    CountingMessageBox messages;
    SystemClock clock;
    FaultsOver faults(messages, clock);
    ModuleLink link(port, faults.reporter, clock);

    std::vector<double> durations;
    durations.reserve(TRANSACTIONS);
    int answered = 0;
    const double cpuStart = processCpuMs();
    for (int i = 0; i < TRANSACTIONS; ++i) {
        const QString address = QLatin1String(CYCLE_ADDRESSES[i % CYCLE_LENGTH]);
        const auto start = std::chrono::steady_clock::now();
        link.SendCommand(ModuleLink::commandFrame(address));
        const QString answer = link.ReadAnswer();
        const auto end = std::chrono::steady_clock::now();
        durations.push_back(std::chrono::duration<double, std::milli>(end - start).count());
        if (answer.startsWith(QLatin1Char('*')))
            ++answered;
    }
    const double cpuMs = processCpuMs() - cpuStart;

    std::vector<double> sorted = durations;
    std::sort(sorted.begin(), sorted.end());
    const double median = (sorted[TRANSACTIONS / 2 - 1] + sorted[TRANSACTIONS / 2]) / 2.0;
    const double p99 = sorted[static_cast<std::size_t>(TRANSACTIONS * 99 / 100) - 1];
    const double cycles = static_cast<double>(TRANSACTIONS) / CYCLE_LENGTH;

    constexpr int VANISHED_SPAN_MS = 300;
    bool closedItself = false;
    const double vanishedCpuMs = vanishedPortCpuMs(VANISHED_SPAN_MS, &closedItself);

    std::printf("device %s\n", qPrintable(simulator.devicePath()));
    std::printf("vanished device: port closed itself %s, cpu_ms=%.3f in %d ms of event loop\n",
                closedItself ? "yes" : "NO", vanishedCpuMs, VANISHED_SPAN_MS);
    std::printf("transactions %d, answered %d, messages %d\n", TRANSACTIONS, answered,
                messages.shown);
    std::printf("p99_ms=%.3f station_cpu_ms_total=%.3f cycles=%.1f\n", p99, cpuMs, cycles);
    std::printf("median_ms=%.3f max_ms=%.3f min_ms=%.3f cpu_ms_per_cycle=%.3f\n", median,
                sorted.back(), sorted.front(), cpuMs / cycles);
    return answered == TRANSACTIONS ? 0 : 1;
}
