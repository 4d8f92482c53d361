#include "review/DailyLog.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

// NAME, the date, and .EXT (which may be several dots long, or none).
const QRegularExpression &dailyName()
{
    static const QRegularExpression name(
        QStringLiteral("^(.+)-(\\d{4}-\\d{2}-\\d{2})((?:\\.[^.]+)*)$"));
    return name;
}

} // namespace

namespace DailyLog {

QDate dateOf(const QString &fileName)
{
    const auto match = dailyName().match(QFileInfo(fileName).fileName());
    return match.hasMatch() ? QDate::fromString(match.captured(2), Qt::ISODate) : QDate();
}

QString nextAfter(const QString &fileName)
{
    const QFileInfo file(fileName);
    const auto match = dailyName().match(file.fileName());
    const QDate date =
        match.hasMatch() ? QDate::fromString(match.captured(2), Qt::ISODate) : QDate();
    if (!date.isValid())
        return {};
    const QString pattern = match.captured(1) + QStringLiteral("-*") + match.captured(3);
    QString next;
    QDate nextDate;
    for (const QFileInfo &entry : file.dir().entryInfoList({pattern}, QDir::Files)) {
        const auto other = dailyName().match(entry.fileName());
        const QDate day = other.hasMatch() && other.captured(1) == match.captured(1) &&
                other.captured(3) == match.captured(3)
            ? QDate::fromString(other.captured(2), Qt::ISODate)
            : QDate();
        if (day.isValid() && day > date && (!nextDate.isValid() || day < nextDate)) {
            nextDate = day;
            next = entry.filePath();
        }
    }
    return next;
}

} // namespace DailyLog
