#include "platform/qt/widgets/QtMessageBox.h"

#include <QMessageBox>

QtMessageBox::QtMessageBox(QWidget *parent) : m_parent(parent)
{
}

void QtMessageBox::show(const QString &text, const QString &title)
{
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, m_parent);
    box.exec();
}
