#pragma once

#include "platform/SettingsStore.h"

#include <QMap>

class FakeSettingsStore : public SettingsStore
{
public:
    // "application/section/key" -> text
    QMap<QString, QString> values;
    bool writable = true;
    int writes = 0;
    QString problem; // what readProblem() reports

    static QString path(const QString &a, const QString &s, const QString &k)
    {
        return a + QLatin1Char('/') + s + QLatin1Char('/') + k;
    }
    QString value(const QString &a, const QString &s, const QString &k,
                  const QString &defaultText) const override
    {
        return values.value(path(a, s, k), defaultText);
    }
    bool setValue(const QString &a, const QString &s, const QString &k, const QString &text,
                  QString *why) override
    {
        if (!writable) {
            if (why)
                *why = QStringLiteral("The fake store is read-only.");
            return false;
        }
        ++writes;
        values[path(a, s, k)] = text;
        return true;
    }
    QString readProblem(const QString &) const override { return problem; }
};
