#include "logging/ui/LogSetupWindow.h"

#include "logging/ui/FrmLogKestrom.h"

LogSetupWindow::LogSetupWindow(LogSetup &setup, QWidget *parent, FileChooser *chooser)
    : m_setup(setup)
    , m_parent(parent)
    , m_chooser(chooser)
{
}

LogSetupWindow::~LogSetupWindow()
{
    delete m_dialog.data();
}

void LogSetupWindow::show()
{
    if (!dialog())
        m_dialog = new FrmLogKestrom(m_setup, m_chooser, m_parent);
    m_dialog->show();
    m_dialog->raise();
    m_dialog->activateWindow();
}

FrmLogKestrom *LogSetupWindow::dialog() const
{
    return m_dialog && !m_dialog->isDiscarded() ? m_dialog.data() : nullptr;
}
