#pragma once

#include "alarms/ui/ValueMarks.h"
#include "channels/ReadingAge.h"
#include "platform/Handlers.h"

#include <QTimer>
#include <QVector>

class Alarms;
class ModuleLamps;
class QLabel;
class QMenuBar;
class SerialPort;

// A live view that never passes an old reading off as new, whatever the
// alarms and in both modes: the module lamps and the port in the menu
// bar's corner, every value display dimmed once its reading is older than
// two read periods (its age in the tool tip), and framed while an alarm is
// on its value or its module. Looked at twice a second, and at once when
// an alarm changes.
class LiveView
{
public:
    // The value labels of the main window, by what they show.
    struct Labels
    {
        QLabel *lblHz, *lblLitersPerMin, *liters;
        QLabel *lblmV, *lblpH, *lblmV1, *lblpH1;
        QLabel *lblTherm1, *lblTherm2, *lblTherm3;
    };

    // All must outlive it; the lamps go into the menu bar's top right corner.
    LiveView(const ReadingAge &ages, const SerialPort &port, Alarms &alarms, const Labels &labels,
             QMenuBar *menuBar);
    ~LiveView();
    LiveView(const LiveView &) = delete;
    LiveView &operator=(const LiveView &) = delete;

    void refresh();
    ModuleLamps *lamps() const { return m_lamps; }

private:
    struct Display
    {
        QLabel *label;
        ReadingAge::Reading reading;
        ReadingAge::Module module;
        QStringList sources; // the alarm sources on its value
    };
    void showAlarms();

    const ReadingAge &m_ages;
    Alarms &m_alarms;
    ModuleLamps *m_lamps;
    QVector<Display> m_displays;
    ValueMarks m_marks;
    QTimer m_timer;
    QMetaObject::Connection m_ticks;
    Handlers m_handlers;
};
