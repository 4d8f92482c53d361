#pragma once

#include <QString>

class NotificationSender;
class QThread;
struct AlarmTransition;

// Alarm transitions as desktop notifications (org.freedesktop.Notifications
// on the session bus), one bubble per alarm that each of its transitions
// replaces. Only where a session bus is named (DBUS_SESSION_BUS_ADDRESS);
// elsewhere, and where the bus or the notification service fails, nothing
// at all. Connecting and calling happen on a thread of its own and the
// calls are not waited for, so a slow or dead bus never holds the window.
class DesktopNotifier
{
public:
    DesktopNotifier();
    // Gives a bus that hangs at most a moment, then leaves its thread to
    // the end of the process.
    ~DesktopNotifier();
    DesktopNotifier(const DesktopNotifier &) = delete;
    DesktopNotifier &operator=(const DesktopNotifier &) = delete;

    void notify(const AlarmTransition &transition);
    // A session bus is named: notifications are sent.
    bool isActive() const { return m_sender != nullptr; }

private:
    QThread *m_thread = nullptr;
    NotificationSender *m_sender = nullptr;
};
