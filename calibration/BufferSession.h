#pragma once

#include "calibration/BufferCalibration.h"
#include "calibration/BufferTables.h"
#include "calibration/StabilityWindow.h"

#include <QString>
#include <QtGlobal>

#include <array>

struct StationState;

// One buffer calibration of one probe, as the assistant goes through it:
// watches the probe's readings and the temperature of the thermistor that
// compensates it, keeps the last ones to judge whether they have settled,
// captures their mean for each buffer, and works out the offset and slope.
// It only reads the station's record: it never switches anything.
class BufferSession
{
public:
    static constexpr int Rows = 3;
    // A probe that gives no fresh reading for this long is not answering.
    static constexpr qint64 SilentMs = 5000;

    struct Capture
    {
        bool taken = false;
        double millivolts = 0;
        double celsius = 0;
        BufferTables::BufferPh buffer;
    };

    explicit BufferSession(const StationState &state);

    // Probe 1 or 2; a change lets go of the readings and the captures.
    void setProbe(int probe);
    int probe() const { return m_probe; }

    // A look at the station at monotonic time nowMs: a fresh reading of the
    // probe is added to the window.
    void look(qint64 nowMs);
    const StabilityWindow &window() const { return m_window; }
    // The thermistor (1 to 3) that compensates the probe.
    int thermistor() const;
    double celsiusNow() const;
    double millivoltsNow() const;

    // What keeps readings from being taken, plainly; empty when nothing does.
    QString blocker() const;
    // A note on the temperature, when the thermistors are not polled.
    QString temperatureNote() const;

    // The means of `readings` (by default the window as it stands) for the
    // buffer named `nominal` in a row; false, with the reason, when there is
    // nothing to take.
    bool capture(int row, double nominal, QString *why);
    bool capture(int row, double nominal, const StabilityWindow &readings, QString *why);
    void clearRow(int row);
    const Capture &row(int index) const { return m_rows[static_cast<size_t>(index)]; }

    BufferCalibration::Result result() const;
    // The captures in a line, for the calibration history.
    QString capturesText() const;

private:
    quint32 readsNow() const;

    const StationState &m_state;
    int m_probe = 1;
    StabilityWindow m_window;
    quint32 m_lastReads = 0;
    qint64 m_lastFreshMs = -1;
    qint64 m_nowMs = 0;
    std::array<Capture, Rows> m_rows;
};
