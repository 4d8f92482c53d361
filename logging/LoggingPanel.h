#pragma once

#include <QString>

// Status panel 4, which tells whether a run is logging: a text and a lamp
// picture from the icons folder beside the program.
namespace LoggingPanel {

constexpr int PANEL = 4;
inline const QString LOGGING = QStringLiteral("Logging");
inline const QString NOT_LOGGING = QStringLiteral("Not Logging");
inline const QString GREEN_LAMP = QStringLiteral("greenlight");
inline const QString RED_LAMP = QStringLiteral("redlight");

// <programFolder>/icons/<lamp>.bmp
QString lampPath(const QString &programFolder, const QString &lamp);

} // namespace LoggingPanel
