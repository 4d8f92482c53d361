#pragma once

#include "platform/Timer.h"
#include "platform/qt/widgets/ScopedConnection.h"

class QTimer;

// Runs the QTimer only while enabled with an interval above 0: a QTimer
// with interval 0 would fire on every pass of the event loop. Ticks missed
// while the thread was busy come as one, as QTimer delivers them.
class QtTimer : public Timer
{
public:
    explicit QtTimer(QTimer *timer);
    void setInterval(int ms) override;
    int interval() const override;
    void setEnabled(bool enabled) override;
    bool isEnabled() const override;

private:
    void apply();

    QTimer *m_timer;
    int m_interval = 0;
    bool m_enabled = false;
    ScopedConnection m_connection;
};
