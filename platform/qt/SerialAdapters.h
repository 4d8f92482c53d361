#pragma once

#include <QString>
#include <QStringList>

class PortMap;

// What the system knows of its serial adapters, beyond a device's path.
namespace SerialAdapters {

// "usb VID:PID SERIAL" for a USB adapter at the (resolved) device path,
// "device PATH" for another device there, empty where there is none.
QString identityOf(const QString &device);
// The adapter's stable name in /dev/serial/by-id that leads to the device,
// or empty.
QString byIdNameOf(const QString &device);
// One line per serial port present: its device, by-id name, description and
// the station's port number for it, if it has one.
QStringList present(const PortMap &ports);

} // namespace SerialAdapters
