#pragma once

#include "channels/ChannelPanels.h"
#include "platform/Handlers.h"

class Faults;
class ModuleLink;
struct StationState;

// The flow gauge at address "5": reads the pulse frequency, derives litres
// per minute and the running litre total, and handles the group's switch,
// the total's reset button and the tank-scale knob.
class FlowChannel
{
public:
    static constexpr double PULSES_PER_LITER = 6900;
    static constexpr double SECONDS_PER_MINUTE = 60;
    // A larger reading is taken as 0 Hz.
    static constexpr double MAX_FREQUENCY_HZ = 90000;
    static constexpr int DECIMALS = 2;

    FlowChannel(StationState &state, ModuleLink &link, Faults &faults, const FlowPanel &panel);

    void ReadFlow();

private:
    void switchChanged();
    void resetTotal();
    void tankScaleChanged();

    StationState &m_state;
    ModuleLink &m_link;
    Faults &m_faults;
    FlowPanel m_panel;
    Handlers m_handlers;
};
