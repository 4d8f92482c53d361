#include "events/EventsWindow.h"

#include "events/EventJournal.h"

#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

EventsWindow::EventsWindow(const std::deque<StationEvent> &recent, const QString &journalFile,
                           QWidget *parent)
    : QDialog(parent)
    , m_list(new QPlainTextEdit(this))
{
    setObjectName(QStringLiteral("frmEvents"));
    setWindowTitle(QStringLiteral("Station Events"));
    setModal(false);
    m_list->setObjectName(QStringLiteral("txtEvents"));
    m_list->setReadOnly(true);
    m_list->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_list->setMaximumBlockCount(EventJournal::RECENT_EVENTS);
    m_list->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    auto *file = new QLabel(QStringLiteral("Journal: %1").arg(journalFile), this);
    file->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(file);
    layout->addWidget(m_list);
    for (const StationEvent &event : recent)
        append(event);
    resize(760, 320);
}

void EventsWindow::append(const StationEvent &event)
{
    m_list->appendPlainText(QString::fromUtf8(event.line()).trimmed());
}
