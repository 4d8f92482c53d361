#include "platform/qt/widgets/QtFileChooser.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QRegularExpression>

QtFileChooser::QtFileChooser(QWidget *parent) : m_parent(parent)
{
}

QString QtFileChooser::toQtFilter(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i].trimmed();
        // A description that lists its patterns itself would show them twice.
        description.remove(QRegularExpression(QStringLiteral("\\s*\\([^()]*\\)$")));
        QStringList patterns;
        for (const QString &pattern : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const QString p = pattern.trimmed();
            if (!p.isEmpty())
                patterns << (p == QLatin1String("*.*") ? QStringLiteral("*") : p);
        }
        if (patterns.isEmpty())
            continue;
        if (description.isEmpty())
            description = patterns.join(QLatin1Char(' '));
        filters << QStringLiteral("%1 (%2)").arg(description, patterns.join(QLatin1Char(' ')));
    }
    return filters.join(QStringLiteral(";;"));
}

QString QtFileChooser::choose(const QString &filter, const QString &presetName, int flags)
{
    const QString title = QStringLiteral("Select File");
    QString shown = presetName;
    for (;;) {
        QFileDialog dialog(m_parent, title);
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        // A name to write to: a new one may be typed, an existing one is no question.
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setNameFilter(toQtFilter(filter));
        if (!shown.isEmpty())
            dialog.selectFile(shown);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return presetName;
        const QString chosen = dialog.selectedFiles().constFirst();
        if (!(flags & PromptToCreate) || QFileInfo::exists(chosen))
            return chosen;
        const auto answer =
            QMessageBox::question(m_parent, title,
                                  QStringLiteral("%1\nThis file does not exist.\nCreate the file?")
                                      .arg(QDir::toNativeSeparators(chosen)));
        if (answer == QMessageBox::Yes)
            return chosen;
        shown = chosen;
    }
}
