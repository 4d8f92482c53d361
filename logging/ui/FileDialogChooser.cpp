#include "logging/ui/FileDialogChooser.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QRegularExpression>

namespace LogUi {

FileDialogChooser::FileDialogChooser(QWidget *parent)
    : m_parent(parent)
{
}

QStringList FileDialogChooser::nameFilters(const QString &filter)
{
    static const QRegularExpression trailingPatterns(QStringLiteral("\\s*\\([^()]*\\)\\s*$"));
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts.at(i).trimmed();
        description.remove(trailingPatterns);
        QStringList patterns = parts.at(i + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString &pattern : patterns) {
            pattern = pattern.trimmed();
            if (pattern == QLatin1String("*.*"))
                pattern = QStringLiteral("*");
        }
        filters << description + QStringLiteral(" (") + patterns.join(QLatin1Char(' '))
                + QLatin1Char(')');
    }
    return filters;
}

QString FileDialogChooser::choose(const QString &filter, const QString &presetName, int flags)
{
    QString preset = presetName;
    for (;;) {
        QFileDialog dialog(m_parent, QStringLiteral("Select File"));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setNameFilters(nameFilters(filter));
        if (!preset.isEmpty())
            dialog.selectFile(preset);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return presetName;
        const QString chosen = dialog.selectedFiles().constFirst();
        if (!(flags & PromptToCreate) || QFileInfo::exists(chosen))
            return chosen;
        const auto answer = QMessageBox::question(
            m_parent, QStringLiteral("Select File"),
            QStringLiteral("%1\nThis file does not exist.\nCreate the file?").arg(chosen));
        if (answer == QMessageBox::Yes)
            return chosen;
        preset = chosen;
    }
}

} // namespace LogUi
