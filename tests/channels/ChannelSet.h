#pragma once

#include "channels/ChannelAcquisition.h"
#include "channels/FlowChannel.h"
#include "channels/PhChannel.h"
#include "channels/ThermistorChannel.h"

// The three readers over their panels and the read cycle over them, put
// together as the station puts them.
struct ChannelSet
{
    ChannelSet(StationState &state, ModuleLink &link, MessageBox &messages,
               const FlowPanel &flowPanel, const PhPanel &phPanel,
               const ThermistorPanel &thermistorPanel)
        : flow(state, link, messages, flowPanel)
        , ph(state, link, messages, phPanel)
        , thermistors(state, link, messages, thermistorPanel)
        , acquisition(state, flow, ph, thermistors)
    {
    }

    FlowChannel flow;
    PhChannel ph;
    ThermistorChannel thermistors;
    ChannelAcquisition acquisition;
};
