#pragma once

#include <QPushButton>

// A checkable push button that shows one caption while on and another while
// off. Every press toggles it, so a plain "Reset" button (same caption twice)
// changes its value, and so notifies, once per press.
class ToggleButton : public QPushButton
{
    Q_OBJECT

public:
    ToggleButton(const QString &onCaption, const QString &offCaption, QWidget *parent = nullptr);

    QString onCaption() const { return m_onCaption; }
    QString offCaption() const { return m_offCaption; }

private:
    void showCaption(bool on);

    QString m_onCaption;
    QString m_offCaption;
};
