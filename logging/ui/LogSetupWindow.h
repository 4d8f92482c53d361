#pragma once

#include <QPointer>

class FileChooser;
class FrmLogKestrom;
class LogSetup;
class QWidget;

// Logging > Setup for the main window: shows the one Logger dialog,
// creating it (with its load step) when there is none or it was discarded.
class LogSetupWindow
{
public:
    // chooser: nullptr for the QFileDialog.
    LogSetupWindow(LogSetup &setup, QWidget *parent, FileChooser *chooser = nullptr);
    ~LogSetupWindow();

    void show();
    // The current dialog, or nullptr when there is none.
    FrmLogKestrom *dialog() const;

private:
    LogSetup &m_setup;
    QWidget *m_parent;
    FileChooser *m_chooser;
    QPointer<FrmLogKestrom> m_dialog;
};
