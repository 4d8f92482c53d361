#pragma once

#include "service/ServiceManager.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

// systemd, through libsystemd: sd_notify() sends a datagram to the socket
// $NOTIFY_SOCKET names, and waits while that socket's queue is full (ten
// datagrams unread). So the messages go from a thread of this adapter's own,
// and notify() only queues them; nothing at all when the station was not
// started by a unit of Type=notify.
class SystemdServiceManager : public ServiceManager
{
public:
    // Messages kept while the manager reads none; beyond, the oldest go.
    static constexpr int QueueLimit = 64;

    SystemdServiceManager();
    // Sends what is queued (STOPPING=1 among it), then ends its thread.
    ~SystemdServiceManager() override;

    quint64 watchdogUsec() const override;
    void notify(const QByteArray &state) override;

private:
    void send();

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<QByteArray> m_queue;
    bool m_ending = false;
    std::thread m_sender;
};
