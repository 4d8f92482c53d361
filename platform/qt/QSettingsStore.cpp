#include "platform/qt/QSettingsStore.h"

#include <QStringList>

QString QSettingsStore::value(const QString &application, const QString &section,
                              const QString &key, const QString &defaultText) const
{
    // The application name is the INI file's name; QSettings calls it the organisation.
    QSettings settings(QSettings::IniFormat, QSettings::UserScope, application);
    m_status = settings.status();
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
    if (settings.status() != QSettings::NoError) {
        // A file that could not be parsed would be rewritten without its other values.
        m_status = settings.status();
        return false;
    }
    settings.beginGroup(section);
    settings.setValue(key, text);
    settings.endGroup();
    settings.sync();
    m_status = settings.status();
    return m_status == QSettings::NoError;
}

QString QSettingsStore::fileName(const QString &application)
{
    return QSettings(QSettings::IniFormat, QSettings::UserScope, application).fileName();
}
