#include "calibration/BufferSession.h"

#include "station/StationState.h"

#include <QLocale>
#include <QStringList>

BufferSession::BufferSession(const StationState &state) : m_state(state)
{
    m_lastReads = readsNow();
}

quint32 BufferSession::readsNow() const
{
    return m_probe == 2 ? m_state.probe2Reads : m_state.probe1Reads;
}

void BufferSession::setProbe(int probe)
{
    if (probe != 1 && probe != 2)
        return;
    m_probe = probe;
    m_window.clear();
    m_rows = {};
    m_lastReads = readsNow();
    m_lastFreshMs = -1;
}

int BufferSession::thermistor() const
{
    const Selector source = m_probe == 2 ? m_state.probe2TempSource : m_state.probe1TempSource;
    return source == 2 || source == 3 ? source : 1;
}

double BufferSession::celsiusNow() const
{
    switch (thermistor()) {
    case 2: return m_state.therm2Temp;
    case 3: return m_state.therm3Temp;
    default: return m_state.therm1Temp;
    }
}

double BufferSession::millivoltsNow() const
{
    return m_probe == 2 ? m_state.probe2mV : m_state.probe1mV;
}

void BufferSession::look(qint64 nowMs)
{
    m_nowMs = nowMs;
    if (m_lastFreshMs < 0)
        m_lastFreshMs = nowMs;
    if (m_state.phEnabled != FlagOn) {
        m_window.clear(); // readings from before the switch went off say nothing now
        m_lastReads = readsNow();
        return;
    }
    if (readsNow() == m_lastReads)
        return;
    m_lastReads = readsNow();
    m_lastFreshMs = nowMs;
    m_window.add(millivoltsNow(), celsiusNow());
}

QString BufferSession::blocker() const
{
    if (m_state.phEnabled != FlagOn)
        return QStringLiteral("pH polling is off: switch on the pH group in the main window.");
    const qint64 silent = m_nowMs - m_lastFreshMs;
    if (m_lastFreshMs >= 0 && silent >= SilentMs)
        return QStringLiteral("pH Probe #%1 has given no reading for %2 s: check the probe and "
                              "its module.")
            .arg(m_probe)
            .arg(silent / 1000);
    return {};
}

QString BufferSession::temperatureNote() const
{
    if (m_state.thermEnabled == FlagOn)
        return {};
    return QStringLiteral("Thermistor polling is off: the probe is compensated at %1 °C, the last "
                          "temperature of thermistor %2.")
        .arg(QLocale().toString(celsiusNow(), 'f', 1))
        .arg(thermistor());
}

bool BufferSession::capture(int row, double nominal, QString *why)
{
    return capture(row, nominal, m_window, why);
}

bool BufferSession::capture(int row, double nominal, const StabilityWindow &readings, QString *why)
{
    if (row < 0 || row >= Rows)
        return false;
    if (!blocker().isEmpty()) {
        *why = blocker();
        return false;
    }
    if (readings.size() == 0) {
        *why = QStringLiteral("No reading has come in yet.");
        return false;
    }
    Capture &capture = m_rows[static_cast<size_t>(row)];
    capture.taken = true;
    capture.millivolts = readings.meanMillivolts();
    capture.celsius = readings.meanCelsius();
    capture.buffer = BufferTables::atTemperature(nominal, capture.celsius);
    return true;
}

void BufferSession::clearRow(int row)
{
    if (row >= 0 && row < Rows)
        m_rows[static_cast<size_t>(row)] = {};
}

BufferCalibration::Result BufferSession::result() const
{
    QVector<BufferCalibration::Reading> readings;
    for (const Capture &capture : m_rows)
        if (capture.taken)
            readings.append({capture.buffer.ph, capture.celsius, capture.millivolts});
    return BufferCalibration::fit(readings);
}

QString BufferSession::capturesText() const
{
    const QLocale c = QLocale::c();
    QStringList parts;
    for (const Capture &capture : m_rows)
        if (capture.taken)
            parts << QStringLiteral("pH %1 at %2 degC: %3 mV")
                         .arg(c.toString(capture.buffer.ph, 'f', 3),
                              c.toString(capture.celsius, 'f', 2),
                              c.toString(capture.millivolts, 'f', 2));
    return parts.join(QStringLiteral("; "));
}
