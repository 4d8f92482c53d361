#include "ui/chart/BoundedSeries.h"
#include "ui/chart/ChartCsv.h"
#include "ui/chart/ChartStore.h"
#include "ui/chart/ContinuousTimeBase.h"
#include "ui/chart/CursorMeasurement.h"
#include "ui/chart/PlotSeries.h"

#include <QBuffer>
#include <QRandomGenerator>
#include <QtTest>

#include <cmath>
#include <limits>

namespace {

constexpr double Second = 1.0 / 86400;

// How the test series are made: one point a second from 08:00 by default.
enum class Shape { RandomWalk, Sine, Steps };

PlotSeries makeSeries(Shape shape, int count, quint32 seed)
{
    PlotSeries series;
    QRandomGenerator random(seed);
    double value = 7;
    for (int i = 0; i < count; ++i) {
        const double x = 8.0 / 24 + i * Second;
        switch (shape) {
        case Shape::RandomWalk: value += random.bounded(0.2) - 0.1; break;
        case Shape::Sine: value = 7 + 3 * std::sin(i / 500.0) + random.bounded(0.5); break;
        case Shape::Steps: value = (i / 1000) % 2 ? 4 : 10; break;
        }
        series.append(x, value);
    }
    return series;
}

// The lowest and highest Y per column, straight from the points.
struct Extent
{
    double low = std::numeric_limits<double>::infinity();
    double high = -std::numeric_limits<double>::infinity();
    void add(double y)
    {
        low = std::min(low, y);
        high = std::max(high, y);
    }
};

int columnOf(double x, double x0, double x1, int columns)
{
    return static_cast<int>(std::floor((x - x0) / ((x1 - x0) / columns)));
}

} // namespace

Q_DECLARE_METATYPE(Shape)
using Values = QVector<double>;

class TestPlotSeries : public QObject
{
    Q_OBJECT

private slots:
    void envelopeMatchesRawPoints_data();
    void envelopeMatchesRawPoints();
    void lineBreaks_data();
    void lineBreaks();
    void refusesNonFinite_data();
    void refusesNonFinite();
    void compact_data();
    void compact();
    void timeBase_data();
    void timeBase();
    void oldSpikeKeptInBoundedMemory_data();
    void oldSpikeKeptInBoundedMemory();
    void measurementBetweenCursors_data();
    void measurementBetweenCursors();
    void pointsAsCsv_data();
    void pointsAsCsv();
    void olderPointsExportedAsEnvelope();
};

// clang-format off
void TestPlotSeries::envelopeMatchesRawPoints_data()
{
    QTest::addColumn<Shape>("shape");
    QTest::addColumn<int>("count");
    QTest::addColumn<double>("fromSecond"); // the view, in seconds after the first point
    QTest::addColumn<double>("toSecond");
    QTest::addColumn<int>("columns");

    QTest::newRow("hourFull")         << Shape::RandomWalk << 3600   << 0.0 << 3600.0 << 883;
    QTest::newRow("dayFull")          << Shape::Sine       << 86400  << 0.0 << 86400.0 << 883;
    QTest::newRow("weekFull")         << Shape::RandomWalk << 604800 << 0.0 << 604800.0 << 883;
    QTest::newRow("weekZoomedHour")   << Shape::Sine       << 604800 << 300000.5 << 303600.5 << 700;
    QTest::newRow("fewerPointsThanColumns") << Shape::Steps << 3000 << 1000.0 << 1400.0 << 883;
    QTest::newRow("stepsOddColumns")  << Shape::Steps      << 100000 << 17.0 << 99001.0 << 37;
    QTest::newRow("viewBeyondData")   << Shape::RandomWalk << 5000   << -2000.0 << 9000.0 << 500;
}
// clang-format on

void TestPlotSeries::envelopeMatchesRawPoints()
{
    QFETCH(Shape, shape);
    QFETCH(int, count);
    QFETCH(double, fromSecond);
    QFETCH(double, toSecond);
    QFETCH(int, columns);

    const PlotSeries series = makeSeries(shape, count, 42);
    const double x0 = series.x(0) + fromSecond * Second;
    const double x1 = series.x(0) + toSecond * Second;

    QMap<int, Extent> raw;
    for (qint64 i = 0; i < series.size(); ++i) {
        const int column = columnOf(series.x(i), x0, x1, columns);
        if (column >= 0 && column < columns)
            raw[column].add(series.y(i));
    }

    const auto lines = series.envelope(x0, x1, columns);
    QCOMPARE(int(lines.size()), 1);
    QMap<int, Extent> drawn;
    for (const QPointF &vertex : lines.front()) {
        const int column = columnOf(vertex.x(), x0, x1, columns);
        if (column >= 0 && column < columns)
            drawn[column].add(vertex.y());
    }
    QCOMPARE(drawn.keys(), raw.keys());
    for (auto it = raw.cbegin(); it != raw.cend(); ++it) {
        QCOMPARE(drawn[it.key()].low, it->low);
        QCOMPARE(drawn[it.key()].high, it->high);
    }
    // The drawing stays bounded by the columns, not by the points.
    QVERIFY(lines.front().size() <= 4 * columns + 2);
    // The line reaches beyond both edges when there are points there.
    if (fromSecond > 0)
        QVERIFY(lines.front().first().x() < x0);
    if (toSecond < count - 1)
        QVERIFY(lines.front().last().x() >= x1);
}

// clang-format off
void TestPlotSeries::lineBreaks_data()
{
    QTest::addColumn<Values>("seconds");
    QTest::addColumn<int>("segments");

    QTest::newRow("steady")          << Values{0, 1, 2, 3}        << 1;
    QTest::newRow("repeatedTime")    << Values{0, 1, 1, 2}        << 1;
    QTest::newRow("slowTicks")       << Values{0, 2, 4, 14}       << 1;
    QTest::newRow("pausedGap")       << Values{0, 1, 2, 63, 64}   << 2;
    QTest::newRow("clockStepsBack")  << Values{0, 1, 2, 1.5, 2.5} << 2;
    QTest::newRow("twoPauses")       << Values{0, 100, 101, 500}  << 3;
}
// clang-format on

void TestPlotSeries::lineBreaks()
{
    QFETCH(Values, seconds);
    QFETCH(int, segments);

    PlotSeries series;
    for (double s : seconds)
        series.append(0.5 + s * Second, 7);
    QCOMPARE(series.segmentCount(), segments);
    QCOMPARE(series.size(), qint64(seconds.size()));
    // Each segment keeps its X in order, and the segments cover every point.
    qint64 covered = 0;
    for (int s = 0; s < series.segmentCount(); ++s) {
        for (qint64 i = series.segmentStart(s) + 1; i < series.segmentEnd(s); ++i)
            QVERIFY(series.x(i) >= series.x(i - 1));
        covered += series.segmentEnd(s) - series.segmentStart(s);
    }
    QCOMPARE(covered, series.size());
    const auto lines = series.envelope(0.5 - Second, 0.5 + 600 * Second, 1000);
    QCOMPARE(int(lines.size()), segments);
}

// clang-format off
void TestPlotSeries::refusesNonFinite_data()
{
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");

    const double inf = std::numeric_limits<double>::infinity();
    QTest::newRow("nanY")          << 0.5 << std::nan("");
    QTest::newRow("infiniteY")     << 0.5 << -inf;
    QTest::newRow("nanX")          << std::nan("") << 7.0;
    QTest::newRow("beyondFloat")   << 0.5 << 1e39;
}
// clang-format on

void TestPlotSeries::refusesNonFinite()
{
    QFETCH(double, x);
    QFETCH(double, y);

    PlotSeries series;
    series.append(0.25, 6);
    QVERIFY(!series.append(x, y));
    QCOMPARE(series.size(), qint64(1));
    QCOMPARE(series.maximumY(), 6.0);
    QCOMPARE(series.segmentCount(), 1);
    QVERIFY(series.append(0.25 + Second, 6.5)); // and the next good point still joins the line
    QCOMPARE(series.segmentCount(), 1);
}

// clang-format off
void TestPlotSeries::compact_data()
{
    QTest::addColumn<int>("count");
    QTest::newRow("oneDay")  << 86400;
    QTest::newRow("oneWeek") << 604800;
}
// clang-format on

void TestPlotSeries::compact()
{
    QFETCH(int, count);
    // pH readings as the channels leave them: rounded to four decimals, 0 to 14.
    PlotSeries series;
    QVector<double> readings;
    QRandomGenerator random(7);
    for (int i = 0; i < count; ++i) {
        const double reading = std::round(random.bounded(14.0) * 1e4) / 1e4;
        readings << reading;
        series.append(0.25 + i * Second, reading);
    }
    QCOMPARE(series.size(), qint64(count));
    const double bytesPerPoint = double(series.bytesUsed()) / count;
    QVERIFY2(bytesPerPoint < 16, qPrintable(QString::number(bytesPerPoint)));
    // The compact Y still gives back every reading to its four decimals.
    for (int i = 0; i < count; i += 97)
        QCOMPARE(std::round(series.y(i) * 1e4) / 1e4, readings[i]);
    QCOMPARE(series.x(count - 1), 0.25 + (count - 1) * Second);
}

// clang-format off
void TestPlotSeries::timeBase_data()
{
    QTest::addColumn<Values>("timesOfDay");
    QTest::addColumn<Values>("placed");

    const double h = 1.0 / 24;
    QTest::newRow("sameDay")        << Values{10 * h, 11 * h}          << Values{10 * h, 11 * h};
    QTest::newRow("pastMidnight")   << Values{23.9 * h, 0.1 * h, 0.2 * h}
                                    << Values{23.9 * h, 1 + 0.1 * h, 1 + 0.2 * h};
    QTest::newRow("twoMidnights")   << Values{23 * h, 1 * h, 12 * h, 23 * h, 2 * h}
                                    << Values{23 * h, 1 + h, 1 + 12 * h, 1 + 23 * h, 2 + 2 * h};
    QTest::newRow("clockBackAnHour") << Values{3 * h, 2 * h, 2.5 * h}
                                     << Values{3 * h, 2 * h, 2.5 * h};
    QTest::newRow("pauseOvernight") << Values{20 * h, 10 * h}          << Values{20 * h, 1 + 10 * h};
    QTest::newRow("beyondOneDay")   << Values{2 + 6 * h, 2 + 7 * h}   << Values{6 * h, 7 * h};
}
// clang-format on

void TestPlotSeries::timeBase()
{
    QFETCH(Values, timesOfDay);
    QFETCH(Values, placed);

    ContinuousTimeBase base;
    Values result;
    for (double t : timesOfDay)
        result << base.place(t);
    QCOMPARE(result.size(), placed.size());
    for (int i = 0; i < result.size(); ++i)
        QVERIFY2(std::fabs(result[i] - placed[i]) < 1e-12,
                 qPrintable(QString("%1: %2 != %3").arg(i).arg(result[i]).arg(placed[i])));
}

// clang-format off
void TestPlotSeries::oldSpikeKeptInBoundedMemory_data()
{
    // Where one reading of 12 stands in 45 days of pH 7 at one a second:
    // how many days before the newest point, and at which second of its minute.
    QTest::addColumn<int>("daysOld");
    QTest::addColumn<int>("secondOfMinute");

    QTest::newRow("minuteBucketEnd")      << 20 << 59;
    QTest::newRow("minuteBucketStart")    << 20 << 0;
    QTest::newRow("monthOldBucketEnd")    << 31 << 59;
    QTest::newRow("tenMinuteBucketStart") << 40 << 0;
    QTest::newRow("stillRaw")             << 3  << 30;
}
// clang-format on

void TestPlotSeries::oldSpikeKeptInBoundedMemory()
{
    QFETCH(int, daysOld);
    QFETCH(int, secondOfMinute);

    constexpr int Days = 45;
    constexpr int Seconds = Days * 86400;
    const int spikeAt = (Days - daysOld) * 86400 + 7 * 3600 + 60 * 13 + secondOfMinute;
    BoundedSeries series;
    for (int i = 0; i < Seconds; ++i)
        series.append(i * Second, i == spikeAt ? 12.0 : 7.0 + (i % 2) * 0.01);
    const double spikeX = spikeAt * Second;

    // Drawn within the spike's own pixel column (or its bucket, where that is wider).
    const auto drawsSpike = [&](double x0, double x1, int columns) {
        const double near = std::max((x1 - x0) / columns, 600 * Second);
        for (const QVector<QPointF> &line : series.envelope(x0, x1, columns))
            for (const QPointF &vertex : line)
                if (vertex.y() == 12.0 && std::fabs(vertex.x() - spikeX) <= near)
                    return true;
        return false;
    };
    // At full zoom-out, and zoomed in to ten seconds a column.
    QVERIFY(drawsSpike(series.oldestX(), series.newestX(), 800));
    QVERIFY(drawsSpike(spikeX - 2000 * Second, spikeX + 2000 * Second, 400));
    double low = 0, high = 0, mean = 0;
    QVERIFY(series.statistics(spikeX - 3600 * Second, spikeX + 3600 * Second, &low, &high, &mean));
    QCOMPARE(high, 12.0);
    QCOMPARE(float(low), 7.0f);
    QVERIFY(mean > 7.0 && mean < 7.02);

    // A week point by point, the rest in buckets: far less than 45 days of points.
    QVERIFY(series.tier(0).size() <= 7 * 86400 + 2 * PlotSeries::ChunkSize);
    QVERIFY2(series.bytesUsed() < Seconds * 12 / 4,
             qPrintable(QString::number(series.bytesUsed())));
}

// clang-format off
void TestPlotSeries::measurementBetweenCursors_data()
{
    // Six readings a second apart from 10:00:00 (day 0):
    //   pH 1: 7.00 7.20 7.40 7.10 6.90 7.30    pH 2: 4.00 4.50 4.25 3.75 4.00 4.50
    // Cursor X in seconds after 10:00:00, Y in pH.
    QTest::addColumn<double>("x1");
    QTest::addColumn<double>("y1");
    QTest::addColumn<double>("x2");
    QTest::addColumn<double>("y2");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("text");

    // All six: pH 1 mean 42.9 / 6, pH 2 mean 25 / 6.
    QTest::newRow("allReadings") << 0.0 << 7.0 << 5.0 << 7.3 << "en_US"
        << QString::fromUtf8("Cursor 2 \u2212 1: 0:00:05, \u0394pH +0.30\n"
                             "pH 1: min 6.90, max 7.40, mean 7.15\n"
                             "pH 2: min 3.75, max 4.50, mean 4.17");
    // Seconds 1 to 4, cursor 2 before cursor 1: pH 2 mean 16.5 / 4 = 4.125, a half to even.
    QTest::newRow("backwardsInner") << 4.0 << 6.5 << 1.0 << 7.25 << "en_US"
        << QString::fromUtf8("Cursor 2 \u2212 1: \u22120:00:03, \u0394pH +0.75\n"
                             "pH 1: min 6.90, max 7.40, mean 7.15\n"
                             "pH 2: min 3.75, max 4.50, mean 4.12");
    // The ends count: seconds 2 and 3 only.
    QTest::newRow("twoReadings") << 2.0 << 7.0 << 3.0 << 7.0 << "de_DE"
        << QString::fromUtf8("Cursor 2 \u2212 1: 0:00:01, \u0394pH +0,00\n"
                             "pH 1: min 7,10, max 7,40, mean 7,25\n"
                             "pH 2: min 3,75, max 4,25, mean 4,00");
    QTest::newRow("noReadings") << 3600.0 << 7.0 << 9015.0 << 6.0 << "en_US"
        << QString::fromUtf8("Cursor 2 \u2212 1: 1:30:15, \u0394pH \u22121.00\n"
                             "pH 1: no readings\n"
                             "pH 2: no readings");
    // From 04:00 on day 0 to 10:01:01 on day 2.
    QTest::newRow("days") << -21600.0 << 8.0 << 172861.0 << 8.0 << "en_US"
        << QString::fromUtf8("Cursor 2 \u2212 1: 2 d 6:01:01, \u0394pH +0.00\n"
                             "pH 1: min 6.90, max 7.40, mean 7.15\n"
                             "pH 2: min 3.75, max 4.50, mean 4.17");
}
// clang-format on

void TestPlotSeries::measurementBetweenCursors()
{
    QFETCH(double, x1);
    QFETCH(double, y1);
    QFETCH(double, x2);
    QFETCH(double, y2);
    QFETCH(QString, locale);
    QFETCH(QString, text);

    const double ph1[] = {7.00, 7.20, 7.40, 7.10, 6.90, 7.30};
    const double ph2[] = {4.00, 4.50, 4.25, 3.75, 4.00, 4.50};
    const double start = 10.0 / 24;
    ChartStore store;
    for (int i = 0; i < 6; ++i) {
        QVERIFY(store.append(2, start + i * Second, ph2[i]));
        QVERIFY(store.append(1, start + i * Second, ph1[i]));
    }
    const auto measurement =
        CursorMeasurement::between(store, {start + x1 * Second, y1}, {start + x2 * Second, y2});
    QCOMPARE(measurement.text(QLocale(locale)), text);
}

// clang-format off
void TestPlotSeries::pointsAsCsv_data()
{
    QTest::addColumn<QString>("from"); // the range exported, as times of the first day
    QTest::addColumn<QString>("to");
    QTest::addColumn<QByteArray>("csv");

    const QByteArray header = "Time,pH 1,pH 2,Kind\n";
    QTest::newRow("acrossMidnight") << "23:59:58" << "24:00:00" << header +
        "2026-12-07T23:59:58.000,7.25,4.5,reading\n"
        "2026-12-07T23:59:59.000,,4.75,reading\n"
        "2026-12-08T00:00:00.000,7.5,4.25,reading\n";
    QTest::newRow("lastTwo") << "23:59:59" << "24:00:00" << header +
        "2026-12-07T23:59:59.000,,4.75,reading\n"
        "2026-12-08T00:00:00.000,7.5,4.25,reading\n";
    QTest::newRow("nothingInRange") << "12:00:00" << "13:00:00" << header;
}
// clang-format on

void TestPlotSeries::pointsAsCsv()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QByteArray, csv);

    const auto at = [](const QString &time) {
        const QStringList parts = time.split(':');
        return (parts[0].toInt() * 3600 + parts[1].toInt() * 60 + parts[2].toInt()) * Second;
    };
    ChartStore store;
    store.setOriginDate(QDate(2026, 12, 7));
    // As the plot timer puts them: probe 2, then probe 1 a little later.
    const double tick = 1e-6 * Second;
    store.append(2, at("23:59:58"), 4.5);
    store.append(1, at("23:59:58") + tick, 7.25);
    store.append(2, at("23:59:59"), 4.75);
    store.append(2, 0, 4.25);
    store.append(1, tick, 7.5);

    QBuffer out;
    out.open(QIODevice::WriteOnly);
    QVERIFY(ChartCsv::write(store, at(from), at(to) + tick, out));
    QCOMPARE(out.data(), csv);
}

void TestPlotSeries::olderPointsExportedAsEnvelope()
{
    // Eight days at one point a second, the first with one reading of 12: that
    // day is kept per minute, and its minute of the spike shows it.
    ChartStore store;
    store.setOriginDate(QDate(2026, 3, 1));
    constexpr int Seconds = 8 * 86400;
    constexpr int SpikeAt = 6 * 3600 + 30;
    for (int i = 0; i < Seconds; ++i)
        store.append(1, std::fmod(i * Second, 1.0), i == SpikeAt ? 12.0 : 7.0);
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    QVERIFY(ChartCsv::write(store, 0, 10, out));
    const QList<QByteArray> lines = out.data().split('\n');
    QCOMPARE(lines.first(), QByteArray("Time,pH 1,pH 2,Kind"));
    QVERIFY(lines.contains("2026-03-01T06:00:30.000,12,,envelope"));
    QVERIFY(lines.at(1).endsWith(",envelope"));
    QCOMPARE(lines.at(lines.size() - 2), QByteArray("2026-03-08T23:59:59.000,7,,reading"));
}

QTEST_GUILESS_MAIN(TestPlotSeries)
#include "test_plot_series.moc"
