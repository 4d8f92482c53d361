#pragma once

#include "channels/ChannelAcquisition.h"
#include "channels/FlowChannel.h"
#include "channels/PhChannel.h"
#include "channels/ThermistorChannel.h"

// The three readers over their panels and the read cycle over them, put
// together as the station puts them.
struct ChannelSet
{
    ChannelSet(StationState &state, ModuleLink &link, Faults &faults, const FlowPanel &flowPanel,
               const PhPanel &phPanel, const ThermistorPanel &thermistorPanel)
        : flow(state, link, faults, flowPanel)
        , ph(state, link, faults, phPanel)
        , thermistors(state, link, faults, thermistorPanel)
        , acquisition(state, flow, ph, thermistors)
    {
    }

    FlowChannel flow;
    PhChannel ph;
    ThermistorChannel thermistors;
    ChannelAcquisition acquisition;
};
