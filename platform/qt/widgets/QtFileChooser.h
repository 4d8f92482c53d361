#pragma once

#include "platform/FileChooser.h"

class QWidget;

// A modal file dialog that accepts names of files yet to be written.
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
