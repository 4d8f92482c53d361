#include "events/EventIndicator.h"

#include "logging/LoggingPanel.h"

#include <QFontMetrics>

namespace {
constexpr int TextWidth = 260;
}

EventIndicator::EventIndicator(QWidget *parent) : QToolButton(parent)
{
    setObjectName(QStringLiteral("eventIndicator"));
    setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    setAutoRaise(true);
    setFixedWidth(TextWidth);
    setVisible(false);
}

void EventIndicator::setLamps(const QString &programFolder)
{
    m_red = QIcon(LoggingPanel::lampPath(programFolder, LoggingPanel::RED_LAMP));
    m_green = QIcon(LoggingPanel::lampPath(programFolder, LoggingPanel::GREEN_LAMP));
}

void EventIndicator::showFaults(long long faults, const QString &lastEvent, bool failing)
{
    setIcon(failing ? m_red : m_green);
    const QString text = QStringLiteral("%1 %2: %3")
                             .arg(faults)
                             .arg(faults == 1 ? QStringLiteral("fault") : QStringLiteral("faults"))
                             .arg(lastEvent.isEmpty() ? QStringLiteral("none") : lastEvent);
    // Elided to its place: the status bar must not grow with a long text.
    const int room = TextWidth - iconSize().width() - 16;
    setText(fontMetrics().elidedText(text, Qt::ElideRight, room));
    setToolTip(text);
}
