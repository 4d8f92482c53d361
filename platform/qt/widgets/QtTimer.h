#pragma once

#include "platform/Timer.h"

#include <QMetaObject>

class QTimer;

// Runs the QTimer only while enabled with an interval above 0: a QTimer
// with interval 0 would fire on every pass of the event loop. Ticks missed
// while the thread was busy come as one, as QTimer delivers them.
class QtTimer : public Timer
{
public:
    explicit QtTimer(QTimer *timer);
    // Lets go of the widget's signal: the widget may outlive the adapter.
    ~QtTimer() override;
    QtTimer(const QtTimer &) = delete;
    QtTimer &operator=(const QtTimer &) = delete;
    void setInterval(int ms) override;
    int interval() const override;
    void setEnabled(bool enabled) override;
    bool isEnabled() const override;

private:
    QMetaObject::Connection m_connection;
    void apply();

    QTimer *m_timer;
    int m_interval = 0;
    bool m_enabled = false;
};
