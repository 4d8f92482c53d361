#include "logging/DiskSyncer.h"

#include <fcntl.h>
#include <unistd.h>

DiskSyncer::~DiskSyncer()
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        retire();
        m_stopping = true;
    }
    m_wake.notify_one();
    if (m_thread.joinable())
        m_thread.join();
}

void DiskSyncer::follow(int fd)
{
    const int copy = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        retire();
        m_fd = copy;
        if (!m_thread.joinable())
            m_thread = std::thread([this] { run(); });
    }
    m_wake.notify_one();
}

void DiskSyncer::forget()
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        retire();
    }
    m_wake.notify_one();
}

void DiskSyncer::retire()
{
    if (m_fd >= 0)
        m_retired.push_back(m_fd);
    m_fd = -1;
}

void DiskSyncer::run()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_wake.wait_for(lock, PERIOD, [this] { return m_stopping || !m_retired.empty(); });
        const int fd = m_fd;
        std::vector<int> retired;
        retired.swap(m_retired);
        const bool stopping = m_stopping;
        const bool dirty = m_dirty.exchange(false, std::memory_order_acq_rel);
        lock.unlock();
        // The disk's time is spent here, with nothing held that a writer waits for.
        if (dirty && fd >= 0) {
            ::fdatasync(fd);
            ++m_syncs;
        }
        for (const int old : retired) {
            ::fdatasync(old);
            ::close(old);
            ++m_syncs;
        }
        lock.lock();
        if (stopping && m_retired.empty())
            return;
    }
}
