#include "config/StationConfig.h"

#include "config/ConfigValue.h"
#include "platform/qt/IniFileEdit.h"

#include <QDir>
#include <QFileInfo>

QString StationConfig::defaultPath()
{
    QString folder = qEnvironmentVariable("XDG_CONFIG_HOME");
    // XDG says a relative path there is invalid and must be ignored.
    if (folder.isEmpty() || QDir::isRelativePath(folder))
        folder = QDir::homePath() + QStringLiteral("/.config");
    return folder + QStringLiteral("/kestrom-dgh/station.conf");
}

bool StationConfig::load(const QString &path, QString *problem)
{
    m_path = path;
    m_entries.clear();
    QByteArray bytes;
    QString reason;
    m_exists = QFileInfo(path).exists() || QFileInfo(path).isSymLink();
    if (!m_snapshot.read(path, &bytes, &reason)) {
        *problem = QStringLiteral("%1 cannot be read: %2").arg(path, reason);
        return false;
    }
    const IniFile file(bytes);
    // Every key of a section once, where it last stands: that one wins.
    for (const IniFile::Entry &entry : file.entries()) {
        for (int i = 0; i < m_entries.size(); ++i)
            if (m_entries[i].section == entry.section && m_entries[i].key == entry.key)
                m_entries.remove(i--);
        m_entries.append(entry);
    }
    if (const int line = file.damagedLine()) {
        *problem = QStringLiteral("%1 line %2: this line is no setting (\"key = value\", a "
                                  "[section] or a ; comment)")
                       .arg(path)
                       .arg(line);
        return false;
    }
    return true;
}

const IniFile::Entry *StationConfig::find(const QString &section, const QString &key) const
{
    for (const IniFile::Entry &entry : m_entries)
        if (entry.section == section && entry.key == key)
            return &entry;
    return nullptr;
}

bool StationConfig::has(const QString &section, const QString &key) const
{
    return find(section, key) != nullptr;
}

QString StationConfig::text(const QString &section, const QString &key,
                            const QString &otherwise) const
{
    const IniFile::Entry *entry = find(section, key);
    return entry ? entry->value.trimmed() : otherwise;
}

QVector<IniFile::Entry> StationConfig::section(const QString &name) const
{
    QVector<IniFile::Entry> result;
    for (const IniFile::Entry &entry : m_entries)
        if (entry.section == name)
            result.append(entry);
    return result;
}

QStringList StationConfig::sectionNames() const
{
    QStringList names;
    for (const IniFile::Entry &entry : m_entries)
        if (!names.contains(entry.section))
            names.append(entry.section);
    return names;
}

QString StationConfig::where(const QString &section, const QString &key) const
{
    const IniFile::Entry *entry = find(section, key);
    return entry ? where(*entry) : m_path;
}

QString StationConfig::where(const IniFile::Entry &entry) const
{
    return QStringLiteral("%1 line %2").arg(m_path).arg(entry.line);
}

bool StationConfig::number(const QString &section, const QString &key, double *value,
                           QStringList *problems) const
{
    const IniFile::Entry *entry = find(section, key);
    if (!entry)
        return false;
    if (ConfigValue::parseNumber(entry->value, value))
        return true;
    problems->append(QStringLiteral("%1: [%2] %3 = \"%4\" is not a number")
                         .arg(where(*entry), section, key, entry->value.trimmed()));
    return false;
}

bool StationConfig::boolean(const QString &section, const QString &key, bool *value,
                            QStringList *problems) const
{
    const IniFile::Entry *entry = find(section, key);
    if (!entry)
        return false;
    if (ConfigValue::parseBoolean(entry->value, value))
        return true;
    problems->append(QStringLiteral("%1: [%2] %3 = \"%4\" is neither yes nor no (true/false, "
                                    "on/off, 1/0)")
                         .arg(where(*entry), section, key, entry->value.trimmed()));
    return false;
}

QStringList StationConfig::unknownKeys(const QString &section, const QStringList &known) const
{
    QStringList problems;
    for (const IniFile::Entry &entry : m_entries)
        if (entry.section == section && !known.contains(entry.key))
            problems.append(QStringLiteral("%1: [%2] %3 is not a setting the station knows; it "
                                           "is left alone")
                                .arg(where(entry), section, entry.key));
    return problems;
}

bool StationConfig::change(const QVector<Change> &changes, QString *problem)
{
    QString why;
    const IniFileEdit::Outcome outcome = IniFileEdit::apply(
        m_path, m_snapshot,
        [&changes](IniFile &file) {
            // An empty value is what an absent key reads as: no line is
            // added for one.
            QString current;
            for (const Change &change : changes)
                if (!change.value.isEmpty() || file.value(change.section, change.key, &current))
                    file.setValue(change.section, change.key, change.value);
        },
        &why);
    if (outcome != IniFileEdit::Outcome::Written) {
        *problem = QStringLiteral("%1 could not be written: %2").arg(m_path, why);
        return false;
    }
    QString reloadProblem;
    load(m_path, &reloadProblem);
    return true;
}
