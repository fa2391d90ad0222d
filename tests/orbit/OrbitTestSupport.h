// Generated radial-velocity series of known orbits, and the ranges of a search around them.
#pragma once

#include "support/Generators.h"

#include <vector>

using quandrel::testing::MakeSeries;
using quandrel::testing::Orbit;

struct SRange {
    double fLower;
    double fUpper;
    int32_t lSteps;
};

// Hands the six ranges to the orbit object (start value = lower limit), as the ranges dialog does.
inline void SetRanges(COrbitalElements& oOrbit, const std::vector<SRange>& vRanges)
{
    for (int32_t i = 0; i < 6; ++i) {
        const SRange& r = vRanges[static_cast<std::size_t>(i)];
        oOrbit.SetParameter(i, false, r.lSteps, r.fLower, r.fLower, r.fUpper);
    }
    oOrbit.SetNumberParameters(6);
}
