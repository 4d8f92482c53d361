#pragma once

#include <QDialog>

#include <memory>

class FileChooser;
class LogSetup;
class QtButton;
class QtDropDownList;
class QtFileChooser;
class QtOptionGroup;

// The "Logger" dialog: chooses No Save or a file, Append or Overwrite and
// the interval, and starts logging on "OK", which hides it. Closed by its
// close box (or Escape) it lets go of LogSetup, which keeps the chosen file
// name; SingleDialog then discards it. LogSetup must outlive the dialog.
class FrmLogKestrom : public QDialog
{
    Q_OBJECT

public:
    // chooser: the file chooser to use; nullptr for the QFileDialog.
    explicit FrmLogKestrom(LogSetup &setup, FileChooser *chooser = nullptr,
                           QWidget *parent = nullptr);
    ~FrmLogKestrom() override;

private:
    LogSetup &m_setup;
    bool m_attached = true;
    std::unique_ptr<QtOptionGroup> m_optDatafile;
    std::unique_ptr<QtOptionGroup> m_optAppend;
    std::unique_ptr<QtDropDownList> m_cmbInterval;
    std::unique_ptr<QtButton> m_cmdSelect;
    std::unique_ptr<QtButton> m_cmdExit;
    std::unique_ptr<QtFileChooser> m_ownChooser;
};
