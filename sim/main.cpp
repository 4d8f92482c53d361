// dgh-sim: the six modules of the station on a pseudo-terminal.
#include "sim/ModuleSimulator.h"
#include "sim/SimulatorOptions.h"

#include <csignal>
#include <cstdio>
#include <sys/prctl.h>

namespace {

ModuleSimulator *g_simulator = nullptr;

void onStopSignal(int)
{
    if (g_simulator)
        g_simulator->requestStop();
}

} // namespace

int main(int argc, char *argv[])
{
    SimulatorOptions options;
    std::string error;
    if (!SimulatorOptions::parse(std::vector<std::string>(argv + 1, argv + argc), &options,
                                 &error)) {
        std::fprintf(stderr, "dgh-sim: %s\n%s", error.c_str(), SimulatorOptions::usage().c_str());
        return 2;
    }
    if (options.help) {
        std::fputs(SimulatorOptions::usage().c_str(), stdout);
        return 0;
    }

    // A station or test that crashes must not leave its simulator behind.
    if (options.exitWithParent)
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);

    ModuleSimulator simulator(options);
    if (!simulator.open(&error)) {
        std::fprintf(stderr, "dgh-sim: %s\n", error.c_str());
        return 1;
    }

    g_simulator = &simulator;
    struct sigaction action
    {
    };
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    // Whoever started us waits for this line to learn where to connect.
    std::printf("%s\n", simulator.slavePath().c_str());
    std::fflush(stdout);

    simulator.run();
    g_simulator = nullptr;
    return 0;
}
