#pragma once

#include "events/EventsWindow.h"
#include "platform/Handlers.h"
#include "platform/qt/widgets/SingleDialog.h"

#include <QMetaObject>

class EventIndicator;
class EventJournal;
class FaultReporter;
class QStatusBar;
class QWidget;

// The station's events as the window shows them: the lamp with the fault
// count and the last event in the status bar (shown once unattended or once
// there is an event), and the list of recent events it opens.
class EventsView
{
public:
    // All must outlive it; the lamp pictures come from the program folder.
    EventsView(EventJournal &journal, FaultReporter &faults, QStatusBar *statusBar,
               const QString &programFolder, QWidget *window);
    ~EventsView();
    EventsView(const EventsView &) = delete;
    EventsView &operator=(const EventsView &) = delete;

private:
    void showFaults();

    EventJournal &m_journal;
    FaultReporter &m_faults;
    EventIndicator *m_indicator;
    SingleDialog<EventsWindow> m_list;
    QMetaObject::Connection m_clicked;
    Handlers m_handlers;
};
