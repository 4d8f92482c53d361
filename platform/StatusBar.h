#pragma once

#include <QString>

// Status bar panels numbered from 1.
class StatusBar
{
public:
    virtual ~StatusBar() = default;
    virtual void setPanelText(int panel, const QString &text) = 0;
    virtual QString panelText(int panel) const = 0;
    // Loads the image file for the panel; false with a reason when it cannot.
    virtual bool setPanelPicture(int panel, const QString &imagePath, QString *error) = 0;
};
