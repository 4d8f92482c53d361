#pragma once

#include "channels/ChannelPanels.h"
#include "platform/Handlers.h"

class Faults;
class ModuleLink;
struct StationState;

// The three thermistor modules at addresses "1", "2" and "3": reads their
// temperatures as sent, and handles the group's switch, the marker reset
// and the two knobs that set the slides' scale.
class ThermistorChannel
{
public:
    ThermistorChannel(StationState &state, ModuleLink &link, Faults &faults,
                      const ThermistorPanel &panel);

    void ReadThermistors();

private:
    void switchChanged();
    void resetMarkers();
    void scaleMinimumChanged();
    void scaleMaximumChanged();

    StationState &m_state;
    ModuleLink &m_link;
    Faults &m_faults;
    ThermistorPanel m_panel;
    Handlers m_handlers;
};
