#include "platform/qt/widgets/QtInputBox.h"

#include "platform/qt/widgets/QtMessageBox.h"

#include <QBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>

QtInputBox::QtInputBox(QWidget *parent) : m_parent(parent)
{
}

QString QtInputBox::ask(const QString &prompt, const QString &title, const QString &details)
{
    QInputDialog dialog(m_parent);
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setWindowTitle(title);
    dialog.setLabelText(prompt);
    dialog.setTextValue(QString());
    // Below the entry and apart from the prompt, which stays as it is.
    auto *box = qobject_cast<QBoxLayout *>(dialog.layout());
    if (!details.isEmpty() && box) {
        auto *help = new QLabel(details, &dialog);
        help->setObjectName(QStringLiteral("lblInputDetails"));
        help->setTextInteractionFlags(Qt::TextSelectableByMouse);
        box->insertWidget(box->count() - 1, help);
    }
    // Wide enough for the frame to show the title whole.
    if (auto *entry = dialog.findChild<QLineEdit *>())
        entry->setMinimumWidth(QtMessageBox::titleWidth(title));
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog.textValue();
}
