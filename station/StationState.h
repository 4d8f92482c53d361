#pragma once

#include "station/OleDate.h"

#include <QString>
#include <QtGlobal>

// Flags hold -1 for on and 0 for off; readers test for exactly -1.
using Flag = qint16;
using Selector = qint16;
constexpr Flag FlagOn = -1;
constexpr Flag FlagOff = 0;

// The record every part of the station reads and writes directly: polling
// switches, latest readings, derived values, compensation choices and the
// calibration of both pH probes. One instance lives from start to exit; it
// starts zeroed and nothing in it is persisted by itself.
struct StationState
{
    // Polling switches
    Flag phEnabled = FlagOff;
    Flag flowEnabled = FlagOff;
    Flag thermEnabled = FlagOff;

    // Thermistors (degC) and pH compensation
    double therm1Temp = 0;
    double therm2Temp = 0;
    double therm3Temp = 0;
    Selector probe1TempSource = 0;
    Selector probe2TempSource = 0;
    double compTemp = 0;

    // Flow
    double flowHz = 0;
    double flowLpm = 0;
    double pulseTotal = 0;
    double totalLiters = 0;

    // pH probes
    double probe1mV = 0;
    double probe2mV = 0;
    double probe1Volts = 0;
    double probe2Volts = 0;
    double probe1pH = 0;
    double probe2pH = 0;
    // Readings taken of each module since start: what tells a watcher a
    // fresh reading from the last one again.
    quint32 therm1Reads = 0;
    quint32 therm2Reads = 0;
    quint32 therm3Reads = 0;
    quint32 flowReads = 0;
    quint32 probe1Reads = 0;
    quint32 probe2Reads = 0;
    // pH values worked out: a reading that gives no pH (a zero slope) keeps
    // the last one, which is then not fresh.
    quint32 probe1pHReads = 0;
    quint32 probe2pHReads = 0;

    // Calibration
    double probe1Offset = 0;
    double probe2Offset = 0;
    double probe1Slope = 0;
    double probe2Slope = 0;
    QString probe1Serial;
    QString probe2Serial;
    OleDate probe1CalDate = 0;
    OleDate probe2CalDate = 0;
};
