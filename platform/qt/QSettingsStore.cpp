#include "platform/qt/QSettingsStore.h"

#include "platform/qt/IniFile.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>
#include <QStandardPaths>
#include <QThread>

namespace {

// Why the lock could not be taken.
QString lockProblem(const QLockFile &lock, const QString &lockName)
{
    if (lock.error() == QLockFile::LockFailedError)
        return QStringLiteral("another program kept its lock file \"%1\" for over %2 s; try again")
            .arg(lockName)
            .arg(QSettingsStore::LOCK_WAIT_MS / 1000);
    return QStringLiteral("its lock file \"%1\" cannot be made").arg(lockName);
}

} // namespace

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

    // Another program may be between its own read and write: wait for it, a
    // little, and tell rather than lose its change or ours.
    const QString lockName = path + QStringLiteral(".lock");
    QLockFile lock(lockName);
    const QDeadlineTimer deadline(LOCK_WAIT_MS);
    while (!lock.tryLock(0)) {
        if (lock.error() != QLockFile::LockFailedError || deadline.hasExpired())
            return fail(QSettings::AccessError, lockProblem(lock, lockName));
        QThread::msleep(2);
    }

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
