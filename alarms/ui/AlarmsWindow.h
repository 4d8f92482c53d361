#pragma once

#include "platform/Handlers.h"

#include <QDialog>

class Alarms;
class QComboBox;
class QLabel;
class QPushButton;
class QTreeWidget;

// The list of armed alarms, "frmAlarms", beside the main window and never
// in its way: each alarm's source and condition, its state, value, limit
// and since when, the ones waiting for the operator first in colour.
// Acknowledge takes the selected ones, Acknowledge All every one, Shelve
// the selected ones for the time chosen (at most eight hours).
class AlarmsWindow : public QDialog
{
public:
    // The alarms must outlive it. `notes`: what the settings file said
    // (lines that armed nothing), shown above the list.
    AlarmsWindow(Alarms &alarms, const QStringList &notes, QWidget *parent = nullptr);

    void refresh();

private:
    QStringList selectedNames() const;

    Alarms &m_alarms;
    QTreeWidget *m_list;
    QLabel *m_notes;
    QPushButton *m_acknowledge;
    QPushButton *m_acknowledgeAll;
    QComboBox *m_shelveFor;
    QPushButton *m_shelve;
    Handlers m_handlers;
};
