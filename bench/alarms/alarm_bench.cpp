// What the alarms cost the window thread per read cycle, every source
// configured (four limits with deadband and delay on each of the seven
// sources, the probes' deviation, a stale time: 36 alarms) and every group
// read, the values inside their limits as on an ordinary day: the read ages
// and the alarms' evaluation (alarm_eval_us); then the same with the
// window's side listening (the status-bar indicator, the value marks and the
// Alarms window open, offscreen: alarm_window_us); then a cycle in which
// every limit alarm becomes active (alarm_transition_us, the journal and a
// command not set included). Prints figures, one a line, the last the summary.

#include "alarms/AlarmCommand.h"
#include "alarms/AlarmReporter.h"
#include "alarms/Alarms.h"
#include "alarms/ui/AlarmIndicator.h"
#include "alarms/ui/AlarmsWindow.h"
#include "alarms/ui/LiveView.h"
#include "channels/CycleReads.h"
#include "channels/ReadingAge.h"
#include "events/EventJournal.h"
#include "fakes/FakeSerialPort.h"
#include "platform/qt/SystemClock.h"
#include "station/StationState.h"

#include <QApplication>
#include <QLabel>
#include <QMenuBar>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

using Steady = std::chrono::steady_clock;

AlarmSettings everySource()
{
    QVector<IniFile::Entry> entries;
    const auto add = [&entries](const QString &key, const QString &value) {
        entries.append({AlarmSettings::SECTION, key, value, entries.size() + 1});
    };
    const double middles[] = {7, 7, 20, 20, 20, 2, 1000};
    int i = 0;
    for (const QString &source : AlarmSettings::limitSources()) {
        const double middle = middles[i++];
        add(source + ".low_low", QString::number(middle * 0.5));
        add(source + ".low", QString::number(middle * 0.8));
        add(source + ".high", QString::number(middle * 1.2));
        add(source + ".high_high", QString::number(middle * 1.5));
        add(source + ".deadband", QString::number(middle * 0.01));
        add(source + ".delay", "5");
    }
    add("deviation.ph", "1");
    add("stale.seconds", "10");
    return AlarmSettings::read(entries, [](const IniFile::Entry &) { return QString(); });
}

// One cycle's readings, every module answering, the values at `scale` of
// their middle.
CycleReads readAll(StationState &state, int cycle, double scale)
{
    const ReadCounts before = ReadCounts::of(state);
    const double wobble = 1 + (cycle % 7) * 0.001;
    state.probe1pH = 7 * scale * wobble;
    state.probe2pH = 7.1 * scale;
    state.therm1Temp = state.therm2Temp = state.therm3Temp = 20 * scale * wobble;
    state.flowLpm = 2 * scale;
    state.totalLiters = 1000 * scale;
    ++state.probe1Reads, ++state.probe1pHReads, ++state.probe2Reads, ++state.probe2pHReads;
    ++state.therm1Reads, ++state.therm2Reads, ++state.therm3Reads, ++state.flowReads;
    return {before, ReadCounts::of(state)};
}

struct Figures
{
    double median;
    double p99;
    double max;
};

Figures figures(std::vector<double> costs)
{
    std::sort(costs.begin(), costs.end());
    return {costs[costs.size() / 2], costs[costs.size() * 99 / 100], costs.back()};
}

template <typename Cycle> Figures measure(int cycles, Cycle cycle)
{
    std::vector<double> costs;
    costs.reserve(static_cast<size_t>(cycles));
    for (int i = 0; i < cycles; ++i) {
        const auto started = Steady::now();
        cycle(i);
        costs.push_back(std::chrono::duration<double, std::micro>(Steady::now() - started).count());
    }
    return figures(costs);
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir dir;
    qputenv("XDG_STATE_HOME", QFile::encodeName(dir.filePath("state")));
    QApplication app(argc, argv);
    constexpr int Cycles = 20000;

    StationState state;
    state.flowEnabled = state.phEnabled = state.thermEnabled = FlagOn;
    SystemClock clock;
    FakeSerialPort port;
    ReadingAge ages(state, clock);
    Alarms alarms(state, ages, port, clock);
    const AlarmSettings settings = everySource();
    alarms.arm(settings.alarms);
    std::printf("alarms_armed %zu\n", alarms.alarms().size());

    const auto cycle = [&](int i) {
        const CycleReads reads = readAll(state, i, 1.0);
        ages.cycleRead(reads);
        alarms.cycleRead(reads);
    };
    const Figures eval = measure(Cycles, cycle);
    std::printf("alarm_eval_us_median %.2f\nalarm_eval_us_p99 %.2f\nalarm_eval_us_max %.2f\n",
                eval.median, eval.p99, eval.max);

    QWidget window;
    QMenuBar menuBar(&window);
    QLabel labels[10];
    LiveView view(ages, port, alarms,
                  {&labels[0], &labels[1], &labels[2], &labels[3], &labels[4], &labels[5],
                   &labels[6], &labels[7], &labels[8], &labels[9]},
                  &menuBar);
    AlarmIndicator indicator;
    alarms.changed.listen([&] { indicator.showCounts(alarms); });
    AlarmsWindow list(alarms, {});
    list.show();
    const Figures withWindow = measure(Cycles / 4, cycle);
    std::printf("alarm_window_us_median %.2f\nalarm_window_us_p99 %.2f\n", withWindow.median,
                withWindow.p99);
    const Figures liveView = measure(Cycles / 4, [&view](int) { view.refresh(); });
    std::printf("live_view_refresh_us_median %.2f (twice a second)\n", liveView.median);

    EventJournal journal(clock);
    AlarmCommand command(journal, clock);
    AlarmReporter reporter(journal, command, clock);
    alarms.transitioned.listen([&reporter](const AlarmTransition &t) { reporter.transitioned(t); });
    // Every limit beyond its outer limit and back, each one a cycle.
    std::FILE *quiet = std::freopen("/dev/null", "w", stderr);
    const Figures transitions = measure(40, [&](int i) {
        const CycleReads reads = readAll(state, i, i % 2 ? 1.0 : 0.3);
        ages.cycleRead(reads);
        alarms.cycleRead(reads);
    });
    (void)quiet;
    std::printf("alarm_transition_us_median %.2f (%d alarms changing at once)\n",
                transitions.median, 14);
    std::printf("alarm_eval_us %.2f\n", eval.median);
    return 0;
}
