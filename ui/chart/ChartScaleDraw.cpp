#include "ui/chart/ChartScaleDraw.h"

#include <qwt_text.h>

// UTC: the axis counts from a fixed midnight, never shifted by daylight saving.
ChartScaleDraw::ChartScaleDraw() : QwtDateScaleDraw(Qt::UTC)
{
    // Minutes and longer need no seconds: shorter labels stay apart.
    for (int type = QwtDate::Minute; type <= QwtDate::Year; ++type)
        setDateFormat(static_cast<QwtDate::IntervalType>(type), QStringLiteral("hh:mm"));
    setDateFormat(QwtDate::Second, QStringLiteral("hh:mm:ss"));
    setDateFormat(QwtDate::Millisecond, QStringLiteral("hh:mm:ss.zzz"));
}

void ChartScaleDraw::setOrigin(QDate date)
{
    if (!date.isValid())
        return;
    m_originMs = QDateTime(date, QTime(0, 0), Qt::UTC).toMSecsSinceEpoch();
    m_dated = true;
    setDateFormat(QwtDate::Day, QStringLiteral("ddd d MMM"));
    // Week and month ticks fall on whole days, not on week or month starts.
    setDateFormat(QwtDate::Week, QStringLiteral("d MMM"));
    setDateFormat(QwtDate::Month, QStringLiteral("d MMM"));
    setDateFormat(QwtDate::Year, QStringLiteral("d MMM yyyy"));
    invalidateCache();
}

QwtText ChartScaleDraw::label(double value) const
{
    const QDateTime at = QwtDate::toDateTime(value + m_originMs, Qt::UTC);
    // A midnight among times of day says which day begins there.
    if (m_dated && at.time() == QTime(0, 0))
        return at.toString(dateFormat(QwtDate::Day));
    return QwtDate::toString(at, dateFormatOfDate(at, intervalType(scaleDiv())), week0Type());
}
