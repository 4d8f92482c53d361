#include "station/IsoTime.h"

#include <QLocale>

#include <cstdlib>

QString IsoTime::withOffset(const QDateTime &time, bool milliseconds)
{
    const int offset = time.offsetFromUtc();
    const int minutes = std::abs(offset) / 60;
    const QString local =
        QLocale::c().toString(time,
                              milliseconds ? QStringLiteral("yyyy-MM-dd'T'HH:mm:ss.zzz")
                                           : QStringLiteral("yyyy-MM-dd'T'HH:mm:ss"));
    return local +
        QStringLiteral("%1%2:%3")
            .arg(offset < 0 ? QLatin1Char('-') : QLatin1Char('+'))
            .arg(minutes / 60, 2, 10, QLatin1Char('0'))
            .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

QDateTime IsoTime::read(const QString &text)
{
    // Qt's ISO reading takes forms with no offset, or "Z", as well: only
    // those with an offset of our form are ours.
    const int size = text.size();
    if (size < 25 || text.at(size - 3) != QLatin1Char(':') ||
        (text.at(size - 6) != QLatin1Char('+') && text.at(size - 6) != QLatin1Char('-')))
        return {};
    return QDateTime::fromString(text, Qt::ISODate);
}
