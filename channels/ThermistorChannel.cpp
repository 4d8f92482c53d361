#include "channels/ThermistorChannel.h"

#include "channels/ModuleReading.h"
#include "platform/Knob.h"
#include "platform/Label.h"
#include "platform/Slide.h"
#include "platform/Switch.h"
#include "station/Faults.h"
#include "station/ModuleLink.h"
#include "station/NumberText.h"
#include "station/StationState.h"

ThermistorChannel::ThermistorChannel(StationState &state, ModuleLink &link, Faults &faults,
                                     const ThermistorPanel &panel)
    : m_state(state)
    , m_link(link)
    , m_faults(faults)
    , m_panel(panel)
{
    m_handlers.install(m_panel.cwbTherm.changed, [this] { switchChanged(); });
    m_handlers.install(m_panel.cwbReset.changed, [this] { resetMarkers(); });
    m_handlers.install(m_panel.CWtherMin.changed, [this] { scaleMinimumChanged(); });
    m_handlers.install(m_panel.CWtherMax.changed, [this] { scaleMaximumChanged(); });
}

void ThermistorChannel::ReadThermistors()
{
    struct Module
    {
        const char *address;
        double &temp;
        quint32 &reads;
        Label &label;
        Slide &slide;
        bool failureStopsGroup;
    };
    const Module modules[] = {
        {"1", m_state.therm1Temp, m_state.therm1Reads, m_panel.lblTherm1, m_panel.CWSlideTherm1,
         false},
        {"2", m_state.therm2Temp, m_state.therm2Reads, m_panel.lblTherm2, m_panel.CWSlideTherm2,
         false},
        {"3", m_state.therm3Temp, m_state.therm3Reads, m_panel.lblTherm3, m_panel.CWSlideTherm3,
         true},
    };
    for (const Module &module : modules) {
        const QString address = QLatin1String(module.address);
        const ModuleReading reading = ModuleReading::take(m_link, address);
        if (reading.outcome == ModuleReading::Outcome::Invalid) {
            const bool told = m_faults.failed(
                address, QStringLiteral("No valid return from thermistor ") + address);
            if (told && module.failureStopsGroup)
                m_panel.cwbTherm.setValue(false);
            continue;
        }
        m_faults.recovered(address);
        if (reading.outcome == ModuleReading::Outcome::Empty)
            return; // the modules after this one wait for the next cycle
        module.temp = reading.value;
        ++module.reads;
        module.label.setText(NumberText::display(module.temp));
        module.slide.setValue(module.temp);
    }
}

void ThermistorChannel::switchChanged()
{
    if (m_panel.cwbTherm.value()) {
        m_state.thermEnabled = FlagOn;
        return;
    }
    m_state.thermEnabled = FlagOff;
    m_panel.lblTherm1.setText(QString());
    m_panel.lblTherm2.setText(QString());
    m_panel.lblTherm3.setText(QString());
    m_panel.CWSlideTherm1.setValue(0);
    m_panel.CWSlideTherm2.setValue(0);
    m_panel.CWSlideTherm3.setValue(0);
}

void ThermistorChannel::resetMarkers()
{
    m_panel.CWSlideTherm1.resetMarkers();
    m_panel.CWSlideTherm2.resetMarkers();
    m_panel.CWSlideTherm3.resetMarkers();
}

// The knobs are read afresh for every slide and applied without comparing
// minimum and maximum: a crossed scale is the slide's own business.
void ThermistorChannel::scaleMinimumChanged()
{
    m_panel.CWSlideTherm1.setScaleMinimum(m_panel.CWtherMin.value());
    m_panel.CWSlideTherm2.setScaleMinimum(m_panel.CWtherMin.value());
    m_panel.CWSlideTherm3.setScaleMinimum(m_panel.CWtherMin.value());
}

void ThermistorChannel::scaleMaximumChanged()
{
    m_panel.CWSlideTherm1.setScaleMaximum(m_panel.CWtherMax.value());
    m_panel.CWSlideTherm2.setScaleMaximum(m_panel.CWtherMax.value());
    m_panel.CWSlideTherm3.setScaleMaximum(m_panel.CWtherMax.value());
}
