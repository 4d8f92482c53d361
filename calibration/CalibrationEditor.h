#pragma once

#include "platform/Handlers.h"

#include <QDate>
#include <QString>

class CalibrationHistory;
class CalibrationStore;
class DatePicker;
class Label;
class MessageBox;
class OptionGroup;
struct StationState;

// The pH calibration dialog's behaviour: shows one probe's stored
// calibration at a time and saves the entries back, keeping StationState's
// calibration fields in step with what was saved.
class CalibrationEditor
{
public:
    struct Controls
    {
        Label &offset;
        Label &slope;
        Label &serialNumber;
        Label &calTemp;
        OptionGroup &probe; // member 0 is probe 1, member 1 probe 2
        DatePicker &date;
    };

    static constexpr auto CAL_TEMP_TEXT = "14.000";

    // Takes over the probe group's and the date picker's notifications.
    // Each save is added to the history, where there is one.
    CalibrationEditor(const Controls &controls, CalibrationStore &store, StationState &state,
                      MessageBox &messages, const CalibrationHistory *history = nullptr);

    // The dialog was created: probe 1's stored values, no probe selected.
    void load();
    // Writes the entries to the selected probe's keys; nothing without a
    // selection. An offset or slope that is not a number stores nothing of
    // the probe, leaves StationState alone and says which entry is wrong.
    void save();

    // Selects the probe and puts a worked-out offset and slope and the date
    // in the entries, for the operator to look at and save; `buffers` says
    // how they were found, for the history, as long as the operator saves
    // them as they stand.
    void fillIn(int probe, const QString &offset, const QString &slope, const QDate &date,
                const QString &buffers);

private:
    void showProbe(int member);
    void dateChanged();
    void addToHistory(int probe, const QString &offset, const QString &slope,
                      const QString &serialNumber);

    Controls m_controls;
    CalibrationStore &m_store;
    StationState &m_state;
    MessageBox &m_messages;
    const CalibrationHistory *m_history;
    // What fillIn() put in the entries, until another probe is shown.
    struct FilledIn
    {
        int probe = 0;
        QString offset;
        QString slope;
        QString buffers;
    } m_filledIn;
    Handlers m_handlers;
};
