// An hour of 500 ms logger ticks (7200 records) into a real file: what one
// record costs the UI thread, from the clock read to the line handed to the
// operating system. Then records at a steady pace while the syncing thread
// writes the file back to the disk: the UI thread's cost per record then,
// and the syncs a second. Prints figures, one a line.

#include "fakes/FakeMessageBox.h"
#include "fakes/FakeWidgets.h"
#include "fakes/FaultsOver.h"
#include "logging/LogSetup.h"
#include "logging/Logger.h"
#include "platform/qt/SystemClock.h"
#include "station/StationState.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    constexpr int Records = 7200;
    constexpr int PacedRecords = 80;
    constexpr int PacedIntervalMs = 50;

    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fprintf(stderr, "no temporary folder\n");
        return 1;
    }
    const QString fileName = dir.filePath(QStringLiteral("hour.txt"));

    StationState state;
    state.probe1Offset = state.probe2Offset = 2.5777;
    state.probe1Slope = state.probe2Slope = 4.5427;
    state.probe1Serial = state.probe2Serial = QStringLiteral("180312");
    FakeTimer tmrLogger;
    FakeStatusBar statusBar;
    FakeButton mnuStop;
    FakeButton mnuLogSetup;
    FakeLabel liters;
    FakeMessageBox messages;
    SystemClock clock;
    FaultsOver faults(messages, clock);
    Logger logger(state, tmrLogger, statusBar, mnuStop, mnuLogSetup, liters, faults.reporter, clock,
                  QCoreApplication::applicationDirPath());
    LogSetup setup(logger, messages);

    QString error;
    if (!setup.startWithoutDialog(fileName, LogFile::Mode::Overwrite, 0.5, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }

    std::vector<qint64> costs;
    costs.reserve(Records);
    QElapsedTimer total;
    total.start();
    for (int i = 0; i < Records; ++i) {
        // New readings every other tick, as the once-a-second read cycle gives.
        if (i % 2 == 0) {
            state.therm1Temp = 21.5 + (i % 37) * 0.01;
            state.therm2Temp = 21.75 + (i % 41) * 0.01;
            state.therm3Temp = 22 + (i % 43) * 0.01;
            state.probe1mV = 2545.3 + (i % 97) * 0.1;
            state.probe2mV = 2601.7 - (i % 89) * 0.1;
            state.probe1pH = 6.878 + (i % 11) * 0.0001;
            state.probe2pH = 7.0904 - (i % 13) * 0.0001;
            state.flowHz = 172.5 + (i % 7);
            state.flowLpm = 1.5;
            liters.setText(QString::number(37.25 + i * 0.01, 'f', 2));
        }
        QElapsedTimer one;
        one.start();
        tmrLogger.fire();
        costs.push_back(one.nsecsElapsed());
    }
    const qint64 totalNs = total.nsecsElapsed();

    // Then at a steady pace, as the log timer writes, while the syncing
    // thread writes the file back to the disk: what a record costs the UI
    // thread then, and how often the disk is synced.
    const long long syncsBefore = logger.logFile().diskSyncs();
    std::vector<qint64> paced;
    QElapsedTimer pacedTime;
    pacedTime.start();
    for (int i = 0; i < PacedRecords; ++i) {
        // Waiting busy keeps the CPU awake: the figure is then what the
        // syncing costs a record, not what a sleeping CPU takes to wake.
        QElapsedTimer pause;
        pause.start();
        while (pause.elapsed() < PacedIntervalMs) { }
        QElapsedTimer one;
        one.start();
        tmrLogger.fire();
        paced.push_back(one.nsecsElapsed());
    }
    const double pacedSeconds = static_cast<double>(pacedTime.nsecsElapsed()) / 1e9;
    const long long syncs = logger.logFile().diskSyncs() - syncsBefore;
    logger.StopLogging();

    if (!messages.texts.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(messages.texts.constFirst()));
        return 1;
    }
    std::vector<qint64> sorted = costs;
    std::sort(sorted.begin(), sorted.end());
    const auto percentile = [&sorted](double p) {
        return sorted[static_cast<size_t>(p * static_cast<double>(sorted.size() - 1))] / 1000.0;
    };
    qint64 sum = 0;
    for (const qint64 c : costs)
        sum += c;
    const double meanUs = static_cast<double>(sum) / Records / 1000.0;

    std::printf("records=%d\n", Records);
    std::printf("file_bytes=%lld\n", static_cast<long long>(QFileInfo(fileName).size()));
    std::printf("total_ms=%.1f\n", static_cast<double>(totalNs) / 1e6);
    std::printf("median_us=%.1f\n", percentile(0.5));
    std::printf("p99_us=%.1f\n", percentile(0.99));
    std::printf("p999_us=%.1f\n", percentile(0.999));
    std::printf("max_us=%.1f\n", sorted.back() / 1000.0);
    std::printf("first_record_us=%.1f\n", costs.front() / 1000.0);
    std::printf("over_1ms=%ld\n",
                static_cast<long>(std::count_if(costs.cbegin(), costs.cend(),
                                                [](qint64 c) { return c > 1000000; })));
    std::printf("us_per_record=%.1f\n", meanUs);
    qint64 pacedSum = 0;
    for (const qint64 c : paced)
        pacedSum += c;
    std::printf("synced_us_per_record=%.1f\n",
                static_cast<double>(pacedSum) / PacedRecords / 1000.0);
    std::printf("synced_max_us=%.1f\n", *std::max_element(paced.cbegin(), paced.cend()) / 1000.0);
    std::printf("disk_syncs_per_second=%.2f\n", syncs / pacedSeconds);
    return 0;
}
