#pragma once

#include "platform/SettingsStore.h"

#include <QSettings>

// The per-user settings store: one INI file per application in the user's
// configuration folder ("<application>.ini", where QSettings would keep it),
// one section per group. Only that file is read: no system-wide fallback
// supplies values the user never stored. The file is read afresh for every
// value and written at once, each time, so a fault is seen when it happens
// and a Save that failed can succeed later. A write changes only the lines
// of the key it writes; a file with a line that is no setting at all is
// never written, as the key might belong to that broken line's section.
class QSettingsStore : public SettingsStore
{
public:
    QString value(const QString &application, const QString &section, const QString &key,
                  const QString &defaultText) const override;
    bool setValue(const QString &application, const QString &section, const QString &key,
                  const QString &text, QString *problem) override;
    QString readProblem(const QString &application) const override;

    // The outcome of the last read or write.
    QSettings::Status status() const { return m_status; }
    // The file that holds the application's values (it may not exist yet).
    static QString fileName(const QString &application);

private:
    // The file's bytes; false with the reason when it exists but cannot be read.
    bool read(const QString &path, QByteArray *bytes, QString *reason) const;

    mutable QSettings::Status m_status = QSettings::NoError;
};
