#include "logging/LogHeader.h"

#include "station/LocaleTexts.h"
#include "station/NumberText.h"
#include "station/StationState.h"

namespace LogHeader {

QVector<LogLine> lines(const StationState &state, const QString &logFileName, const QDate &today,
                       const QLocale &locale)
{
    const auto number = [&locale](const QString &caption, double value) {
        return LogValue::text(caption + NumberText::display(value, locale));
    };
    return {
        {},
        {LogValue::text(QStringLiteral("Kestrom Science DGH Logging Program")),
         LogValue::date(today)},
        {LogValue::text(QStringLiteral("Version: 1.1"))},
        {},
        {number(QStringLiteral("Offset: "), state.probe1Offset),
         number(QStringLiteral("Offset2: "), state.probe2Offset)},
        {number(QStringLiteral("Slope: "), state.probe1Slope),
         number(QStringLiteral("Slope2: "), state.probe2Slope)},
        {LogValue::text(QStringLiteral("Serial Number: ") + state.probe1Serial),
         LogValue::text(QStringLiteral("Serial Number2: ") + state.probe2Serial)},
        {LogValue::text(QStringLiteral("Calibration Date: ") +
                        LocaleTexts::dateText(state.probe1CalDate, locale))},
        {LogValue::text(QStringLiteral("Log File: ") + logFileName)},
        {},
        {LogValue::text(QStringLiteral("Time, Therm1, Therm2, Therm3, pH 1 mVolts, pH 2 mVolts, "
                                       "pH 1 value, pH 2 value, Flow Frequency, Liters/min, "
                                       "Liters"))},
        {},
    };
}

} // namespace LogHeader
