#include "channels/ModuleReading.h"

#include "station/ModuleLink.h"
#include "station/NumberText.h"

ModuleReading ModuleReading::take(ModuleLink &link, const QString &address)
{
    link.SendCommand(ModuleLink::commandFrame(address));
    return judge(link.ReadAnswer());
}

ModuleReading ModuleReading::judge(const QString &answer)
{
    ModuleReading reading;
    if (!answer.startsWith(QLatin1Char('*')))
        return reading;
    const QString field = ModuleLink::valueField(answer);
    if (field.isEmpty()) {
        reading.outcome = Outcome::Empty;
        return reading;
    }
    // A garbled field is a bad answer, never a prefix of a number.
    if (!NumberText::parseValueField(field, &reading.value))
        return reading;
    // The module sends the sign of its reading as the second character. A
    // field with a sign of its own after a "-" says two things at once:
    // neither can be trusted, so the answer is a bad one.
    if (answer.at(1) == QLatin1Char('-')) {
        const QString digits = field.trimmed();
        if (digits.startsWith(QLatin1Char('+')) || digits.startsWith(QLatin1Char('-')))
            return reading;
        reading.value = -reading.value;
    }
    reading.outcome = Outcome::Value;
    return reading;
}
