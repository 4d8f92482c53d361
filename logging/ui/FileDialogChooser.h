#pragma once

#include "platform/FileChooser.h"

#include <QStringList>

class QWidget;

namespace LogUi {

// QFileDialog as the file chooser: any name may be typed, an existing file
// is taken without asking (it is appended to or overwritten by choice),
// and with PromptToCreate a name without a file is confirmed first.
class FileDialogChooser : public FileChooser
{
public:
    explicit FileDialogChooser(QWidget *parent);

    QString choose(const QString &filter, const QString &presetName, int flags) override;

    // "Description|pattern|..." pairs as Qt name filters; "*.*" means
    // every file, also those without a dot.
    static QStringList nameFilters(const QString &filter);

private:
    QWidget *m_parent;
};

} // namespace LogUi
