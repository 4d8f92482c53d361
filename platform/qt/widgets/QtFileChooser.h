#pragma once

#include "platform/FileChooser.h"

class QWidget;

// A modal file dialog, titled "Select File", that accepts names of files yet
// to be written. An existing file is taken without asking (the caller appends
// to or overwrites it by its own choice); with PromptToCreate a name without a
// file is confirmed first, and "No" goes back to the dialog with that name.
class QtFileChooser : public FileChooser
{
public:
    explicit QtFileChooser(QWidget *parent);
    QString choose(const QString &filter, const QString &presetName, int flags) override;

    // "Description|pattern;pattern|..." as Qt's "Description (pattern pattern);;...".
    // "*.*" means every file, so it becomes "*": names without a dot are files too.
    static QString toQtFilter(const QString &filter);

private:
    QWidget *m_parent;
};
