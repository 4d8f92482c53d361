#include "platform/qt/widgets/QtTimer.h"

#include <QTimer>

QtTimer::QtTimer(QTimer *timer)
    : m_timer(timer)
    , m_interval(timer->interval())
    , m_enabled(timer->isActive())
    , m_connection(QObject::connect(timer, &QTimer::timeout, timer, [this] { tick.notify(); }))
{
}

void QtTimer::setInterval(int ms)
{
    m_interval = ms < 0 ? 0 : ms;
    apply();
}

int QtTimer::interval() const
{
    return m_interval;
}

void QtTimer::setEnabled(bool enabled)
{
    m_enabled = enabled;
    apply();
}

bool QtTimer::isEnabled() const
{
    return m_enabled;
}

void QtTimer::apply()
{
    if (m_enabled && m_interval > 0) {
        // start() restarts the period, as re-enabling a window timer does.
        m_timer->start(m_interval);
    } else {
        m_timer->stop();
        m_timer->setInterval(m_interval);
    }
}
