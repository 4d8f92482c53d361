#include "calibration/CalibrationText.h"

#include <QRegularExpression>

#include <cmath>

namespace CalibrationText {

bool toNumber(const QString &text, double *value)
{
    QLocale local;
    local.setNumberOptions(QLocale::RejectGroupSeparator);
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::RejectGroupSeparator);

    bool ok = false;
    double number = local.toDouble(text, &ok);
    if (!ok)
        number = c.toDouble(text, &ok);
    if (!ok || !std::isfinite(number))
        return false;
    *value = number;
    return true;
}

QString fromDate(const QDate &date)
{
    return date.toString(Qt::ISODate);
}

namespace {
    int expandYear(int year, int digits)
    {
        if (digits > 2)
            return year;
        return year < 30 ? 2000 + year : 1900 + year;
    }
} // namespace

QDate toDate(const QString &text, const QLocale &locale)
{
    static const QRegularExpression shortDate(
        QStringLiteral("^\\s*(\\d{1,4})([/.\\-])(\\d{1,2})\\2(\\d{1,4})\\.?\\s*$"));
    const QRegularExpressionMatch match = shortDate.match(text);
    if (!match.hasMatch())
        return QDate();

    const QString first = match.captured(1);
    const int second = match.captured(3).toInt();
    const QString third = match.captured(4);
    if (first.size() == 4) // year first: ISO and its relatives
        return QDate(first.toInt(), second, third.toInt());

    const QString format = locale.dateFormat(QLocale::ShortFormat);
    const bool dayFirst = locale.language() != QLocale::C &&
        format.indexOf(QLatin1Char('d')) < format.indexOf(QLatin1Char('M'));
    const int day = dayFirst ? first.toInt() : second;
    const int month = dayFirst ? second : first.toInt();
    return QDate(expandYear(third.toInt(), third.size()), month, day);
}

} // namespace CalibrationText
