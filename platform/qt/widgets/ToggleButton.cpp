#include "platform/qt/widgets/ToggleButton.h"

ToggleButton::ToggleButton(const QString &onCaption, const QString &offCaption, QWidget *parent)
    : QPushButton(offCaption, parent)
    , m_onCaption(onCaption)
    , m_offCaption(offCaption)
{
    setCheckable(true);
    // Connected first, so any later listener already sees the new caption.
    connect(this, &QAbstractButton::toggled, this, &ToggleButton::showCaption);
}

void ToggleButton::showCaption(bool on)
{
    setText(on ? m_onCaption : m_offCaption);
}
