#pragma once

#include "platform/SettingsStore.h"

#include <QDateTime>
#include <QHash>
#include <QSettings>

// The per-user settings store: one INI file per application in the user's
// configuration folder ("<application>.ini"), one INI group per section.
class QSettingsStore : public SettingsStore
{
public:
    QString value(const QString &application, const QString &section, const QString &key,
                  const QString &defaultText) const override;
    // Writes through to the file at once, so a failure is seen by the caller.
    // A file that could not be read or parsed is never written: QSettings
    // would rewrite it without the parts it did not understand.
    bool setValue(const QString &application, const QString &section, const QString &key,
                  const QString &text) override;
    QString readProblem(const QString &application) const override;

    // The outcome of the last read or write.
    QSettings::Status status() const { return m_status; }
    // The file that holds the application's values (it may not exist yet).
    static QString fileName(const QString &application);

private:
    // What is known of one file's state when it was last looked at.
    struct FileState
    {
        QDateTime modified;
        qint64 size = -1;
        QSettings::Status status = QSettings::NoError;
    };
    QSettings::Status fileStatus(const QSettings &settings) const;

    mutable QSettings::Status m_status = QSettings::NoError;
    // QSettings reports a damaged file only to the first instance that parses
    // it and serves later ones from its cache: remember the fault until the
    // file changes.
    mutable QHash<QString, FileState> m_faults;
};
