// Prints what opening a large log for review costs the real review window,
// offscreen: a log of one record a second (both probes drifting, the US time
// form, a new run each week as appending would make) is written to a
// temporary folder, then opened. Measured while it loads: the time to the
// last record, the rate, the longest the window's event loop went without a
// turn (a 1 ms timer's longest gap: what an operator would feel as a
// freeze), and the process's peak memory. The last line sums it up.
//
//   review-bench [MEGABYTES [LOG]]     (default 1024; LOG is kept, and read
//                                     again as it is when it exists)

#include "review/ReviewWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>

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
    QTimer turns;
    turns.setInterval(1);
    QObject::connect(&turns, &QTimer::timeout, [&] {
        longestGapMs = std::max(longestGapMs, sinceTurn.restart());
        if (window.isLoaded())
            app.quit();
    });
    turns.start();
    QApplication::exec();
    const double seconds = loading.nsecsElapsed() / 1e9;

    const qint64 held = window.store().series(1).size();
    const double storeMb =
        (window.store().series(1).bytesUsed() + window.store().series(2).bytesUsed()) / 1e6;
    std::printf("file_mb=%.0f records=%lld days=%.1f points_held_per_probe=%lld\n", fileMb,
                static_cast<long long>(records), records / 86400.0, static_cast<long long>(held));
    std::printf("review_load_s=%.2f review_mb_per_s=%.0f longest_stall_ms=%lld store_mb=%.1f "
                "peak_rss_mb=%.0f failure=\"%s\"\n",
                seconds, fileMb / seconds, static_cast<long long>(longestGapMs), storeMb,
                peakRssKb() / 1024.0, qPrintable(window.failure()));
    return window.failure().isEmpty() ? 0 : 1;
}
