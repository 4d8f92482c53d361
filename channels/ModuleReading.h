#pragma once

#include <QString>

class ModuleLink;

// One transaction with a module, judged the way every channel reader judges
// it: an answer not starting with "*" or whose value field is not a number is
// invalid; an accepted answer with an empty value field carries nothing. A
// "-" as the second character makes the reading negative.
struct ModuleReading
{
    enum class Outcome { Invalid, Empty, Value };

    Outcome outcome = Outcome::Invalid;
    double value = 0;

    static ModuleReading take(ModuleLink &link, const QString &address);
    static ModuleReading judge(const QString &answer);
};
