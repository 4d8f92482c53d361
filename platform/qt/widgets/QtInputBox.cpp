#include "platform/qt/widgets/QtInputBox.h"

#include "platform/qt/widgets/QtMessageBox.h"

#include <QInputDialog>
#include <QLineEdit>

QtInputBox::QtInputBox(QWidget *parent) : m_parent(parent)
{
}

QString QtInputBox::ask(const QString &prompt, const QString &title)
{
    QInputDialog dialog(m_parent);
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setWindowTitle(title);
    dialog.setLabelText(prompt);
    dialog.setTextValue(QString());
    // Wide enough for the frame to show the title whole.
    if (auto *entry = dialog.findChild<QLineEdit *>())
        entry->setMinimumWidth(QtMessageBox::titleWidth(title));
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog.textValue();
}
