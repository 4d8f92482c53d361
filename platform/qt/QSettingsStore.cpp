#include "platform/qt/QSettingsStore.h"

#include "platform/qt/IniFile.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
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
    const auto fail = [&](QSettings::Status status, const QString &why) {
        m_status = status;
        if (problem)
            *problem =
                QStringLiteral("The settings file \"%1\" could not be written: %2.").arg(path, why);
        return false;
    };
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        return fail(QSettings::AccessError,
                    QStringLiteral("its folder \"%1\" cannot be made").arg(folder));

    QByteArray bytes;
    QString reason;
    if (!m_file.readAfresh(path, &bytes, &reason))
        return fail(QSettings::AccessError, QStringLiteral("it cannot be read (%1)").arg(reason));
    IniFile file(bytes);
    if (const int line = file.damagedLine())
        return fail(QSettings::FormatError,
                    QStringLiteral("line %1 is no setting; repair or remove it first").arg(line));
    file.setValue(section, key, text);

    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(file.bytes()) != file.bytes().size() ||
        !out.commit())
        return fail(QSettings::AccessError, out.errorString());
    m_status = QSettings::NoError;
    return true;
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
