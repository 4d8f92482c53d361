#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

// Writes one open file's lines back to the disk at least once a second, on
// a thread of its own, so that the thread that writes them never waits for
// the disk: a power cut then costs at most the lines of the last second, and
// whatever the disk holds in its own cache.
class DiskSyncer
{
public:
    static constexpr std::chrono::milliseconds PERIOD{500};

    DiskSyncer() = default;
    // Syncs what it still holds once more and lets it go.
    ~DiskSyncer();
    DiskSyncer(const DiskSyncer &) = delete;
    DiskSyncer &operator=(const DiskSyncer &) = delete;

    // From now on the file open as fd (a copy of the descriptor is kept, so
    // the caller may close its own at any time); the one before is synced a
    // last time and let go.
    void follow(int fd);
    // The file is closed: synced a last time and let go.
    void forget();
    // Lines were written: cheap enough for every record.
    void written() { m_dirty.store(true, std::memory_order_release); }

    // Syncs done so far, for the benchmark to show that they happen.
    long long syncs() const { return m_syncs.load(); }

private:
    void run();
    void retire(); // with m_mutex held

    std::mutex m_mutex;
    std::condition_variable m_wake;
    int m_fd = -1;
    std::vector<int> m_retired;
    bool m_stopping = false;
    std::atomic<bool> m_dirty{false};
    std::atomic<long long> m_syncs{0};
    std::thread m_thread;
};
