#include "platform/qt/QSettingsStore.h"

#include <QFileInfo>
#include <QStringList>

QSettings::Status QSettingsStore::fileStatus(const QSettings &settings) const
{
    const QFileInfo info(settings.fileName());
    const QDateTime modified = info.exists() ? info.lastModified() : QDateTime();
    const qint64 size = info.exists() ? info.size() : -1;
    if (settings.status() != QSettings::NoError) {
        m_faults.insert(settings.fileName(), {modified, size, settings.status()});
        return settings.status();
    }
    const auto known = m_faults.constFind(settings.fileName());
    if (known != m_faults.constEnd()) {
        if (known->modified == modified && known->size == size)
            return known->status;
        m_faults.remove(settings.fileName()); // changed since: QSettings parsed it afresh
    }
    return QSettings::NoError;
}

QString QSettingsStore::value(const QString &application, const QString &section,
                              const QString &key, const QString &defaultText) const
{
    // The application name is the INI file's name; QSettings calls it the organisation.
    QSettings settings(QSettings::IniFormat, QSettings::UserScope, application);
    m_status = fileStatus(settings);
    settings.beginGroup(section);
    if (!settings.contains(key))
        return defaultText;
    const QVariant stored = settings.value(key);
    // A hand-edited value with unquoted commas reads as a list: give back the
    // text as it stands in the file rather than an empty string.
    if (stored.userType() == QMetaType::QStringList)
        return stored.toStringList().join(QStringLiteral(", "));
    return stored.toString();
}

bool QSettingsStore::setValue(const QString &application, const QString &section,
                              const QString &key, const QString &text)
{
    QSettings settings(QSettings::IniFormat, QSettings::UserScope, application);
    m_status = fileStatus(settings);
    if (m_status != QSettings::NoError)
        return false;
    settings.beginGroup(section);
    settings.setValue(key, text);
    settings.endGroup();
    settings.sync();
    m_status = fileStatus(settings);
    return m_status == QSettings::NoError;
}

QString QSettingsStore::readProblem(const QString &application) const
{
    QSettings settings(QSettings::IniFormat, QSettings::UserScope, application);
    switch (fileStatus(settings)) {
    case QSettings::NoError: return QString();
    case QSettings::AccessError:
        return QStringLiteral("The settings file \"%1\" cannot be read.").arg(settings.fileName());
    case QSettings::FormatError: break;
    }
    return QStringLiteral("The settings file \"%1\" is damaged: values in it may not be read, "
                          "and it is not written to until it is repaired or removed.")
        .arg(settings.fileName());
}

QString QSettingsStore::fileName(const QString &application)
{
    return QSettings(QSettings::IniFormat, QSettings::UserScope, application).fileName();
}
