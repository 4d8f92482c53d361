#pragma once

// A TCP relay of the test's own between the station and a broker, on a
// thread of its own: it can change the port it relays to, and send bytes of
// its own to the station once, as a broker that breaks the protocol would.

#include <QByteArray>

#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <mutex>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

class TcpProxy
{
public:
    // Listens on `port` of 127.0.0.1 at once and relays to `target`.
    TcpProxy(int port, int target) : m_target(target)
    {
        m_listener = ::socket(AF_INET, SOCK_STREAM, 0);
        const int yes = 1;
        ::setsockopt(m_listener, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        const sockaddr_in address = local(port);
        m_listening =
            ::bind(m_listener, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0 &&
            ::listen(m_listener, 8) == 0;
        m_thread = std::thread([this] { run(); });
    }
    ~TcpProxy()
    {
        m_stop = true;
        m_thread.join();
        for (const Pair &pair : m_pairs) {
            ::close(pair.station);
            ::close(pair.broker);
        }
        ::close(m_listener);
    }

    bool listening() const { return m_listening; }
    void setTarget(int port) { m_target = port; }
    // The next connection gets `bytes` toward the station this long after it was made.
    void injectOnce(const QByteArray &bytes, std::chrono::milliseconds after)
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_inject = bytes;
        m_injectAfter = after;
    }
    bool injected() const { return m_injected; }
    int connections() const { return m_connections; }

private:
    struct Pair
    {
        int station;
        int broker;
        QByteArray inject;
        std::chrono::steady_clock::time_point injectAt;
    };

    static sockaddr_in local(int port)
    {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(static_cast<uint16_t>(port));
        return address;
    }

    static bool writeAll(int fd, const char *data, ssize_t size)
    {
        while (size > 0) {
            const ssize_t written = ::send(fd, data, static_cast<size_t>(size), MSG_NOSIGNAL);
            if (written <= 0)
                return false;
            data += written;
            size -= written;
        }
        return true;
    }

    void accept()
    {
        const int station = ::accept(m_listener, nullptr, nullptr);
        if (station < 0)
            return;
        ++m_connections;
        const int broker = ::socket(AF_INET, SOCK_STREAM, 0);
        const sockaddr_in address = local(m_target);
        if (::connect(broker, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0) {
            ::close(broker);
            ::close(station);
            return;
        }
        Pair pair{station, broker, {}, {}};
        const std::lock_guard<std::mutex> lock(m_mutex);
        pair.inject = m_inject;
        pair.injectAt = std::chrono::steady_clock::now() + m_injectAfter;
        m_inject.clear();
        m_pairs.push_back(pair);
    }

    void run()
    {
        while (!m_stop) {
            std::vector<pollfd> fds{{m_listener, POLLIN, 0}};
            for (const Pair &pair : m_pairs) {
                fds.push_back({pair.station, POLLIN, 0});
                fds.push_back({pair.broker, POLLIN, 0});
            }
            ::poll(fds.data(), fds.size(), 20);
            if (fds[0].revents & POLLIN)
                accept();
            for (size_t i = 0; i < (fds.size() - 1) / 2; ++i) {
                Pair &pair = m_pairs[i];
                bool open = true;
                for (const auto &[from, to] : {std::pair(fds[1 + 2 * i], pair.broker),
                                               std::pair(fds[2 + 2 * i], pair.station)}) {
                    if (!open || !(from.revents & (POLLIN | POLLHUP | POLLERR)))
                        continue;
                    char buffer[65536];
                    const ssize_t got = ::recv(from.fd, buffer, sizeof buffer, 0);
                    open = got > 0 && writeAll(to, buffer, got);
                }
                if (open && !pair.inject.isEmpty() &&
                    std::chrono::steady_clock::now() >= pair.injectAt) {
                    open = writeAll(pair.station, pair.inject.constData(), pair.inject.size());
                    pair.inject.clear();
                    m_injected = true;
                }
                if (!open) {
                    ::close(pair.station);
                    ::close(pair.broker);
                    pair.station = pair.broker = -1;
                }
            }
            m_pairs.erase(std::remove_if(m_pairs.begin(), m_pairs.end(),
                                         [](const Pair &pair) { return pair.station < 0; }),
                          m_pairs.end());
        }
    }

    int m_listener = -1;
    bool m_listening = false;
    std::atomic<int> m_target;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_injected{false};
    std::atomic<int> m_connections{0};
    std::mutex m_mutex; // m_inject and m_injectAfter, set by the test's thread
    QByteArray m_inject;
    std::chrono::milliseconds m_injectAfter{0};
    std::vector<Pair> m_pairs; // the relay thread's own
    std::thread m_thread;
};
