#include "platform/qt/widgets/QtStatusBar.h"

#include "platform/qt/widgets/PanelStatusBar.h"

#include <QDir>
#include <QImageReader>
#include <QLabel>
#include <QPixmap>

QtStatusBar::QtStatusBar(PanelStatusBar *bar) : m_bar(bar)
{
}

void QtStatusBar::setPanelText(int panel, const QString &text)
{
    if (QLabel *label = m_bar->panel(panel))
        label->setText(text);
}

QString QtStatusBar::panelText(int panel) const
{
    const QLabel *label = m_bar->panel(panel);
    return label ? label->text() : QString();
}

bool QtStatusBar::setPanelPicture(int panel, const QString &imagePath, QString *error)
{
    auto fail = [&](const QString &reason) {
        if (error)
            *error = QStringLiteral("Cannot load the picture %1: %2")
                         .arg(QDir::toNativeSeparators(imagePath), reason);
        return false;
    };
    if (panel != PanelStatusBar::PanelCount)
        return fail(QStringLiteral("panel %1 shows no picture").arg(panel));
    QImageReader reader(imagePath);
    const QImage image = reader.read();
    if (image.isNull())
        return fail(reader.errorString());
    m_bar->pictureLabel()->setPixmap(QPixmap::fromImage(image));
    return true;
}
