#include "events/EventsView.h"

#include "events/EventIndicator.h"
#include "events/EventJournal.h"
#include "events/FaultReporter.h"

#include <QStatusBar>

EventsView::EventsView(EventJournal &journal, FaultReporter &faults, QStatusBar *statusBar,
                       const QString &programFolder, QWidget *window)
    : m_journal(journal)
    , m_faults(faults)
    , m_indicator(new EventIndicator(statusBar))
    , m_list([this, window] {
        return new EventsWindow(m_journal.recent(), m_journal.fileName(), window);
    })
{
    statusBar->addPermanentWidget(m_indicator);
    m_indicator->setLamps(programFolder);
    m_clicked = QObject::connect(m_indicator, &EventIndicator::clicked, m_indicator,
                                 [this] { m_list.show(); });
    m_handlers.install(m_faults.changed, [this] { showFaults(); });
    m_handlers.install(m_journal.recorded, [this](const StationEvent &event) {
        showFaults();
        if (EventsWindow *list = m_list.dialog())
            list->append(event);
    });
}

EventsView::~EventsView()
{
    QObject::disconnect(m_clicked);
}

void EventsView::showFaults()
{
    const std::deque<StationEvent> &recent = m_journal.recent();
    const QString last = recent.empty()
        ? QString()
        : QStringLiteral("%1 %2: %3")
              .arg(recent.back().source, recent.back().kind, recent.back().text);
    m_indicator->showFaults(m_faults.faultCount(), last, m_faults.anyFailing());
    m_indicator->setVisible(m_faults.isUnattended() || !recent.empty());
}
