#pragma once

// The alarms over a shared record the test fills, a fake clock and port:
// a cycle is the values it names read, then a second on the clock.

#include "alarms/AlarmSettings.h"
#include "alarms/Alarms.h"
#include "channels/CycleReads.h"
#include "channels/ReadingAge.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeSerialPort.h"
#include "station/StationState.h"

#include <QStringList>

struct AlarmRig
{
    AlarmRig()
    {
        state.flowEnabled = state.phEnabled = state.thermEnabled = FlagOn;
        alarms.transitioned.listen([this](const AlarmTransition &t) {
            const auto seconds =
                std::chrono::duration_cast<std::chrono::seconds>(clock.now - start);
            told << QStringLiteral("%1 %2 @%3").arg(t.name, t.kind).arg(seconds.count());
        });
    }

    // The [alarms] lines, each "key = value"; the problems they gave.
    QStringList arm(const QStringList &lines)
    {
        QVector<IniFile::Entry> entries;
        for (const QString &line : lines) {
            const int equals = line.indexOf(QLatin1Char('='));
            entries.append({AlarmSettings::SECTION, line.left(equals).trimmed(),
                            line.mid(equals + 1).trimmed(), entries.size() + 1});
        }
        const AlarmSettings settings = AlarmSettings::read(
            entries, [](const IniFile::Entry &e) { return QStringLiteral("line %1").arg(e.line); });
        alarms.arm(settings.alarms);
        return settings.problems;
    }

    // One read cycle: "ph1=8.51,ph2=8" reads those values; "-" reads nothing.
    void cycle(const QString &reads)
    {
        clock.now += std::chrono::seconds(1);
        const ReadCounts before = ReadCounts::of(state);
        for (const QString &read : reads.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            if (read == QLatin1String("-"))
                continue;
            const QString source = read.section(QLatin1Char('='), 0, 0);
            const double value = read.section(QLatin1Char('='), 1).toDouble();
            if (source == QLatin1String("ph1"))
                state.probe1pH = value, ++state.probe1Reads, ++state.probe1pHReads;
            else if (source == QLatin1String("ph2"))
                state.probe2pH = value, ++state.probe2Reads, ++state.probe2pHReads;
            else if (source == QLatin1String("therm1"))
                state.therm1Temp = value, ++state.therm1Reads;
            else if (source == QLatin1String("therm2"))
                state.therm2Temp = value, ++state.therm2Reads;
            else if (source == QLatin1String("therm3"))
                state.therm3Temp = value, ++state.therm3Reads;
            else if (source == QLatin1String("flow"))
                state.flowLpm = value, ++state.flowReads;
            else if (source == QLatin1String("liters"))
                state.totalLiters = value, ++state.flowReads;
        }
        const CycleReads cycleReads{before, ReadCounts::of(state)};
        ages.cycleRead(cycleReads);
        alarms.cycleRead(cycleReads);
    }

    // A second with no read cycle at all (the port closed, say).
    void idle()
    {
        clock.now += std::chrono::seconds(1);
        alarms.tick();
    }

    StationState state;
    FakeClock clock;
    FakeSerialPort port;
    ReadingAge ages{state, clock};
    Alarms alarms{state, ages, port, clock};
    const std::chrono::nanoseconds start = clock.now;
    QStringList told;
};
