// station-soak: the real kestrom-dgh program, unattended and offscreen,
// against dgh-sim on a pty behind a link, with about 1 % each of refused,
// missing, truncated, CR LF-ended and late answers, for hours of real time
// (nothing is sped up: the station keeps its own clock). The simulator is
// ended and started again behind the same link some times on the way, as a
// pulled USB adapter and its return. Afterwards the log, the event journal
// and what the simulators say they received and sent are read and judged;
// the last line sums it up and the exit status says whether the targets
// held.
//
//   station-soak [--minutes M] [--pulls P] [--gap-seconds S] [--seed N] [--keep]
//
// KESTROM_DGH and DGH_SIM name other copies of the two programs to run, so
// that a long soak is not disturbed by a rebuild.

#include "../soak/SimulatorLog.h"
#include "fakes/Reference.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QThread>

#include <cmath>
#include <cstdio>

namespace {

struct Options
{
    double minutes = 120;
    int pulls = 2;
    int gapSeconds = 6;
    int seed = 7;
    bool keep = false;
};

const char *const Usage =
    "usage: station-soak [--minutes M] [--pulls P] [--gap-seconds S] [--seed N] [--keep]\n"
    "  --minutes M      how long the station runs, in real time (120)\n"
    "  --pulls P        how often the simulator is ended and started again (2)\n"
    "  --gap-seconds S  how long it stays away each time (6)\n"
    "  --seed N         the simulator's fault sequence (7)\n"
    "  --keep           keep the folder with the log, journal and simulator logs\n";

// False with the usage text for --help, or with the reason for anything it
// cannot take: a soak of hours must not start on a typing error.
bool parseOptions(const QStringList &args, Options *options, QString *error)
{
    for (int i = 1; i < args.size(); ++i) {
        const QString &name = args[i];
        if (name == "--help" || name == "-h") {
            *error = QString::fromLatin1(Usage);
            return false;
        }
        if (name == "--keep") {
            options->keep = true;
            continue;
        }
        const bool known =
            name == "--minutes" || name == "--pulls" || name == "--gap-seconds" || name == "--seed";
        if (!known) {
            *error = QStringLiteral("station-soak: unknown option '%1'\n%2").arg(name, Usage);
            return false;
        }
        bool ok = false;
        const double value = i + 1 < args.size() ? args[i + 1].toDouble(&ok) : 0;
        if (!ok || value < 0 || (name != "--minutes" && value != std::floor(value))) {
            *error =
                QStringLiteral("station-soak: %1 needs a number of 0 or more\n%2").arg(name, Usage);
            return false;
        }
        ++i;
        if (name == "--minutes")
            options->minutes = value;
        else if (name == "--pulls")
            options->pulls = int(value);
        else if (name == "--gap-seconds")
            options->gapSeconds = int(value);
        else
            options->seed = int(value);
    }
    return true;
}

// What one simulator's log says: frames received, faults injected, the
// readings sent per address.
struct SimulatorRecord
{
    long long frames = 0;
    long long faults = 0;
    QHash<QChar, QSet<double>> sent;
};

void readSimulatorLog(const QString &path, SimulatorRecord *record)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    QChar address;
    while (!file.atEnd()) {
        const QByteArray line = file.readLine().trimmed();
        if (line.startsWith("dgh-sim: rx $")) {
            ++record->frames;
            address = QChar::fromLatin1(line.at(13));
        } else if (line.startsWith("dgh-sim: answer ")) {
            const QByteArray rest = line.mid(16);
            const int blank = rest.indexOf(' ');
            const QByteArray fault = blank < 0 ? rest : rest.left(blank);
            if (fault != "clean")
                ++record->faults;
            const QByteArray bytes =
                blank < 0 ? QByteArray() : SimulatorLog::unescaped(rest.mid(blank + 1));
            if (bytes.startsWith('*') && bytes.size() > 2) {
                bool ok = false;
                double value = bytes.mid(2, 8).trimmed().toDouble(&ok);
                if (bytes.at(1) == '-')
                    value = -value;
                if (ok)
                    record->sent[address].insert(value);
            }
        }
    }
}

bool hasFrame(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.readAll().contains("dgh-sim: rx $");
}

long rssKb(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine())
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return 0;
}

void wait(int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(20);
    }
}

bool startSimulator(QProcess &sim, const QString &link, const QString &logPath, int seed)
{
    sim.setStandardErrorFile(logPath);
    sim.start(qEnvironmentVariable("DGH_SIM", QStringLiteral(DGH_SIM_PATH)),
              {"--link", link, "--log", "--mark-values", "--seed", QString::number(seed), "--fault",
               "refusal@0.01", "--fault", "none@0.01", "--fault", "truncated@0.01", "--fault",
               "crlf@0.01", "--fault", "late@0.01"});
    return sim.waitForStarted(5000) && sim.waitForReadyRead(5000);
}

void stop(QProcess &process)
{
    process.terminate();
    if (!process.waitForFinished(10000)) {
        process.kill();
        process.waitForFinished(5000);
    }
}

// The faults a journal accounts for, per module: each episode from its
// "fault" to its "answering again" (which says how many), or to its last
// "still failing" count when it has not ended; and, while a module is
// intermittent, the faults its "still intermittent" and "steady" lines count.
long long journaledFaults(const QString &path, long long *recoveries, long long *lines)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    static const QRegularExpression event(R"re(^[^,]+,([^,]+),([^,]+),"(.*)"$)re");
    static const QRegularExpression after(R"(after (\d+) faults?)");
    static const QRegularExpression inARow(R"(\((\d+) times in a row\))");
    static const QRegularExpression counted(R"(: (\d+) faults? in \d+ episodes? since)");
    QHash<QString, long long> open;
    long long total = 0;
    while (!file.atEnd()) {
        ++*lines;
        const QRegularExpressionMatch m = event.match(QString::fromUtf8(file.readLine().trimmed()));
        if (!m.hasMatch())
            continue;
        const QString source = m.captured(1);
        const QString kind = m.captured(2);
        const QString text = m.captured(3);
        if (kind == "port reopened")
            ++*recoveries;
        if (source == "port" || source == "log" || source == "settings")
            continue;
        if (kind == "fault") {
            open[source] = 1;
        } else if (kind == "still failing") {
            const auto c = inARow.match(text);
            if (c.hasMatch())
                open[source] = c.captured(1).toLongLong();
        } else if (kind == "still intermittent" || kind == "steady") {
            const auto c = counted.match(text);
            total += c.hasMatch() ? c.captured(1).toLongLong() : 0;
        } else if (kind == "answering again") {
            const auto a = after.match(text);
            total += a.hasMatch() ? a.captured(1).toLongLong() : open.value(source);
            open.remove(source);
        }
    }
    for (long long left : qAsConst(open))
        total += left;
    return total;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    Options options;
    QString error;
    if (!parseOptions(app.arguments(), &options, &error)) {
        std::fputs(qPrintable(error), error.startsWith("usage") ? stdout : stderr);
        return error.startsWith("usage") ? 0 : 2;
    }

    QTemporaryDir dir;
    if (options.keep) {
        dir.setAutoRemove(false);
        std::fprintf(stderr, "station-soak: keeping %s\n", qPrintable(dir.path()));
    }
    const QString link = dir.filePath("line");
    const QString logPath = dir.filePath("soak.csv");
    auto simLog = [&](int n) { return dir.filePath(QStringLiteral("sim-%1.log").arg(n)); };

    QProcess sim;
    if (!startSimulator(sim, link, simLog(0), options.seed)) {
        std::fprintf(stderr, "station-soak: dgh-sim did not start\n");
        return 2;
    }

    QProcess station;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("XDG_CONFIG_HOME", dir.filePath("config"));
    env.insert("XDG_STATE_HOME", dir.filePath("state"));
    station.setProcessEnvironment(env);
    station.setStandardErrorFile(dir.filePath("station.err"));
    station.start(qEnvironmentVariable("KESTROM_DGH", QStringLiteral(KESTROM_DGH_PATH)),
                  {"--unattended", "--device", "1=" + link, "--poll", "flow,ph,therm", "--log",
                   logPath, "--overwrite", "--interval", "1"});
    if (!station.waitForStarted(5000)) {
        std::fprintf(stderr, "station-soak: kestrom-dgh did not start\n");
        return 2;
    }

    QElapsedTimer clock;
    clock.start();
    const qint64 total = qint64(options.minutes * 60000);
    const qint64 warmUp = std::min<qint64>(60000, total / 10);
    while (!hasFrame(simLog(0)) && clock.elapsed() < 20000)
        wait(50);
    const qint64 firstFrame = clock.elapsed();

    long rssStart = 0;
    double pulledMs = 0;
    double maxRecoveryS = 0;
    int pulls = 0;
    for (int pull = 1; pull <= options.pulls + 1; ++pull) {
        const qint64 until = total * pull / (options.pulls + 1);
        while (clock.elapsed() < until && station.state() == QProcess::Running) {
            wait(200);
            if (rssStart == 0 && clock.elapsed() >= warmUp)
                rssStart = rssKb(station.processId());
        }
        if (pull > options.pulls || station.state() != QProcess::Running)
            break;
        // The adapter pulled out, then plugged back in under a new pty.
        const qint64 pulledAt = clock.elapsed();
        stop(sim);
        wait(options.gapSeconds * 1000);
        if (!startSimulator(sim, link, simLog(pull), options.seed + pull)) {
            std::fprintf(stderr, "station-soak: dgh-sim did not start again\n");
            return 2;
        }
        const qint64 back = clock.elapsed();
        while (!hasFrame(simLog(pull)) && clock.elapsed() - back < 30000)
            wait(50);
        const qint64 recovered = clock.elapsed();
        ++pulls;
        pulledMs += recovered - pulledAt;
        maxRecoveryS = std::max(maxRecoveryS, (recovered - back) / 1000.0);
    }
    const long rssEnd = rssKb(station.processId());
    const bool stillRunning = station.state() == QProcess::Running;
    const qint64 end = clock.elapsed();
    stop(station);
    stop(sim);

    SimulatorRecord sims;
    for (int n = 0; n <= pulls; ++n)
        readSimulatorLog(simLog(n), &sims);

    // The log: a header, then records; every value as a simulator sent it.
    QFile logFile(logPath);
    logFile.open(QIODevice::ReadOnly);
    const QList<QByteArray> lines = logFile.readAll().split('\n');
    static const QRegularExpression record(
        R"(^"\d{1,2}:\d\d:\d\d[^"]*",(-?[\d.]+),(-?[\d.]+),(-?[\d.]+),(-?[\d.]+),(-?[\d.]+),(-?[\d.]+),(-?[\d.]+),(-?[\d.]+),(-?[\d.]+),"[^"]*"$)");
    long long records = 0, torn = 0, wrong = 0;
    for (int i = 0; i < lines.size(); ++i) {
        const QByteArray &raw = lines[i];
        if (i == lines.size() - 1) {
            torn += raw.isEmpty() ? 0 : 1; // the file must end with a whole line
            continue;
        }
        if (!raw.endsWith('\r')) {
            ++torn;
            continue;
        }
        const QString line = QString::fromUtf8(raw.chopped(1));
        if (i < 12)
            continue; // the header, checked byte for byte by the logging tests
        const QRegularExpressionMatch m = record.match(line);
        if (!m.hasMatch()) {
            ++torn;
            continue;
        }
        ++records;
        const auto sentBy = [&](int column, QChar address) {
            const double value = m.captured(column).toDouble();
            return value == 0 || sims.sent.value(address).contains(value);
        };
        const double hz = m.captured(8).toDouble();
        const bool good = sentBy(1, '1') && sentBy(2, '2') && sentBy(3, '3') && sentBy(4, '6') &&
            sentBy(5, '7') && sentBy(8, '5') &&
            m.captured(9).toDouble() == halfEven(hz * 60 / 6900, 2);
        wrong += good ? 0 : 1;
    }

    long long recoveries = 0;
    long long journalLines = 0;
    const long long journaled = journaledFaults(logPath + ".events", &recoveries, &journalLines);
    const double stationSeconds = (end - firstFrame) / 1000.0;
    const long long expected = std::llround(6 * (stationSeconds - pulledMs / 1000.0));
    std::printf("station_hours=%.2f frames_expected=%lld frames_sent=%lld faults_injected=%lld "
                "faults_journaled=%lld port_pulls=%d recoveries=%lld max_recovery_s=%.1f "
                "journal_lines=%lld records=%lld torn=%lld wrong=%lld rss_start_kb=%ld "
                "rss_end_kb=%ld\n",
                stationSeconds / 3600, expected, sims.frames, sims.faults, journaled, pulls,
                recoveries, maxRecoveryS, journalLines, records, torn, wrong, rssStart, rssEnd);
    // A journal someone will read: under a hundred lines a station-hour.
    const bool readable = journalLines <= 100 * std::max(1.0, stationSeconds / 3600);
    const bool held = stillRunning && sims.frames >= 0.99 * expected && journaled >= sims.faults &&
        recoveries == pulls && maxRecoveryS <= 10 && torn == 0 && wrong == 0 && readable &&
        rssEnd <= rssStart * 1.05;
    return held ? 0 : 1;
}
