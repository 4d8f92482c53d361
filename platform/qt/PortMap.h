#pragma once

#include <QHash>
#include <QString>

// Turns the station's port numbers into device paths. The rule, first match wins:
//  1. a mapping given with setDevice() (the command line's --device N=PATH);
//  2. a per-user link $XDG_CONFIG_HOME/kestrom-dgh/ports/COM<N> (XDG_CONFIG_HOME
//     defaults to ~/.config) when that entry exists, even as a dangling link,
//     so a missing adapter is reported instead of silently using another port;
//  3. /dev/ttyS<N-1>, the Linux name of the N-th on-board serial port.
// Numbers below 1 have no device and give an empty path.
class PortMap
{
public:
    void setDevice(int number, const QString &path);
    QString devicePath(int number) const;

    // The folder of the per-user COM<N> links.
    static QString linkFolder();
    // Parses "N=PATH" with N from 1 to 32767 and a non-empty PATH; a bare
    // device name without a slash ("ttyUSB0") means the one in /dev.
    static bool parseDeviceOption(const QString &text, int *number, QString *path);

private:
    QHash<int, QString> m_devices;
};
