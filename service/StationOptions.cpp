#include "service/StationOptions.h"

#include <QStringList>

bool StationOptions::setPolledGroups(const QString &list, QString *unknown)
{
    for (const QString &raw : list.split(QLatin1Char(','))) {
        const QString name = raw.trimmed().toLower();
        if (name == QLatin1String("flow"))
            pollFlow = true;
        else if (name == QLatin1String("ph"))
            pollPh = true;
        else if (name == QLatin1String("therm"))
            pollTherm = true;
        else
            return *unknown = raw.trimmed(), false;
    }
    return true;
}
