#include "calibration/ui/CalibrationDialogLauncher.h"

#include "calibration/ui/CalibrationDialog.h"

CalibrationDialogLauncher::CalibrationDialogLauncher(CalibrationStore &store, StationState &state,
                                                     MessageBox &messages)
    : m_store(store)
    , m_state(state)
    , m_messages(messages)
{
}

CalibrationDialog *CalibrationDialogLauncher::dialog() const
{
    // A closed window waits for its deferred deletion hidden: it no longer counts.
    return m_dialog && m_dialog->isVisible() ? m_dialog.data() : nullptr;
}

CalibrationDialog *CalibrationDialogLauncher::open(QWidget *parent)
{
    CalibrationDialog *window = dialog();
    if (!window) {
        window = new CalibrationDialog(m_store, m_state, m_messages, parent);
        window->setAttribute(Qt::WA_DeleteOnClose);
        // Escape ends the dialog without a close event: discard it as well.
        QObject::connect(window, &QDialog::finished, window, &QObject::deleteLater);
        m_dialog = window;
    }
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}
