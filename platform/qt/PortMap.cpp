#include "platform/qt/PortMap.h"

#include <QDir>
#include <QFileInfo>

void PortMap::setDevice(int number, const QString &path)
{
    m_devices.insert(number, path);
}

QString PortMap::devicePath(int number) const
{
    if (number < 1)
        return QString();
    const auto explicitPath = m_devices.constFind(number);
    if (explicitPath != m_devices.constEnd())
        return *explicitPath;

    const QString link = linkFolder() + QStringLiteral("/COM") + QString::number(number);
    const QFileInfo linkInfo(link);
    if (linkInfo.exists() || linkInfo.isSymLink())
        return link;
    return QStringLiteral("/dev/ttyS") + QString::number(number - 1);
}

QString PortMap::linkFolder()
{
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    // XDG says a relative XDG_CONFIG_HOME is invalid and must be ignored.
    if (config.isEmpty() || QDir::isRelativePath(config))
        config = QDir::homePath() + QStringLiteral("/.config");
    return config + QStringLiteral("/kestrom-dgh/ports");
}

bool PortMap::parseDeviceOption(const QString &text, int *number, QString *path)
{
    const int separator = text.indexOf(QLatin1Char('='));
    if (separator <= 0 || separator == text.size() - 1)
        return false;
    bool ok = false;
    const int parsed = text.left(separator).toInt(&ok);
    if (!ok || parsed < 1 || parsed > 32767)
        return false;
    if (number)
        *number = parsed;
    if (path) {
        *path = text.mid(separator + 1);
        if (!path->contains(QLatin1Char('/')))
            path->prepend(QStringLiteral("/dev/"));
    }
    return true;
}
