#pragma once

#include "channels/FlowChannel.h"
#include "channels/PhChannel.h"
#include "channels/ThermistorChannel.h"

// The three module groups and the read cycle that polls the ones switched
// on, in the order flow, pH "6" and "7", thermistors "1" to "3".
class ChannelAcquisition
{
public:
    ChannelAcquisition(StationState &state, ModuleLink &link, MessageBox &messages,
                       const FlowPanel &flow, const PhPanel &ph,
                       const ThermistorPanel &thermistors);

    // One tick of the read timer. A tick that arrives while a cycle runs (a
    // message box of the cycle may dispatch events) is dropped, so two cycles
    // never interleave their transactions on the line.
    void ReadCycle();

    void ReadFlow() { m_flow.ReadFlow(); }
    void ReadPhProbe(const QString &address) { m_ph.ReadPhProbe(address); }
    void ReadThermistors() { m_thermistors.ReadThermistors(); }

    // Ticks dropped because a cycle was running.
    int droppedTicks() const { return m_droppedTicks; }

private:
    StationState &m_state;
    FlowChannel m_flow;
    PhChannel m_ph;
    ThermistorChannel m_thermistors;
    bool m_cycleRunning = false;
    int m_droppedTicks = 0;
};
