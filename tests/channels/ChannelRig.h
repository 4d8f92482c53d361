#pragma once

#include "channels/ChannelAcquisition.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeMessageBox.h"
#include "fakes/FakeSerialPort.h"
#include "fakes/LoggedDisplays.h"
#include "station/ModuleLink.h"
#include "station/StationState.h"

#include <cmath>

// The whole acquisition side on fakes: a scripted line, a message box that
// answers at once, and every display of the three groups logging into one
// list in the order it was set.
struct ChannelRig
{
    StationState state;
    FakeSerialPort port;
    FakeMessageBox messages;
    FakeClock clock;
    ModuleLink link{port, messages, clock};
    QStringList displayLog;

    FakeSwitch cwbFlow, CWButton3, cwbPh, cwbTherm, cwbReset;
    FakeKnob CWKnobflow, CWtherMin, CWtherMax;
    FakeOptionGroup optTherm, optTherm1;
    LoggedLabel lblHz{"lblHz", displayLog}, lblLitersPerMin{"lblLitersPerMin", displayLog},
        liters{"liters", displayLog};
    LoggedSlide CWSlideFlow{"CWSlideFlow", displayLog}, CWSlideLiters{"CWSlideLiters", displayLog};
    LoggedLabel lblmV{"lblmV", displayLog}, lblpH{"lblpH", displayLog}, lblmV1{"lblmV1", displayLog},
        lblpH1{"lblpH1", displayLog};
    LoggedLabel lblTherm1{"lblTherm1", displayLog}, lblTherm2{"lblTherm2", displayLog},
        lblTherm3{"lblTherm3", displayLog};
    LoggedSlide CWSlideTherm1{"CWSlideTherm1", displayLog}, CWSlideTherm2{"CWSlideTherm2", displayLog},
        CWSlideTherm3{"CWSlideTherm3", displayLog};

    ChannelAcquisition acquisition{
        state, link, messages,
        FlowPanel{cwbFlow, CWButton3, CWKnobflow, lblHz, lblLitersPerMin, liters, CWSlideFlow,
                  CWSlideLiters},
        PhPanel{cwbPh, optTherm, optTherm1, lblmV, lblpH, lblmV1, lblpH1},
        ThermistorPanel{cwbTherm, cwbReset, CWtherMin, CWtherMax, lblTherm1, lblTherm2, lblTherm3,
                        CWSlideTherm1, CWSlideTherm2, CWSlideTherm3}};

    // The calibration a fresh settings store gives both probes.
    void defaultCalibration()
    {
        state.probe1Offset = state.probe2Offset = 2.5777;
        state.probe1Slope = state.probe2Slope = 4.5427;
    }

    // A complete module answer: "*", the given body, carriage return.
    void answer(const QString &address, const QByteArray &body)
    {
        port.scriptAddress(address, body.isEmpty() ? QByteArray() : body + '\r');
    }

    QStringList allLabelTexts() const
    {
        return {lblHz.text(),     lblLitersPerMin.text(), liters.text(),    lblmV.text(),
                lblpH.text(),     lblmV1.text(),          lblpH1.text(),    lblTherm1.text(),
                lblTherm2.text(), lblTherm3.text()};
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
