#include "channels/ChannelAcquisition.h"

#include "station/StationState.h"

#include <QScopedValueRollback>

ChannelAcquisition::ChannelAcquisition(StationState &state, ModuleLink &link, MessageBox &messages,
                                       const FlowPanel &flow, const PhPanel &ph,
                                       const ThermistorPanel &thermistors)
    : m_state(state)
    , m_flow(state, link, messages, flow)
    , m_ph(state, link, messages, ph)
    , m_thermistors(state, link, messages, thermistors)
{
}

void ChannelAcquisition::ReadCycle()
{
    if (m_cycleRunning) {
        ++m_droppedTicks;
        return;
    }
    const QScopedValueRollback<bool> running(m_cycleRunning, true);

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
}
