#pragma once

#include "channels/CycleReads.h"
#include "platform/Broadcast.h"

class FlowChannel;
class PhChannel;
class ThermistorChannel;
struct StationState;

// The read cycle: polls the module groups switched on, in the order flow,
// pH "6" and "7", thermistors "1" to "3", once per tick of the read timer.
class ChannelAcquisition
{
public:
    static constexpr int READ_INTERVAL_MS = 1000;

    // The readers must outlive the cycle.
    ChannelAcquisition(const StationState &state, FlowChannel &flow, PhChannel &ph,
                       ThermistorChannel &thermistors);

    // One tick of the read timer. A tick that arrives while a cycle runs (a
    // message box of the cycle may dispatch events) is dropped, so two cycles
    // never interleave their transactions on the line.
    void ReadCycle();

    // Ticks dropped because a cycle was running.
    int droppedTicks() const { return m_droppedTicks; }

    // A cycle has read: told after every cycle that ran, whatever it read,
    // to what follows the readings beyond the window (publishing, alarms,
    // the service's watchdog). The chart and the logger keep their own
    // timers and read the shared record.
    Broadcast<const CycleReads &> cycleRead;

private:
    const StationState &m_state;
    FlowChannel &m_flow;
    PhChannel &m_ph;
    ThermistorChannel &m_thermistors;
    bool m_cycleRunning = false;
    int m_droppedTicks = 0;
};
