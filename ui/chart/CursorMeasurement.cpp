#include "ui/chart/CursorMeasurement.h"

#include "station/NumberText.h"
#include "ui/chart/ChartStore.h"

#include <algorithm>
#include <cmath>

namespace {

const QChar Minus(0x2212);

QString phText(double value, const QLocale &locale, bool signAlways = false)
{
    double rounded = NumberText::roundHalfEven(value, 2);
    if (rounded == 0)
        rounded = 0; // never "-0.00"
    QString text = QString::number(std::abs(rounded), 'f', 2);
    text.replace(QLatin1Char('.'), locale.decimalPoint());
    if (rounded < 0)
        return Minus + text;
    return signAlways ? QLatin1Char('+') + text : text;
}

QString durationText(double days)
{
    const double seconds = std::nearbyint(std::abs(days) * 86400);
    const auto whole = static_cast<qint64>(seconds);
    const qint64 dayCount = whole / 86400;
    const qint64 rest = whole % 86400;
    QString text = QStringLiteral("%1:%2:%3")
                       .arg(rest / 3600)
                       .arg(rest / 60 % 60, 2, 10, QLatin1Char('0'))
                       .arg(rest % 60, 2, 10, QLatin1Char('0'));
    if (dayCount > 0)
        text = QStringLiteral("%1 d ").arg(dayCount) + text;
    return days < 0 && whole > 0 ? Minus + text : text;
}

} // namespace

CursorMeasurement CursorMeasurement::between(const ChartStore &store, QPointF cursor1,
                                             QPointF cursor2)
{
    CursorMeasurement measurement;
    measurement.days = cursor2.x() - cursor1.x();
    measurement.phDifference = cursor2.y() - cursor1.y();
    const double from = std::min(cursor1.x(), cursor2.x());
    const double to = std::max(cursor1.x(), cursor2.x());
    for (int plot = 1; plot <= 2; ++plot) {
        Probe &probe = measurement.probes[plot - 1];
        probe.any = store.series(plot).statistics(from, to, &probe.low, &probe.high, &probe.mean);
    }
    return measurement;
}

QString CursorMeasurement::text(const QLocale &locale) const
{
    QString text = QStringLiteral("Cursor 2 %1 1: %2, \u0394pH %3")
                       .arg(Minus, durationText(days), phText(phDifference, locale, true));
    for (int plot = 1; plot <= 2; ++plot) {
        const Probe &probe = probes[plot - 1];
        text += QStringLiteral("\npH %1: ").arg(plot);
        if (!probe.any) {
            text += QStringLiteral("no readings");
            continue;
        }
        text += QStringLiteral("min %1, max %2, mean %3")
                    .arg(phText(probe.low, locale), phText(probe.high, locale),
                         phText(probe.mean, locale));
    }
    return text;
}
