#include "platform/qt/widgets/QtInputBox.h"

#include <QInputDialog>

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
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog.textValue();
}
