#pragma once

#include <QtGlobal>

struct StationState;

// How many readings of each module the shared record has taken so far: a
// reader counts each valid answer, so a value that only stood still is never
// taken for a fresh one.
struct ReadCounts
{
    quint32 therm[3] = {};
    quint32 flow = 0;
    quint32 probe[2] = {};
    quint32 pH[2] = {};

    static ReadCounts of(const StationState &state);
};

// What one read cycle read: the counts before and after it.
struct CycleReads
{
    ReadCounts before;
    ReadCounts after;

    bool therm(int index) const { return after.therm[index] != before.therm[index]; }
    bool flow() const { return after.flow != before.flow; }
    bool probe(int index) const { return after.probe[index] != before.probe[index]; }
    bool pH(int index) const { return after.pH[index] != before.pH[index]; }
    bool any() const;
};
