#pragma once

#include <QStatusBar>

class ElidedLabel;
class QLabel;

// A status bar of four sunken panels numbered from 1, the first the widest;
// the last shows a small picture before its text. No panel's text changes
// the bar's size: a text too long for its panel is shown elided.
class PanelStatusBar : public QStatusBar
{
    Q_OBJECT

public:
    static constexpr int PanelCount = 4;

    explicit PanelStatusBar(QWidget *parent = nullptr);

    // The text label of a panel, nullptr outside 1..PanelCount.
    QLabel *panel(int number) const;
    // Texts the panel must always show whole, however crowded the bar.
    void keepWhole(int number, const QStringList &texts);
    // The picture label of the last panel.
    QLabel *pictureLabel() const { return m_picture; }

private:
    ElidedLabel *m_panels[PanelCount] = {};
    QLabel *m_picture = nullptr;
};
