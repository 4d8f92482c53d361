#pragma once

#include "channels/ChannelPanels.h"
#include "platform/Handlers.h"

#include <QString>

class Faults;
class ModuleLink;
struct StationState;

// The two pH probes at addresses "6" and "7": reads a probe's millivolts,
// converts them to pH with its calibration and the temperature of the
// thermistor chosen for it, and handles the group's switch and the two
// compensation choices.
class PhChannel
{
public:
    static constexpr int DECIMALS = 4;

    PhChannel(StationState &state, ModuleLink &link, Faults &faults, const PhPanel &panel);

    void ReadPhProbe(const QString &address);

private:
    void switchChanged();

    StationState &m_state;
    ModuleLink &m_link;
    Faults &m_faults;
    PhPanel m_panel;
    Handlers m_handlers;
};
