#include "channels/ChannelAcquisition.h"

#include "channels/FlowChannel.h"
#include "channels/PhChannel.h"
#include "channels/ThermistorChannel.h"
#include "station/StationState.h"

#include <QScopedValueRollback>

ChannelAcquisition::ChannelAcquisition(const StationState &state, FlowChannel &flow, PhChannel &ph,
                                       ThermistorChannel &thermistors)
    : m_state(state)
    , m_flow(flow)
    , m_ph(ph)
    , m_thermistors(thermistors)
{
}

void ChannelAcquisition::ReadCycle()
{
    if (m_cycleRunning) {
        ++m_droppedTicks;
        return;
    }
    const QScopedValueRollback<bool> running(m_cycleRunning, true);
    const ReadCounts before = ReadCounts::of(m_state);

    // Each flag is read just before its group: a reader switching its own
    // group off affects the next cycles, not the rest of this one.
    if (m_state.flowEnabled == FlagOn)
        m_flow.ReadFlow();
    if (m_state.phEnabled == FlagOn) {
        m_ph.ReadPhProbe(QStringLiteral("6"));
        m_ph.ReadPhProbe(QStringLiteral("7"));
    }
    if (m_state.thermEnabled == FlagOn)
        m_thermistors.ReadThermistors();
    cycleRead.notify({before, ReadCounts::of(m_state)});
}
