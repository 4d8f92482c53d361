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
// the interval, and starts logging on "OK", which hides it. Its close box
// (or Escape) discards it; LogSetup keeps the chosen file name. LogSetup
// must outlive the dialog.
class FrmLogKestrom : public QDialog
{
    Q_OBJECT

public:
    // chooser: the file chooser to use; nullptr for the QFileDialog.
    explicit FrmLogKestrom(LogSetup &setup, FileChooser *chooser = nullptr,
                           QWidget *parent = nullptr);
    ~FrmLogKestrom() override;

    // True once the close box has discarded the dialog (deletion follows).
    bool isDiscarded() const { return m_discarded; }

public slots:
    void reject() override;

private:
    LogSetup &m_setup;
    bool m_discarded = false;
    std::unique_ptr<QtOptionGroup> m_optDatafile;
    std::unique_ptr<QtOptionGroup> m_optAppend;
    std::unique_ptr<QtDropDownList> m_cmbInterval;
    std::unique_ptr<QtButton> m_cmdSelect;
    std::unique_ptr<QtButton> m_cmdExit;
    std::unique_ptr<QtFileChooser> m_ownChooser;
};
