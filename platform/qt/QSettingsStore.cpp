#include "platform/qt/QSettingsStore.h"

#include "platform/qt/IniFile.h"
#include "platform/qt/IniFileEdit.h"

#include <QFileInfo>
#include <QStandardPaths>

QString QSettingsStore::fileName(const QString &application)
{
    // The application name is the INI file's name; QSettings calls it the organisation.
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return QFileInfo(folder + QLatin1Char('/') + application + QStringLiteral(".ini"))
        .absoluteFilePath();
}

QString QSettingsStore::value(const QString &application, const QString &section,
                              const QString &key, const QString &defaultText) const
{
    QByteArray bytes;
    QString reason;
    if (!m_file.read(fileName(application), &bytes, &reason)) {
        m_status = QSettings::AccessError;
        return defaultText;
    }
    const IniFile file(bytes);
    m_status = file.damagedLine() ? QSettings::FormatError : QSettings::NoError;
    QString text;
    return file.value(section, key, &text) ? text : defaultText;
}

bool QSettingsStore::setValue(const QString &application, const QString &section,
                              const QString &key, const QString &text, QString *problem)
{
    const QString path = fileName(application);
    QString why;
    const IniFileEdit::Outcome outcome = IniFileEdit::apply(
        path, m_file, [&](IniFile &file) { file.setValue(section, key, text); }, &why);
    if (outcome == IniFileEdit::Outcome::Written) {
        m_status = QSettings::NoError;
        return true;
    }
    m_status =
        outcome == IniFileEdit::Outcome::Damaged ? QSettings::FormatError : QSettings::AccessError;
    if (problem)
        *problem =
            QStringLiteral("The settings file \"%1\" could not be written: %2.").arg(path, why);
    return false;
}

QString QSettingsStore::readProblem(const QString &application) const
{
    const QString path = fileName(application);
    QByteArray bytes;
    QString reason;
    if (!m_file.read(path, &bytes, &reason)) {
        m_status = QSettings::AccessError;
        return QStringLiteral("The settings file \"%1\" cannot be read: %2. The default values "
                              "are used, and nothing is saved to it until it can be read.")
            .arg(path, reason);
    }
    if (const int line = IniFile(bytes).damagedLine()) {
        m_status = QSettings::FormatError;
        return QStringLiteral("The settings file \"%1\" is damaged at line %2: values in it may "
                              "not be read, and it is not written to until it is repaired or "
                              "removed.")
            .arg(path)
            .arg(line);
    }
    m_status = QSettings::NoError;
    return QString();
}
