#pragma once

#include <functional>
#include <utility>

// The change notification of a control: one handler, run inside the call
// that changed the control's value (also when the program changed it).
template <typename... Args> class Notifier
{
public:
    using Handler = std::function<void(Args...)>;

    void setHandler(Handler handler) { m_handler = std::move(handler); }
    void notify(Args... args) const
    {
        if (m_handler)
            m_handler(args...);
    }

private:
    Handler m_handler;
};
