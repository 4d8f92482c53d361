#include "service/SystemdServiceManager.h"

#include <systemd/sd-daemon.h>

SystemdServiceManager::SystemdServiceManager()
{
    if (!qEnvironmentVariableIsEmpty("NOTIFY_SOCKET"))
        m_sender = std::thread([this] { send(); });
}

SystemdServiceManager::~SystemdServiceManager()
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_ending = true;
    }
    m_wake.notify_all();
    if (m_sender.joinable())
        m_sender.join();
}

quint64 SystemdServiceManager::watchdogUsec() const
{
    uint64_t usec = 0;
    // Only when $WATCHDOG_PID, if set, is this process: a child started by
    // the station never pings in its name.
    return sd_watchdog_enabled(0, &usec) > 0 ? usec : 0;
}

void SystemdServiceManager::notify(const QByteArray &state)
{
    if (!m_sender.joinable())
        return;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        if (m_queue.size() >= QueueLimit)
            m_queue.pop_front();
        m_queue.push_back(state);
    }
    m_wake.notify_all();
}

void SystemdServiceManager::send()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_ending || !m_queue.empty(); });
        if (m_queue.empty())
            return; // ending, and all said
        const QByteArray state = m_queue.front();
        m_queue.pop_front();
        lock.unlock();
        // A manager that cannot be told cannot be helped from here: the
        // watchdog's silence then says it all.
        sd_notify(0, state.constData());
        lock.lock();
    }
}
