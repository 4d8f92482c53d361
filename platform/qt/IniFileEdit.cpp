#include "platform/qt/IniFileEdit.h"

#include "platform/qt/FileSnapshot.h"
#include "platform/qt/IniFile.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>
#include <QThread>

IniFileEdit::Outcome IniFileEdit::apply(const QString &path, FileSnapshot &snapshot,
                                        const std::function<void(IniFile &)> &edit, QString *why)
{
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder)) {
        *why = QStringLiteral("its folder \"%1\" cannot be made").arg(folder);
        return Outcome::CannotWrite;
    }

    // Another program may be between its own read and write: wait for it, a
    // little, and tell rather than lose its change or ours. QLockFile's own
    // wait starts at 100 ms and doubles, which starves a writer behind a busy one.
    const QString lockName = path + QStringLiteral(".lock");
    QLockFile lock(lockName);
    const QDeadlineTimer deadline(LOCK_WAIT_MS);
    while (!lock.tryLock(0)) {
        if (lock.error() != QLockFile::LockFailedError) {
            *why = QStringLiteral("its lock file \"%1\" cannot be made").arg(lockName);
            return Outcome::CannotWrite;
        }
        if (deadline.hasExpired()) {
            *why = QStringLiteral("another program kept its lock file \"%1\" for over %2 s; try "
                                  "again")
                       .arg(lockName)
                       .arg(LOCK_WAIT_MS / 1000);
            return Outcome::CannotWrite;
        }
        QThread::msleep(2);
    }

    QByteArray bytes;
    QString reason;
    if (!snapshot.readAfresh(path, &bytes, &reason)) {
        *why = QStringLiteral("it cannot be read (%1)").arg(reason);
        return Outcome::CannotWrite;
    }
    IniFile file(bytes);
    if (const int line = file.damagedLine()) {
        *why = QStringLiteral("line %1 is no setting; repair or remove it first").arg(line);
        return Outcome::Damaged;
    }
    edit(file);

    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(file.bytes()) != file.bytes().size() ||
        !out.commit()) {
        *why = out.errorString();
        return Outcome::CannotWrite;
    }
    return Outcome::Written;
}
