#include "logging/LogIntervals.h"

#include "station/NumberText.h"

namespace LogIntervals {

QStringList entries(const QLocale &locale)
{
    QStringList texts;
    for (const int ms : LOG_INTERVALS_MS)
        texts << NumberText::display(ms / 1000.0, locale);
    return texts;
}

int positionOfSeconds(double seconds)
{
    for (int i = 0; i < static_cast<int>(LOG_INTERVALS_MS.size()); ++i) {
        if (LOG_INTERVALS_MS[i] == seconds * 1000)
            return i;
    }
    return -1;
}

QString choicesText()
{
    QStringList texts = entries(QLocale::c());
    const QString last = texts.takeLast();
    return texts.join(QStringLiteral(", ")) + QStringLiteral(" or ") + last;
}

} // namespace LogIntervals
