#pragma once

#include <QLocale>
#include <QString>

// The texts of the cursor readout in the status bar.
namespace CursorReadout {

// "hh:mm:ss" of the time-of-day part of a date value; beyond one day only
// the time of day counts.
QString timeText(double x);

// "0.####": at least one digit before the decimal separator, the value
// rounded to four decimals (halves to even, as every rounding here), no
// trailing zeros, the separator always shown ("7." for 7).
QString valueText(double y, const QLocale &locale = QLocale());

} // namespace CursorReadout
