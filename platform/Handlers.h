#pragma once

#include "platform/Broadcast.h"
#include "platform/Notifier.h"

#include <functional>
#include <vector>

// The handlers one owner installs on controls that outlive it. Declared as
// the owner's last member, it is destroyed first and clears every handler it
// installed, so no control calls into an owner that has gone.
class Handlers
{
public:
    Handlers() = default;
    ~Handlers() { clear(); }
    Handlers(const Handlers &) = delete;
    Handlers &operator=(const Handlers &) = delete;

    template <typename... Args, typename Handler>
    void install(Notifier<Args...> &notifier, Handler &&handler)
    {
        notifier.setHandler(std::forward<Handler>(handler));
        m_clears.push_back([&notifier] { notifier.clearHandler(); });
    }

    template <typename... Args, typename Listener>
    void install(Broadcast<Args...> &broadcast, Listener &&listener)
    {
        const int id = broadcast.listen(std::forward<Listener>(listener));
        m_clears.push_back([&broadcast, id] { broadcast.forget(id); });
    }

    // Clears every handler installed so far, at once.
    void clear()
    {
        for (auto clear = m_clears.rbegin(); clear != m_clears.rend(); ++clear)
            (*clear)();
        m_clears.clear();
    }

private:
    std::vector<std::function<void()>> m_clears;
};
