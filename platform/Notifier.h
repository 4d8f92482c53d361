#pragma once

#include <QtGlobal>

#include <functional>
#include <utility>

// The change notification of a control: one handler, run inside the call
// that changed the control's value (also when the program changed it).
//
// A notifier takes one handler at a time: installing a second one over the
// first is a wiring mistake (one of two owners would go unheard), so it ends
// the program at once instead. Owners install through a Handlers member,
// which clears what it installed when the owner goes.
template <typename... Args> class Notifier
{
public:
    using Handler = std::function<void(Args...)>;

    void setHandler(Handler handler)
    {
        if (m_handler && handler)
            qFatal("A control notifies one handler: clear the installed one first.");
        m_handler = std::move(handler);
    }
    void clearHandler() { m_handler = nullptr; }
    bool hasHandler() const { return static_cast<bool>(m_handler); }

    void notify(Args... args) const
    {
        if (m_handler)
            m_handler(args...);
    }

private:
    Handler m_handler;
};
