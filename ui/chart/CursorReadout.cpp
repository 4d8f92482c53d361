#include "ui/chart/CursorReadout.h"

#include "station/NumberText.h"
#include "station/OleDate.h"

namespace CursorReadout {

QString timeText(double x)
{
    return OleDates::toTime(x).toString(QStringLiteral("hh:mm:ss"));
}

QString valueText(double y, const QLocale &locale)
{
    double rounded = NumberText::roundHalfEven(y, 4);
    if (rounded == 0)
        rounded = 0; // never "-0."
    QString text = QString::number(rounded, 'f', 4);
    while (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    text.replace(QLatin1Char('.'), locale.decimalPoint());
    return text;
}

} // namespace CursorReadout
