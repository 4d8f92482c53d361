#pragma once

#include <QPointer>

class CalibrationDialog;
class CalibrationStore;
class MessageBox;
class QWidget;
struct StationState;

// Opens the one pH calibration window: creates and loads it when none is
// open, else only brings the open one to the front. Closing the window
// discards it, so the next opening loads afresh.
class CalibrationDialogLauncher
{
public:
    CalibrationDialogLauncher(CalibrationStore &store, StationState &state, MessageBox &messages);

    CalibrationDialog *open(QWidget *parent);
    // The open window, or nullptr.
    CalibrationDialog *dialog() const;

private:
    CalibrationStore &m_store;
    StationState &m_state;
    MessageBox &m_messages;
    QPointer<CalibrationDialog> m_dialog;
};
