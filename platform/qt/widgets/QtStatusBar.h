#pragma once

#include "platform/StatusBar.h"

class PanelStatusBar;

// Panels outside 1..4 are ignored and read as empty.
class QtStatusBar : public StatusBar
{
public:
    explicit QtStatusBar(PanelStatusBar *bar);
    void setPanelText(int panel, const QString &text) override;
    QString panelText(int panel) const override;
    // Only the last panel shows a picture; the error names the file and the
    // image reader's reason.
    bool setPanelPicture(int panel, const QString &imagePath, QString *error) override;

private:
    PanelStatusBar *m_bar;
};
