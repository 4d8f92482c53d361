#pragma once

#include <QToolButton>

class Alarms;

// The alarms in the status bar: how many are active, red while any waits
// for the operator, hidden while none is armed. A click opens the list.
class AlarmIndicator : public QToolButton
{
public:
    explicit AlarmIndicator(QWidget *parent = nullptr);

    void showCounts(const Alarms &alarms);
    bool isRed() const { return m_red; }

private:
    bool m_red = false;
};
