#pragma once

#include <QDate>
#include <QString>

class MessageBox;
class SettingsStore;
struct StationState;

// One of the four calibration values of a probe.
enum class CalibrationItem { Offset, Slope, SerialNumber, Date };

// A probe's four stored texts, defaults applied, unconverted.
struct ProbeCalibrationTexts
{
    QString offset;
    QString slope;
    QString serialNumber;
    QString date;
};

// The calibration of both pH probes in the per-user settings store: loaded
// into StationState at start-up, read per probe for the dialog, written value
// by value by the dialog's Save. Probe 2's keys are probe 1's with "2" added.
class CalibrationStore
{
public:
    static inline const QString APPLICATION = QStringLiteral("Kestrom Science DGH Driver");
    static inline const QString SECTION = QStringLiteral("Coefficients");
    static inline const QString DEFAULT_OFFSET = QStringLiteral("2.5777");
    static inline const QString DEFAULT_SLOPE = QStringLiteral("4.5427");
    static inline const QString DEFAULT_SERIAL_NUMBER = QStringLiteral("180312");
    static inline const QString DEFAULT_DATE = QStringLiteral("01/01/01");

    CalibrationStore(SettingsStore &store, StationState &state, MessageBox &messages);

    // Fills the eight calibration fields of StationState. A stored offset,
    // slope or date that cannot be converted gives that key's default, and
    // the operator is told once, with each such key and the text found (and
    // a store that cannot be read at all); the store is left as it is.
    void LoadCalibration();
    // probe is 1 or 2; any other number reads probe 1.
    ProbeCalibrationTexts ReadProbeCalibration(int probe) const;
    // Stores the text as typed; false when the store could not be written,
    // with what and why in *problem.
    bool WriteCalibrationValue(int probe, CalibrationItem item, const QString &text,
                               QString *problem = nullptr);

    // Why the stored calibration cannot all be read, or empty.
    QString storeProblem() const;

    // The settings key of a probe's item ("offset", ..., "serial number2", "date2").
    static QString key(int probe, CalibrationItem item);
    static QString defaultText(CalibrationItem item);
    // A stored date text as a date; the default date when it does not read as one.
    static QDate dateOrDefault(const QString &text);

private:
    QString read(int probe, CalibrationItem item) const;

    SettingsStore &m_store;
    StationState &m_state;
    MessageBox &m_messages;
};
