#include "station/LocaleTexts.h"

#include <QRegularExpression>

namespace LocaleTexts {

QString longTimeFormat(const QLocale &locale)
{
    // Qt's long form ends in (or starts with) the zone, "t"; the log shows
    // local time of day only. Quoted literals are kept as they stand.
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
    return result.simplified();
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

namespace {

    // "14:05:30" or "2:05:30 PM", the forms of nearly every log, without the
    // cost of a locale's parser.
    QTime commonTime(const QString &text)
    {
        const int size = text.size();
        const int first = size > 1 && text.at(1) == QLatin1Char(':') ? 1 : 2;
        if (size < first + 6 || text.at(first) != QLatin1Char(':') ||
            text.at(first + 3) != QLatin1Char(':'))
            return {};
        const auto digit = [&text](int at) { return text.at(at).unicode() - '0'; };
        for (const int at : {0, first - 1, first + 1, first + 2, first + 4, first + 5})
            if (digit(at) < 0 || digit(at) > 9)
                return {};
        int hour = first == 1 ? digit(0) : digit(0) * 10 + digit(1);
        const int minute = digit(first + 1) * 10 + digit(first + 2);
        const int second = digit(first + 4) * 10 + digit(first + 5);
        const QStringRef rest = text.midRef(first + 6);
        if (!rest.isEmpty()) {
            const bool pm = rest == QLatin1String(" PM");
            if ((!pm && rest != QLatin1String(" AM")) || hour < 1 || hour > 12)
                return {};
            hour = pm ? (hour % 12) + 12 : hour % 12;
        }
        return QTime(hour, minute, second);
    }

} // namespace

QTime timeFromText(const QString &text, const QLocale &locale)
{
    const QTime common = commonTime(text);
    if (common.isValid())
        return common;
    const QTime exact = locale.toTime(text, longTimeFormat(locale));
    if (exact.isValid())
        return exact;
    static const QRegularExpression form(
        QStringLiteral("^(\\D*?)\\s*(\\d{1,2})\\D(\\d{2})\\D(\\d{2})\\s*(\\D*)$"));
    const QRegularExpressionMatch match = form.match(text.trimmed());
    if (!match.hasMatch())
        return {};
    // "p. m.", "PM" and "pm" are one marker.
    const auto bare = [](QString word) {
        word.remove(QLatin1Char('.'));
        word.remove(QRegularExpression(QStringLiteral("\\s")));
        return word;
    };
    const QString marker = bare(match.captured(1) + match.captured(5));
    const auto says = [&](const QString &word) {
        return !bare(word).isEmpty() && marker.compare(bare(word), Qt::CaseInsensitive) == 0;
    };
    int hour = match.captured(2).toInt();
    const bool pm = says(locale.pmText()) || says(QStringLiteral("PM"));
    const bool am = says(locale.amText()) || says(QStringLiteral("AM"));
    if (!marker.isEmpty() && !pm && !am)
        return {};
    if ((pm || am) && (hour < 1 || hour > 12))
        return {};
    if (pm && hour < 12)
        hour += 12;
    else if (am && hour == 12)
        hour = 0;
    return QTime(hour, match.captured(3).toInt(), match.captured(4).toInt());
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
