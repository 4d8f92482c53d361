#pragma once

#include "channels/ReadingAge.h"

#include <QWidget>

class QLabel;
class SerialPort;

// The line and its six modules at a glance, whatever the alarms: the port
// the station talks through ("Port 1 (ttyUSB0)", or that it is closed),
// then one lamp per module, each both a colour and a shape, so that neither
// alone must tell it: a green disc fresh, an amber half disc stale, a red
// cross failing, a grey ring off. Each lamp's tool tip says which module,
// its state and the age of its reading; its "freshness" property the state.
class ModuleLamps : public QWidget
{
public:
    // Both must outlive it.
    ModuleLamps(const ReadingAge &ages, const SerialPort &port, QWidget *parent = nullptr);

    // Reads the ages and the port afresh.
    void refresh();

    // "fresh", "stale", "failing", "off".
    static QString stateName(ReadingAge::Freshness freshness);
    // "read 3 s ago", "read 2 min 5 s ago", "no reading yet".
    static QString ageText(std::optional<std::chrono::nanoseconds> age);

private:
    const ReadingAge &m_ages;
    const SerialPort &m_port;
    QLabel *m_portLabel;
    QLabel *m_lamps[ReadingAge::MODULES] = {};
    QString m_portShown;
};
