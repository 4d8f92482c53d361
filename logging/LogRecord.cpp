#include "logging/LogRecord.h"

#include "station/LocaleTexts.h"
#include "station/StationState.h"

namespace LogRecord {

LogLine line(const StationState &state, const QTime &time, const QString &liters,
             const QLocale &locale)
{
    return {
        LogValue::text(LocaleTexts::timeText(time, locale)),
        LogValue::number(state.therm1Temp),
        LogValue::number(state.therm2Temp),
        LogValue::number(state.therm3Temp),
        LogValue::number(state.probe1mV),
        LogValue::number(state.probe2mV),
        LogValue::number(state.probe1pH),
        LogValue::number(state.probe2pH),
        LogValue::number(state.flowHz),
        LogValue::number(state.flowLpm),
        LogValue::text(liters),
    };
}

} // namespace LogRecord
