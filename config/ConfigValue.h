#pragma once

#include <QString>

// The forms a person types into the station's settings file, read the same
// way whatever the user's locale: numbers with a period, and the booleans
// QSettings writes and reads (true/false, yes/no, on/off, 1/0, in any case).
namespace ConfigValue {

bool parseNumber(const QString &text, double *value);
bool parseBoolean(const QString &text, bool *value);
// "yes" or "no", as the station writes a boolean.
QString booleanText(bool value);

} // namespace ConfigValue
