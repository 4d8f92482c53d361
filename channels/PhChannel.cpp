#include "channels/PhChannel.h"

#include "channels/ModuleReading.h"
#include "platform/Label.h"
#include "platform/OptionGroup.h"
#include "platform/Switch.h"
#include "station/Faults.h"
#include "station/ModuleLink.h"
#include "station/NumberText.h"
#include "station/PhModel.h"
#include "station/StationState.h"

#include <cmath>

namespace {

// The fields and labels of one probe.
struct Probe
{
    double &mV;
    double &volts;
    double &pH;
    quint32 &reads;
    quint32 &pHReads;
    double offset;
    double slope;
    Selector tempSource;
    Label &mVLabel;
    Label &pHLabel;
};

} // namespace

PhChannel::PhChannel(StationState &state, ModuleLink &link, Faults &faults, const PhPanel &panel)
    : m_state(state)
    , m_link(link)
    , m_faults(faults)
    , m_panel(panel)
{
    m_handlers.install(m_panel.cwbPh.changed, [this] { switchChanged(); });
    m_handlers.install(m_panel.optTherm.clicked, [this](int member) {
        m_state.probe1TempSource = static_cast<Selector>(member + 1);
    });
    m_handlers.install(m_panel.optTherm1.clicked, [this](int member) {
        m_state.probe2TempSource = static_cast<Selector>(member + 1);
    });
}

void PhChannel::ReadPhProbe(const QString &address)
{
    const ModuleReading reading = ModuleReading::take(m_link, address);
    if (reading.outcome == ModuleReading::Outcome::Invalid) {
        if (m_faults.failed(address, QStringLiteral("NO VALID RETURN FROM pH MODULE")))
            m_panel.cwbPh.setValue(false);
        return;
    }
    m_faults.recovered(address);
    if (reading.outcome == ModuleReading::Outcome::Empty)
        return;

    StationState &s = m_state;
    Probe probe1{s.probe1mV,     s.probe1Volts, s.probe1pH,         s.probe1Reads, s.probe1pHReads,
                 s.probe1Offset, s.probe1Slope, s.probe1TempSource, m_panel.lblmV, m_panel.lblpH};
    Probe probe2{s.probe2mV,     s.probe2Volts, s.probe2pH,         s.probe2Reads,  s.probe2pHReads,
                 s.probe2Offset, s.probe2Slope, s.probe2TempSource, m_panel.lblmV1, m_panel.lblpH1};
    Probe *probe = nullptr;
    if (address == QLatin1String("6"))
        probe = &probe1;
    else if (address == QLatin1String("7"))
        probe = &probe2;
    else
        return;

    probe->mV = reading.value;
    ++probe->reads;
    probe->volts = probe->mV / PhModel::MILLIVOLTS_PER_VOLT;
    probe->mVLabel.setText(NumberText::display(probe->mV));

    switch (probe->tempSource) {
    case 2: s.compTemp = s.therm2Temp; break;
    case 3: s.compTemp = s.therm3Temp; break;
    default: s.compTemp = s.therm1Temp; break;
    }
    const double kelvin = s.compTemp + PhModel::KELVIN_AT_ZERO_CELSIUS;
    const double raw =
        ((probe->volts - probe->offset) / PhModel::NERNST_FACTOR / probe->slope / kelvin) +
        PhModel::NEUTRAL_PH;
    const double pH = NumberText::roundHalfEven(raw, DECIMALS);
    // A zero slope or absolute zero gives no pH at all: keep the last one
    // rather than put inf or nan in the record, the chart and the log.
    if (!std::isfinite(pH))
        return;
    probe->pH = pH;
    ++probe->pHReads;
    probe->pHLabel.setText(NumberText::display(probe->pH));
}

void PhChannel::switchChanged()
{
    if (m_panel.cwbPh.value()) {
        m_state.phEnabled = FlagOn;
        return;
    }
    // Only probe 1's labels are blanked; probe 2's keep their last reading.
    m_state.phEnabled = FlagOff;
    m_panel.lblmV.setText(QString());
    m_panel.lblpH.setText(QString());
}
