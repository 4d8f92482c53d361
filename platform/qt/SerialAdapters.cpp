#include "platform/qt/SerialAdapters.h"

#include "platform/qt/PortMap.h"

#include <QDir>
#include <QFileInfo>
#include <QSerialPortInfo>

namespace {

const QString ByIdFolder = QStringLiteral("/dev/serial/by-id");

// The station's port numbers looked at for a device: more than any plant has.
constexpr int HighestNumber = 64;

QString resolved(const QString &path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? path : canonical;
}

} // namespace

QString SerialAdapters::identityOf(const QString &device)
{
    const QString path = resolved(device);
    if (!QFileInfo::exists(path))
        return QString();
    const auto ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : ports) {
        if (info.systemLocation() != path || !info.hasVendorIdentifier() ||
            !info.hasProductIdentifier())
            continue;
        return QStringLiteral("usb %1:%2 %3")
            .arg(info.vendorIdentifier(), 4, 16, QLatin1Char('0'))
            .arg(info.productIdentifier(), 4, 16, QLatin1Char('0'))
            .arg(info.serialNumber())
            .trimmed();
    }
    return QStringLiteral("device ") + path;
}

QString SerialAdapters::byIdNameOf(const QString &device)
{
    const QString path = resolved(device);
    const QFileInfoList links = QDir(ByIdFolder).entryInfoList(QDir::System | QDir::Files);
    for (const QFileInfo &link : links)
        if (link.canonicalFilePath() == path)
            return link.absoluteFilePath();
    return QString();
}

QStringList SerialAdapters::present(const PortMap &ports)
{
    QStringList lines;
    const auto infos = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : infos) {
        const QString device = info.systemLocation();
        int number = 0;
        for (int n = 1; n <= HighestNumber && number == 0; ++n)
            if (resolved(ports.devicePath(n)) == device)
                number = n;
        QString line = number > 0 ? QStringLiteral("%1: %2").arg(number).arg(device)
                                  : QStringLiteral("-: %1").arg(device);
        const QString byId = byIdNameOf(device);
        if (!byId.isEmpty())
            line += QStringLiteral(" = ") + byId;
        if (!info.description().isEmpty())
            line += QStringLiteral(" (%1)").arg(info.description());
        lines << line;
    }
    if (!lines.isEmpty() && lines.join(QLatin1Char('\n')).contains(QStringLiteral("-: ")))
        lines << QStringLiteral("A port shown with '-' gets a number with --device N=PATH, or a "
                                "link ~/.config/kestrom-dgh/ports/COM<N>.");
    return lines;
}
