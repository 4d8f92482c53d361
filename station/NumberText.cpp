#include "station/NumberText.h"

#include <QRegularExpression>

#include <cmath>

namespace NumberText {

double roundHalfEven(double value, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    // nearbyint rounds halves to even under the default rounding mode.
    return std::nearbyint(value * scale) / scale;
}

QString display(double value, const QLocale &locale)
{
    QLocale form = locale;
    form.setNumberOptions(QLocale::OmitGroupSeparator);
    if (value == 0)
        value = 0; // never "-0"
    return form.toString(value, 'g', 15);
}

QString plain(double value)
{
    return display(value, QLocale::c());
}

bool parseValueField(const QString &field, double *value)
{
    static const QRegularExpression number(QStringLiteral("^\\s*[+-]?(\\d+\\.?\\d*|\\.\\d+)\\s*$"));
    if (!number.match(field).hasMatch())
        return false;
    bool ok = false;
    const double parsed = QLocale::c().toDouble(field.trimmed(), &ok);
    if (!ok || !std::isfinite(parsed))
        return false;
    *value = parsed;
    return true;
}

} // namespace NumberText
