#pragma once

#include "platform/SettingsStore.h"

#include <QSettings>

// The per-user settings store: one INI file per application in the user's
// configuration folder ("<application>.ini"), one INI group per section.
class QSettingsStore : public SettingsStore
{
public:
    QString value(const QString &application, const QString &section, const QString &key,
                  const QString &defaultText) const override;
    // Writes through to the file at once, so a failure is seen by the caller.
    bool setValue(const QString &application, const QString &section, const QString &key,
                  const QString &text) override;

    // The outcome of the last read or write.
    QSettings::Status status() const { return m_status; }
    // The file that holds the application's values (it may not exist yet).
    static QString fileName(const QString &application);

private:
    mutable QSettings::Status m_status = QSettings::NoError;
};
