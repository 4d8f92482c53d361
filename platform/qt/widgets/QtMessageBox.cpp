#include "platform/qt/widgets/QtMessageBox.h"

#include <QApplication>
#include <QGridLayout>
#include <QMessageBox>

QtMessageBox::QtMessageBox(QWidget *parent) : m_parent(parent)
{
}

void QtMessageBox::show(const QString &text, const QString &title)
{
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, m_parent);
    // A short message would leave the title bar too narrow for its title.
    if (auto *grid = qobject_cast<QGridLayout *>(box.layout()))
        grid->addItem(
            new QSpacerItem(titleWidth(title), 0, QSizePolicy::Minimum, QSizePolicy::Minimum),
            grid->rowCount(), 0, 1, grid->columnCount());
    box.exec();
}

int QtMessageBox::titleWidth(const QString &title)
{
    // The title in the window manager's (usually bold) face, and room for
    // the frame's buttons.
    QFont bold = QApplication::font();
    bold.setBold(true);
    return QFontMetrics(bold).horizontalAdvance(title) + 140;
}
