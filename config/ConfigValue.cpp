#include "config/ConfigValue.h"

#include <QLocale>
#include <QStringList>

#include <cmath>

bool ConfigValue::parseNumber(const QString &text, double *value)
{
    bool ok = false;
    const double number = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(number))
        return false;
    *value = number;
    return true;
}

bool ConfigValue::parseBoolean(const QString &text, bool *value)
{
    static const QStringList yes{QStringLiteral("true"), QStringLiteral("yes"),
                                 QStringLiteral("on"), QStringLiteral("1")};
    static const QStringList no{QStringLiteral("false"), QStringLiteral("no"),
                                QStringLiteral("off"), QStringLiteral("0")};
    const QString word = text.trimmed().toLower();
    if (yes.contains(word))
        *value = true;
    else if (no.contains(word))
        *value = false;
    else
        return false;
    return true;
}

QString ConfigValue::booleanText(bool value)
{
    return value ? QStringLiteral("yes") : QStringLiteral("no");
}
