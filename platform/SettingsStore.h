#pragma once

#include <QString>

// Per-user text values addressed by application, section and key.
class SettingsStore
{
public:
    virtual ~SettingsStore() = default;
    // The stored text, or defaultText when the key is absent. Never writes.
    virtual QString value(const QString &application, const QString &section, const QString &key,
                          const QString &defaultText) const = 0;
    // Creates or replaces the key; false when the store could not be
    // written, with what and why in *problem.
    virtual bool setValue(const QString &application, const QString &section, const QString &key,
                          const QString &text, QString *problem) = 0;
    // Why the application's stored values cannot all be read (a damaged or
    // unreadable file), or empty when they can.
    virtual QString readProblem(const QString &application) const
    {
        Q_UNUSED(application);
        return QString();
    }
};
