// Prints what opening a large log for review costs the real review window,
// offscreen: a log of one record a second (both probes drifting, the US time
// form, a new run each week as appending would make) is written to a
// temporary folder, then opened. Measured while it loads: the time to the
// first picture of the whole time line, to the last record, the rate, the
// longest the window's event loop went without a turn (a 1 ms timer's
// longest gap: what an operator would feel as a freeze), and the process's
// peak memory. Then, on the same file, for comparison: a plain scan of it
// (its line ends counted) and pandas' read_csv, where python3 has pandas.
// The last line sums it up.
//
//   review-bench [MEGABYTES [LOG]]     (default 1024; LOG is kept, and read
//                                     again as it is when it exists)

#include "review/ReviewWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

qint64 peakRssKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    return 0;
}

qint64 writeLog(const QString &fileName, qint64 bytes)
{
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return 0;
    QRandomGenerator random(7);
    QDateTime at(QDate(2026, 1, 5), QTime(8, 0), Qt::UTC); // no time-zone lookups per record
    double a = 7;
    double b = 6.5;
    qint64 records = 0;
    qint64 written = 0;
    QByteArray chunk;
    chunk.reserve(2 << 20); // kept across chunks: no allocation per chunk
    while (written + chunk.size() < bytes) {
        if (records % (7 * 86400) == 0)
            chunk += "\r\n\"Kestrom Science DGH Logging Program\",#" +
                at.date().toString(Qt::ISODate).toLatin1() +
                "#\r\n\"Version: 1.1\"\r\n\r\n\"Time, Therm1, Therm2, Therm3, pH 1 mVolts, "
                "pH 2 mVolts, pH 1 value, pH 2 value, Flow Frequency, Liters/min, "
                "Liters\"\r\n\r\n";
        a = qBound(2.0, a + random.bounded(0.02) - 0.01, 12.0);
        b = qBound(2.0, b + random.bounded(0.02) - 0.01, 12.0);
        chunk += '"' + at.time().toString(QStringLiteral("h:mm:ss AP")).toLatin1() +
            "\",21.5,21.75,22,2545.3,2601.7," + QByteArray::number(a, 'f', 4) + ',' +
            QByteArray::number(b, 'f', 4) + ",172.5,1.5,\"" +
            QByteArray::number(records * 0.025, 'f', 2) + "\"\r\n";
        at = at.addSecs(1);
        ++records;
        if (chunk.size() > (1 << 20)) {
            written += file.write(chunk);
            chunk.resize(0);
        }
    }
    file.write(chunk);
    return records;
}

struct Scan
{
    qint64 lines = 0;
    double seconds = 0;
};

// What reading the file costs at least: every byte looked at once, its line
// ends counted.
Scan plainScan(const QString &fileName)
{
    Scan scan;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return scan;
    QElapsedTimer timer;
    timer.start();
    std::vector<char> block(4 << 20);
    qint64 got = 0;
    while ((got = file.read(block.data(), static_cast<qint64>(block.size()))) > 0) {
        const char *end = block.data() + got;
        for (const char *at = block.data();
             (at = static_cast<const char *>(std::memchr(at, '\n', size_t(end - at)))); ++at)
            ++scan.lines;
    }
    scan.seconds = timer.nsecsElapsed() / 1e9;
    return scan;
}

// pandas' read_csv of the same file, every line as eleven columns (a run's
// header lines too, which a table of the log would hold as well).
QString pandasRead(const QString &fileName)
{
    const QString python =
        QStandardPaths::findExecutable(QStringLiteral("python3"), {QStringLiteral("/usr/bin")});
    if (python.isEmpty())
        return QStringLiteral("pandas=unavailable (no python3)");
    QProcess run;
    run.start(
        python,
        {QStringLiteral("-c"),
         QStringLiteral("import sys, time\n"
                        "try:\n"
                        "    import pandas\n"
                        "except ImportError:\n"
                        "    print('pandas=unavailable (python3 has no pandas)'); sys.exit(0)\n"
                        "import os\n"
                        "t = time.time()\n"
                        "frame = pandas.read_csv(sys.argv[1], header=None, names=range(11), "
                        "quotechar='\"', engine='c', low_memory=False, on_bad_lines='skip')\n"
                        "s = time.time() - t\n"
                        "mb = os.path.getsize(sys.argv[1]) / 1048576\n"
                        "print('pandas_%s_s=%.2f pandas_mb_per_s=%.0f pandas_rows=%d' "
                        "% (pandas.__version__, s, mb / s, len(frame)))\n"),
         fileName});
    if (!run.waitForFinished(10 * 60 * 1000))
        return QStringLiteral("pandas=did not finish in 10 minutes");
    return QString::fromLocal8Bit(run.readAllStandardOutput()).trimmed() +
        QString::fromLocal8Bit(run.readAllStandardError()).trimmed().right(200);
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const qint64 megabytes = argc > 1 ? QByteArray(argv[1]).toLongLong() : 1024;
    QTemporaryDir folder;
    const QString log =
        argc > 2 ? QString::fromLocal8Bit(argv[2]) : folder.filePath(QStringLiteral("big.txt"));
    const qint64 records = QFile::exists(log) ? 0 : writeLog(log, megabytes << 20);
    const double fileMb = QFile(log).size() / 1048576.0;

    QElapsedTimer loading;
    loading.start();
    ReviewWindow window({log});
    window.resize(900, 640);
    window.show();

    // The event loop's turns, seen by a timer that wants one every millisecond.
    QElapsedTimer sinceTurn;
    sinceTurn.start();
    qint64 longestGapMs = 0;
    double firstPictureS = -1;
    QTimer turns;
    turns.setInterval(1);
    QObject::connect(&turns, &QTimer::timeout, [&] {
        longestGapMs = std::max(longestGapMs, sinceTurn.restart());
        if (firstPictureS < 0 && window.showsWholeTimeLine())
            firstPictureS = loading.nsecsElapsed() / 1e9; // drawn by this turn
        if (window.isLoaded())
            app.quit();
    });
    turns.start();
    QApplication::exec();
    const double seconds = loading.nsecsElapsed() / 1e9;
    const double peakMb = peakRssKb() / 1024.0;

    const qint64 held = window.store().series(1).size();
    const double storeMb =
        (window.store().series(1).bytesUsed() + window.store().series(2).bytesUsed()) / 1e6;
    const Scan scan = plainScan(log);
    const QString pandas = pandasRead(log);
    std::printf("file_mb=%.0f lines=%lld written_records=%lld points_held_per_probe=%lld\n", fileMb,
                static_cast<long long>(scan.lines), static_cast<long long>(records),
                static_cast<long long>(held));
    std::printf("plain_scan_s=%.2f plain_scan_mb_per_s=%.0f\n", scan.seconds,
                fileMb / scan.seconds);
    std::printf("%s\n", qPrintable(pandas));
    std::printf("review_first_picture_s=%.2f review_load_s=%.2f review_mb_per_s=%.0f "
                "longest_stall_ms=%lld store_mb=%.1f peak_rss_mb=%.0f failure=\"%s\"\n",
                firstPictureS, seconds, fileMb / seconds, static_cast<long long>(longestGapMs),
                storeMb, peakMb, qPrintable(window.failure()));
    return window.failure().isEmpty() ? 0 : 1;
}
