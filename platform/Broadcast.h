#pragma once

#include <functional>
#include <utility>
#include <vector>

// A notification that any number of listeners may hear, where a control's
// Notifier takes one handler: what the station has done (a read cycle
// read, a log run began) is told to every addition that watches it, and
// none of them can change what the others see. Listeners install through a
// Handlers member, which takes them off when their owner goes.
template <typename... Args> class Broadcast
{
public:
    using Listener = std::function<void(Args...)>;

    int listen(Listener listener)
    {
        m_listeners.emplace_back(++m_lastId, std::move(listener));
        return m_lastId;
    }
    void forget(int id)
    {
        for (auto it = m_listeners.begin(); it != m_listeners.end(); ++it)
            if (it->first == id) {
                m_listeners.erase(it);
                return;
            }
    }

    // In the order they began to listen.
    void notify(Args... args) const
    {
        for (const auto &listener : m_listeners)
            listener.second(args...);
    }

private:
    std::vector<std::pair<int, Listener>> m_listeners;
    int m_lastId = 0;
};
