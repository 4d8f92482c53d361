#pragma once

#include <QByteArray>
#include <QtGlobal>

// The service manager that started the station, if any (systemd): what it
// is told, and how often it wants to hear that the station is alive.
class ServiceManager
{
public:
    virtual ~ServiceManager() = default;
    // Microseconds within which the manager wants a WATCHDOG=1, 0 when it
    // watches nothing.
    virtual quint64 watchdogUsec() const = 0;
    // One or more "NAME=value" lines, sent as one message.
    virtual void notify(const QByteArray &state) = 0;
};
