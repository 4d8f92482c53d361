#pragma once

#include "channels/ChannelPanels.h"
#include "fakes/LoggedDisplays.h"

// Every control of the three module groups as a fake, the displays logging
// into one list in the order they were set.
struct ChannelControls
{
    QStringList displayLog;

    FakeSwitch cwbFlow, CWButton3, cwbPh, cwbTherm, cwbReset;
    FakeKnob CWKnobflow, CWtherMin, CWtherMax;
    FakeOptionGroup optTherm, optTherm1;
    LoggedLabel lblHz{"lblHz", displayLog}, lblLitersPerMin{"lblLitersPerMin", displayLog},
        liters{"liters", displayLog};
    LoggedSlide CWSlideFlow{"CWSlideFlow", displayLog}, CWSlideLiters{"CWSlideLiters", displayLog};
    LoggedLabel lblmV{"lblmV", displayLog}, lblpH{"lblpH", displayLog},
        lblmV1{"lblmV1", displayLog}, lblpH1{"lblpH1", displayLog};
    LoggedLabel lblTherm1{"lblTherm1", displayLog}, lblTherm2{"lblTherm2", displayLog},
        lblTherm3{"lblTherm3", displayLog};
    LoggedSlide CWSlideTherm1{"CWSlideTherm1", displayLog},
        CWSlideTherm2{"CWSlideTherm2", displayLog}, CWSlideTherm3{"CWSlideTherm3", displayLog};

    FlowPanel flowPanel()
    {
        return {cwbFlow,         CWButton3, CWKnobflow,  lblHz,
                lblLitersPerMin, liters,    CWSlideFlow, CWSlideLiters};
    }
    PhPanel phPanel() { return {cwbPh, optTherm, optTherm1, lblmV, lblpH, lblmV1, lblpH1}; }
    ThermistorPanel thermistorPanel()
    {
        return {cwbTherm,  cwbReset,  CWtherMin,     CWtherMax,     lblTherm1,
                lblTherm2, lblTherm3, CWSlideTherm1, CWSlideTherm2, CWSlideTherm3};
    }

    QStringList allLabelTexts() const
    {
        return {lblHz.text(),     lblLitersPerMin.text(), liters.text(), lblmV.text(),
                lblpH.text(),     lblmV1.text(),          lblpH1.text(), lblTherm1.text(),
                lblTherm2.text(), lblTherm3.text()};
    }
};
