#pragma once

#include "channels/ReadingAge.h"
#include "platform/qt/IniFile.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <chrono>
#include <functional>

class StationConfig;

// What an alarm watches. The limits of a source: its value beyond them.
// Deviation: the two pH probes further apart than the limit. Stale: a
// module whose group is on has given no valid reading for the limit's
// seconds. PortDown: the same of the whole line, while the port is closed.
enum class AlarmCheck { HighHigh, High, Low, LowLow, Deviation, Stale, PortDown };

// One alarm as the settings file arms it.
struct AlarmDefinition
{
    QString name;   // "ph1.high", "deviation.ph", "therm2.stale", "port"
    QString source; // "ph1", "ph2", "therm1".."therm3", "flow", "liters", "deviation", "port"
    AlarmCheck check = AlarmCheck::High;
    double limit = 0;
    // How far the value must come back past the limit before the
    // condition clears.
    double deadband = 0;
    // How long the condition must hold before the alarm becomes active.
    std::chrono::milliseconds delay{0};
    // The module a Stale alarm watches.
    ReadingAge::Module module = ReadingAge::Module::Flow;

    // The outer limits, and the port, rank above the inner ones.
    int rank() const;
    // For the operator: "pH 1 high", "Thermistor 2 stale", "pH 1 and pH 2 apart".
    QString description() const;
    // "pH", "°C", "L/min", "L" or "s".
    QString unit() const;
};

// The [alarms] section of station.conf, read into alarms to arm:
//
//   [alarms]
//   ph1.low = 6.5          ; limits per source: low_low, low, high, high_high
//   ph1.deadband = 0.05    ; back past the limit by this much to clear
//   ph1.delay = 10         ; seconds the condition must hold first
//   deviation.ph = 0.3     ; the probes further apart than this
//   stale.seconds = 10     ; no valid reading for this long
//   command = /usr/local/bin/page-operator
//
// Sources: ph1, ph2, therm1, therm2, therm3, flow, liters. A value left
// empty is not set. Each value that does not do gives one problem naming
// its line, and the alarms it concerns are not armed; the rest are.
struct AlarmSettings
{
    static inline const QString SECTION = QStringLiteral("alarms");
    static inline const QString COMMAND = QStringLiteral("command");
    // The longest delay and the longest stale time: a day.
    static constexpr double MAX_SECONDS = 24 * 60 * 60;

    QVector<AlarmDefinition> alarms;
    QString command;
    QStringList problems;

    // The section as the file holds it.
    static AlarmSettings read(const StationConfig &config);
    // The same of any key lines, each named for a message by `where`.
    static AlarmSettings read(const QVector<IniFile::Entry> &entries,
                              const std::function<QString(const IniFile::Entry &)> &where);

    // The sources with limits, in the order they are listed.
    static const QStringList &limitSources();
    // "low_low", "low", "high", "high_high", in the order of their values.
    static const QStringList &limitKeys();
    // The source's name for the operator: "pH 1", "Thermistor 1", "Flow", "Total litres".
    static QString sourceName(const QString &source);
};
