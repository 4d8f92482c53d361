#pragma once

#include "events/EventJournal.h"
#include "events/FaultReporter.h"

// The station's fault reporting over the given message box and clock:
// attended, as the station starts, unless a test turns it unattended.
struct FaultsOver
{
    FaultsOver(MessageBox &messages, const Clock &clock)
        : journal(clock)
        , reporter(messages, journal, clock)
    {
    }

    EventJournal journal;
    FaultReporter reporter;
};
