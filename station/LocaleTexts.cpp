#include "station/LocaleTexts.h"

namespace LocaleTexts {

QString longTimeFormat(const QLocale &locale)
{
    // Qt's long form ends in (or starts with) the zone, "t", at times in
    // brackets or after a comma; the log shows local time of day only.
    // Quoted literals are kept as they stand.
    const QString format = locale.timeFormat(QLocale::LongFormat);
    QString result;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        else if (!quoted && c == QLatin1Char('t'))
            continue;
        result += c;
    }
    result.remove(QStringLiteral("()"));
    result.remove(QStringLiteral("[]"));
    result = result.simplified();
    if (result.endsWith(QLatin1Char(',')))
        result.chop(1);
    return result.trimmed();
}

QString shortDateFormat(const QLocale &locale)
{
    // Qt gives the C locale "d MMM yyyy"; the C locale's own short date
    // (strftime's %x) is numeric, month first.
    if (locale.language() == QLocale::C)
        return QStringLiteral("MM/dd/yyyy");
    const QString format = locale.dateFormat(QLocale::ShortFormat);
    QString result;
    bool quoted = false;
    for (int i = 0; i < format.size(); ++i) {
        const QChar c = format.at(i);
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        if (quoted || c != QLatin1Char('y')) {
            result += c;
            continue;
        }
        while (i + 1 < format.size() && format.at(i + 1) == QLatin1Char('y'))
            ++i;
        result += QStringLiteral("yyyy");
    }
    return result;
}

QString timeText(const QTime &time, const QLocale &locale)
{
    return locale.toString(time, longTimeFormat(locale));
}

QString dateText(OleDate value, const QLocale &locale)
{
    QString text = locale.toString(OleDates::toDate(value), shortDateFormat(locale));
    const QTime time = OleDates::toTime(value);
    if (time != QTime(0, 0))
        text += QLatin1Char(' ') + timeText(time, locale);
    return text;
}

} // namespace LocaleTexts
