#pragma once

#include "platform/SettingsStore.h"
#include "platform/qt/FileSnapshot.h"

#include <QSettings>

// The per-user settings store: one INI file per application in the user's
// configuration folder ("<application>.ini", where QSettings would keep it),
// one section per group. Only that file is read: no system-wide fallback
// supplies values the user never stored. Only a regular file of at most
// MAX_FILE_SIZE is ever opened; it is read once and again only when it has
// changed. A write is a read, an edit and a replacement of the whole file
// under its lock file (the one QSettings takes), at once, each time, so a
// fault is seen when it happens, a Save that failed can succeed later, and
// two programs saving at once lose nothing. A write changes only the value
// of the key it writes; a file with a line that is no setting at all is
// never written, as the key might belong to that broken line's section.
class QSettingsStore : public SettingsStore
{
public:
    static constexpr qint64 MAX_FILE_SIZE = 1 << 20;

    QString value(const QString &application, const QString &section, const QString &key,
                  const QString &defaultText) const override;
    bool setValue(const QString &application, const QString &section, const QString &key,
                  const QString &text, QString *problem) override;
    QString readProblem(const QString &application) const override;

    // The outcome of the last read or write.
    QSettings::Status status() const { return m_status; }
    // The file that holds the application's values (it may not exist yet):
    // $XDG_CONFIG_HOME, else ~/.config, as QSettings finds it, without
    // touching the file.
    static QString fileName(const QString &application);

private:
    mutable FileSnapshot m_file{MAX_FILE_SIZE};
    mutable QSettings::Status m_status = QSettings::NoError;
};
