#include "channels/FlowChannel.h"

#include "channels/ModuleReading.h"
#include "platform/Knob.h"
#include "platform/Label.h"
#include "platform/Slide.h"
#include "platform/Switch.h"
#include "station/Faults.h"
#include "station/ModuleLink.h"
#include "station/NumberText.h"
#include "station/StationState.h"

FlowChannel::FlowChannel(StationState &state, ModuleLink &link, Faults &faults,
                         const FlowPanel &panel)
    : m_state(state)
    , m_link(link)
    , m_faults(faults)
    , m_panel(panel)
{
    m_handlers.install(m_panel.cwbFlow.changed, [this] { switchChanged(); });
    m_handlers.install(m_panel.CWButton3.changed, [this] { resetTotal(); });
    m_handlers.install(m_panel.CWKnobflow.changed, [this] { tankScaleChanged(); });
}

void FlowChannel::ReadFlow()
{
    const QString address = QStringLiteral("5");
    const ModuleReading reading = ModuleReading::take(m_link, address);
    if (reading.outcome == ModuleReading::Outcome::Invalid) {
        if (m_faults.failed(address, QStringLiteral("NO VALID RETURN FROM FLOW MODULE")))
            m_panel.cwbFlow.setValue(false);
        return;
    }
    m_faults.recovered(address);
    if (reading.outcome == ModuleReading::Outcome::Empty)
        return;

    const double hz = reading.value > MAX_FREQUENCY_HZ ? 0.0 : reading.value;
    m_state.flowHz = hz;
    ++m_state.flowReads;
    m_state.flowLpm =
        NumberText::roundHalfEven(hz * SECONDS_PER_MINUTE / PULSES_PER_LITER, DECIMALS);
    // Each read counts as one second of pulses: the read cycle's period.
    m_state.pulseTotal += hz;
    m_state.totalLiters =
        NumberText::roundHalfEven(m_state.pulseTotal / PULSES_PER_LITER, DECIMALS);

    m_panel.lblHz.setText(NumberText::display(m_state.flowHz));
    m_panel.lblLitersPerMin.setText(NumberText::display(m_state.flowLpm));
    m_panel.CWSlideFlow.setValue(m_state.flowLpm);
    m_panel.liters.setText(NumberText::display(m_state.totalLiters));
    m_panel.CWSlideLiters.setValue(m_state.totalLiters);
}

void FlowChannel::switchChanged()
{
    if (m_panel.cwbFlow.value()) {
        m_state.flowEnabled = FlagOn;
        return;
    }
    // Readings stay in the record for the chart and the log; only the
    // displays are blanked so no stale figure stays on screen.
    m_state.flowEnabled = FlagOff;
    m_panel.lblHz.setText(QString());
    m_panel.lblLitersPerMin.setText(QString());
    m_panel.liters.setText(QString());
    m_panel.CWSlideFlow.setValue(0);
    m_panel.CWSlideLiters.setValue(0);
}

void FlowChannel::resetTotal()
{
    // The total and its displays follow at the next flow read.
    m_state.pulseTotal = 0;
}

void FlowChannel::tankScaleChanged()
{
    m_panel.CWSlideLiters.setScaleMaximum(m_panel.CWKnobflow.value());
}
