#include "calibration/CalibrationHistory.h"

#include "platform/Clock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

// A CSV field: quoted, its quotes doubled, when it holds a separator, a
// quote or a line break.
QString field(const QString &text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

} // namespace

QString CalibrationHistory::defaultFileName()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
        QStringLiteral("/kestrom-dgh/calibration-history.csv");
}

CalibrationHistory::CalibrationHistory(const Clock &clock, const QString &fileName)
    : m_clock(clock)
    , m_fileName(fileName)
{
}

QString CalibrationHistory::append(const Entry &entry) const
{
    QDir().mkpath(QFileInfo(m_fileName).absolutePath());
    QFile file(m_fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return file.errorString();
    QByteArray text;
    if (file.size() == 0)
        text = "Time,Probe,Offset,Slope,Serial Number,Buffers\n";
    const QDateTime now = m_clock.currentDateTime();
    const QDateTime at = now.toOffsetFromUtc(now.offsetFromUtc());
    const QStringList fields{at.toString(Qt::ISODate),  QString::number(entry.probe),
                             field(entry.offset),       field(entry.slope),
                             field(entry.serialNumber), field(entry.buffers)};
    text += fields.join(QLatin1Char(',')).toUtf8() + '\n';
    // One write: a line is in the file whole or not at all.
    if (file.write(text) != text.size() || !file.flush())
        return file.errorString();
    return {};
}
