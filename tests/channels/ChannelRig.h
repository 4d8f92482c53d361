#pragma once

#include "channels/ChannelControls.h"
#include "channels/ChannelSet.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeMessageBox.h"
#include "fakes/FakeSerialPort.h"
#include "fakes/FaultsOver.h"
#include "fakes/Reference.h"
#include "station/ModuleLink.h"
#include "station/StationState.h"

#include <cmath>

// The whole acquisition side on fakes: a scripted line, a message box that
// answers at once, and the controls of ChannelControls.
struct ChannelRig : ChannelControls
{
    StationState state;
    FakeSerialPort port;
    FakeMessageBox messages;
    FakeClock clock;
    FaultsOver faults{messages, clock};
    ModuleLink link{port, faults.reporter, clock};
    ChannelSet channels{state, link, faults.reporter, flowPanel(), phPanel(), thermistorPanel()};
    FlowChannel &flow = channels.flow;
    PhChannel &ph = channels.ph;
    ThermistorChannel &thermistors = channels.thermistors;
    ChannelAcquisition &acquisition = channels.acquisition;

    // The calibration a fresh settings store gives both probes.
    void defaultCalibration()
    {
        state.probe1Offset = state.probe2Offset = 2.5777;
        state.probe1Slope = state.probe2Slope = 4.5427;
    }

    // Readings left by earlier good reads, probe 1's and probe 2's labels
    // showing them, so a test can see which of them a step keeps.
    void presetReadings()
    {
        state.flowHz = 115;
        state.flowLpm = 1;
        state.pulseTotal = 6900;
        state.totalLiters = 1;
        state.probe1mV = 2500;
        state.probe1Volts = 2.5;
        state.probe1pH = 7.5;
        state.probe2mV = 2600;
        state.probe2Volts = 2.6;
        state.probe2pH = 6.5;
        state.compTemp = 21;
        state.therm1Temp = 21.5;
        state.therm2Temp = 22.5;
        state.therm3Temp = 23.5;
        lblmV.m_text = "2500";
        lblpH.m_text = "7.5";
        lblmV1.m_text = "2600";
        lblpH1.m_text = "6.5";
    }

    // The readings that no longer hold what presetReadings() left.
    QStringList changedReadings() const
    {
        const QList<QPair<const char *, double>> kept{
            {"flowHz", state.flowHz - 115},           {"flowLpm", state.flowLpm - 1},
            {"pulseTotal", state.pulseTotal - 6900},  {"totalLiters", state.totalLiters - 1},
            {"probe1mV", state.probe1mV - 2500},      {"probe1Volts", state.probe1Volts - 2.5},
            {"probe1pH", state.probe1pH - 7.5},       {"probe2mV", state.probe2mV - 2600},
            {"probe2Volts", state.probe2Volts - 2.6}, {"probe2pH", state.probe2pH - 6.5},
            {"compTemp", state.compTemp - 21},        {"therm1Temp", state.therm1Temp - 21.5},
            {"therm2Temp", state.therm2Temp - 22.5},  {"therm3Temp", state.therm3Temp - 23.5}};
        QStringList changed;
        for (const auto &[name, difference] : kept)
            if (difference != 0)
                changed << QString::fromLatin1(name);
        return changed;
    }

    // A complete module answer: the given text and a carriage return.
    void answer(const QString &address, const QByteArray &body)
    {
        port.scriptAddress(address, body.isEmpty() ? QByteArray() : body + '\r');
    }
};
