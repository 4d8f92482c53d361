#pragma once

#include "platform/Handlers.h"

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
    CalibrationEditor(const Controls &controls, CalibrationStore &store, StationState &state,
                      MessageBox &messages);

    // The dialog was created: probe 1's stored values, no probe selected.
    void load();
    // Writes the entries to the selected probe's keys; nothing without a
    // selection. An offset or slope that is not a number stores nothing of
    // the probe, leaves StationState alone and says which entry is wrong.
    void save();

private:
    void showProbe(int member);
    void dateChanged();

    Controls m_controls;
    CalibrationStore &m_store;
    StationState &m_state;
    MessageBox &m_messages;
    Handlers m_handlers;
};
