#include "logging/LoggingPanel.h"

#include <QDir>

namespace LoggingPanel {

QString lampPath(const QString &programFolder, const QString &lamp)
{
    return QDir(programFolder).filePath(QStringLiteral("icons/%1.bmp").arg(lamp));
}

} // namespace LoggingPanel
