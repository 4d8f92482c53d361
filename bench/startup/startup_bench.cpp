// Start-up time of kestrom-dgh: launches the program offscreen on a fresh
// pseudo-terminal as port 1, with --exit-when-shown, and times each run from
// launch to the end of the process after its first paint of the window.
// Prints each run, then the median as the last line: startup_ms=X.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <pty.h>
#include <unistd.h>
#include <vector>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 9;
    const QString program = QStringLiteral(KESTROM_DGH_PATH);

    int master = -1;
    int slave = -1;
    char name[256] = {};
    if (::openpty(&master, &slave, name, nullptr, nullptr) != 0) {
        std::perror("openpty");
        return 1;
    }

    QTemporaryDir config; // no calibration file: the first-run path
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());

    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        QProcess station;
        station.setProcessEnvironment(environment);
        QElapsedTimer clock;
        clock.start();
        station.start(program,
                      {QStringLiteral("--device"),
                       QStringLiteral("1=%1").arg(QString::fromLocal8Bit(name)),
                       QStringLiteral("--exit-when-shown")});
        if (!station.waitForFinished(30000) || station.exitStatus() != QProcess::NormalExit ||
            station.exitCode() != 0) {
            std::fprintf(stderr, "run %d: the station did not start and end cleanly (exit %d)\n%s",
                         run + 1, station.exitCode(), station.readAllStandardError().constData());
            return 1;
        }
        const double ms = double(clock.nsecsElapsed()) / 1e6;
        times.push_back(ms);
        std::printf("run %d: %.1f ms\n", run + 1, ms);
    }
    ::close(slave);
    ::close(master);

    std::sort(times.begin(), times.end());
    const double median = times.size() % 2
        ? times[times.size() / 2]
        : (times[times.size() / 2 - 1] + times[times.size() / 2]) / 2;
    std::printf("min_ms=%.1f max_ms=%.1f runs=%d\n", times.front(), times.back(), runs);
    std::printf("startup_ms=%.1f\n", median);
    return 0;
}
