#pragma once

#include "channels/ChannelAcquisition.h"
#include "channels/ChannelControls.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeMessageBox.h"
#include "fakes/FakeSerialPort.h"
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
    ModuleLink link{port, messages, clock};
    ChannelAcquisition acquisition{state, link, messages, flowPanel(), phPanel(), thermistorPanel()};

    // The calibration a fresh settings store gives both probes.
    void defaultCalibration()
    {
        state.probe1Offset = state.probe2Offset = 2.5777;
        state.probe1Slope = state.probe2Slope = 4.5427;
    }

    // A complete module answer: the given text and a carriage return.
    void answer(const QString &address, const QByteArray &body)
    {
        port.scriptAddress(address, body.isEmpty() ? QByteArray() : body + '\r');
    }
};

// Rounding to n decimals with exact halves to even, written apart from the
// station's own helper so the two can disagree.
inline double halfEven(double value, int decimals)
{
    const double scaled = value * std::pow(10.0, decimals);
    double whole = std::floor(scaled);
    const double rest = scaled - whole;
    if (rest > 0.5 || (rest == 0.5 && std::fmod(whole, 2.0) != 0))
        whole += 1;
    return whole / std::pow(10.0, decimals);
}
