#include "ui/chart/ChartCsv.h"

#include "ui/chart/ChartStore.h"

#include <QDateTime>
#include <QIODevice>
#include <QLocale>

#include <cmath>
#include <vector>

namespace {

// Two probes' points closer than this belong to one plot tick.
constexpr double SameTickDays = 0.5 / 86400;
constexpr double MsPerDay = 86400000.0;

struct Point
{
    double x;
    float y;
    bool envelope;
};

std::vector<Point> pointsBetween(const BoundedSeries &series, double x0, double x1)
{
    std::vector<Point> points;
    for (int tier = BoundedSeries::TIERS - 1; tier >= 0; --tier) {
        const PlotSeries &held = series.tier(tier);
        for (qint64 i = 0; i < held.size(); ++i) {
            const double x = held.x(i);
            if (x >= x0 && x <= x1)
                points.push_back({x, static_cast<float>(held.y(i)), tier > 0});
        }
    }
    return points;
}

QByteArray timeText(QDate origin, double x)
{
    auto days = static_cast<qint64>(std::floor(x));
    auto ms = std::llround((x - days) * MsPerDay);
    if (ms >= 86400000) {
        ++days;
        ms -= 86400000;
    }
    // The wall-clock time as it stands: no zone to look up for every line.
    const QDateTime at(origin.addDays(days), QTime(0, 0).addMSecs(static_cast<int>(ms)), Qt::UTC);
    // ASCII digits whatever the system's locale (QDateTime::toString uses its digits).
    return QLocale::c().toString(at, QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz")).toLatin1();
}

QByteArray valueText(const Point *point)
{
    // Six significant digits: all a stored point holds.
    return point ? QByteArray::number(point->y, 'g', 6) : QByteArray();
}

} // namespace

namespace ChartCsv {

bool write(const ChartStore &store, double x0, double x1, QIODevice &out)
{
    QByteArray text("Time,pH 1,pH 2,Kind\n");
    const QDate origin = store.originDate();
    if (!origin.isValid())
        return out.write(text) == text.size();

    const std::vector<Point> first = pointsBetween(store.series(1), x0, x1);
    const std::vector<Point> second = pointsBetween(store.series(2), x0, x1);
    size_t i = 0;
    size_t j = 0;
    while (i < first.size() || j < second.size()) {
        const Point *a = i < first.size() ? &first[i] : nullptr;
        const Point *b = j < second.size() ? &second[j] : nullptr;
        if (a && b && std::abs(a->x - b->x) < SameTickDays && a->envelope == b->envelope) {
            ++i;
            ++j;
        } else if (a && (!b || a->x <= b->x)) {
            b = nullptr;
            ++i;
        } else {
            a = nullptr;
            ++j;
        }
        const Point &any = a ? *a : *b;
        text += timeText(origin, b && (!a || b->x < a->x) ? b->x : a->x) + ',' + valueText(a) +
            ',' + valueText(b) + (any.envelope ? ",envelope\n" : ",reading\n");
        if (text.size() > (1 << 20)) {
            if (out.write(text) != text.size())
                return false;
            text.clear();
        }
    }
    return out.write(text) == text.size();
}

} // namespace ChartCsv
