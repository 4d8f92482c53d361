#pragma once

#include "calibration/CalibrationEditor.h"
#include "calibration/CalibrationStore.h"
#include "fakes/FakeMessageBox.h"
#include "fakes/FakeSettingsStore.h"
#include "fakes/FakeWidgets.h"
#include "station/StationState.h"

#include <QDate>
#include <QString>

// Where the calibration lives in the settings store.
inline const QString App = QStringLiteral("Kestrom Science DGH Driver");
inline const QString Section = QStringLiteral("Coefficients");

inline QString storePath(const QString &key)
{
    return FakeSettingsStore::path(App, Section, key);
}

// Days since 30 December 1899, counted here independently of OleDates.
inline double oleDays(const QDate &date)
{
    return static_cast<double>(QDate(1899, 12, 30).daysTo(date));
}

// The store over a fake settings file, with the record it loads into.
struct StoreRig
{
    FakeSettingsStore settings;
    StationState state;
    FakeMessageBox messages;
    CalibrationStore store{settings, state, messages};
};

// The calibration window's controls as fakes and the editor over them,
// loaded as on opening.
struct EditorRig
{
    EditorRig(SettingsStore &settings, StationState &state,
              const CalibrationHistory *history = nullptr)
        : store(settings, state, messages)
        , editor({offset, slope, serialNumber, calTemp, probe, date}, store, state, messages,
                 history)
    {
        store.LoadCalibration();
        editor.load();
    }

    FakeMessageBox messages;
    FakeLabel offset;
    FakeLabel slope;
    FakeLabel serialNumber;
    FakeLabel calTemp;
    FakeOptionGroup probe;
    FakeDatePicker date;
    CalibrationStore store;
    CalibrationEditor editor;
};
