#include "platform/qt/widgets/QtMessageBox.h"

#include <QMessageBox>

QtMessageBox::QtMessageBox(QWidget *parent, const QString &defaultTitle)
    : m_parent(parent)
    , m_defaultTitle(defaultTitle)
{
}

void QtMessageBox::show(const QString &text, const QString &title)
{
    QMessageBox box(QMessageBox::NoIcon, title.isEmpty() ? m_defaultTitle : title, text,
                    QMessageBox::Ok, m_parent);
    box.exec();
}
