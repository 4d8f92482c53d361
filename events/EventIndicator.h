#pragma once

#include <QToolButton>

// The unattended station's faults in the status bar, without a message box:
// a lamp (red while a source is failing, green once all work again), the
// count of faults since start and the last event as its text, the whole
// last event as its tool tip. A click asks for the list of recent events.
class EventIndicator : public QToolButton
{
    Q_OBJECT

public:
    explicit EventIndicator(QWidget *parent = nullptr);

    // The lamps are the logging panel's pictures from the program folder.
    void setLamps(const QString &programFolder);
    void showFaults(long long faults, const QString &lastEvent, bool failing);

private:
    QIcon m_red;
    QIcon m_green;
};
