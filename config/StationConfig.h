#pragma once

#include "platform/qt/FileSnapshot.h"
#include "platform/qt/IniFile.h"

#include <QString>
#include <QStringList>
#include <QVector>

// The station's own settings file, station.conf: every setting beyond the
// calibration (which keeps its file to itself), in plain INI a person can
// edit. It is read once, and only when it is a regular file of sane size;
// each value that does not do is named by its line, so one bad line costs
// that setting only. A change rewrites only the values it changes, keeping
// comments, unknown keys and every other byte.
class StationConfig
{
public:
    static constexpr qint64 MAX_BYTES = 1 << 20;

    // $XDG_CONFIG_HOME/kestrom-dgh/station.conf (~/.config/... when unset).
    static QString defaultPath();

    // Reads the file; a missing one is an empty configuration. False with
    // the reason when something else stands at the path, it is too large,
    // cannot be read, or has a line that is no setting (the values of the
    // other lines are kept all the same).
    bool load(const QString &path, QString *problem);

    const QString &path() const { return m_path; }
    bool exists() const { return m_exists; }

    bool has(const QString &section, const QString &key) const;
    QString text(const QString &section, const QString &key,
                 const QString &otherwise = QString()) const;
    // The keys of a section as they stand, the last of a repeated key only.
    QVector<IniFile::Entry> section(const QString &name) const;
    QStringList sectionNames() const;
    // "FILE line N" of the key's value, for a message about it.
    QString where(const QString &section, const QString &key) const;
    QString where(const IniFile::Entry &entry) const;

    // A value read as a number or a boolean. Without the key, false and no
    // problem; with one that does not read, false and a problem naming its
    // line.
    bool number(const QString &section, const QString &key, double *value,
                QStringList *problems) const;
    bool boolean(const QString &section, const QString &key, bool *value,
                 QStringList *problems) const;

    // Keys of a section that are none of those known, each as a problem
    // naming its line (unknown keys are told, not refused).
    QStringList unknownKeys(const QString &section, const QStringList &known) const;

    struct Change
    {
        QString section;
        QString key;
        QString value;
    };
    // Writes the values into the file under its lock and reads it again;
    // false with the reason when it could not be written. An empty value
    // for a key the file does not have adds nothing.
    bool change(const QVector<Change> &changes, QString *problem);

private:
    const IniFile::Entry *find(const QString &section, const QString &key) const;

    QString m_path;
    bool m_exists = false;
    QVector<IniFile::Entry> m_entries;
    FileSnapshot m_snapshot{MAX_BYTES};
};
