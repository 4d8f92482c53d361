#include "channels/CycleReads.h"

#include "station/StationState.h"

ReadCounts ReadCounts::of(const StationState &state)
{
    ReadCounts counts;
    counts.therm[0] = state.therm1Reads;
    counts.therm[1] = state.therm2Reads;
    counts.therm[2] = state.therm3Reads;
    counts.flow = state.flowReads;
    counts.probe[0] = state.probe1Reads;
    counts.probe[1] = state.probe2Reads;
    counts.pH[0] = state.probe1pHReads;
    counts.pH[1] = state.probe2pHReads;
    return counts;
}

bool CycleReads::any() const
{
    return therm(0) || therm(1) || therm(2) || flow() || probe(0) || probe(1) || pH(0) || pH(1);
}
