// Generated radial-velocity series of known orbits, and the ranges of a search around them.
#pragma once

#include "support/Generators.h"

#include <vector>

using quandrel::testing::MakeSeries;
using quandrel::testing::Orbit;

struct Range {
    double fLower;
    double fUpper;
    int32_t lSteps;
};

// Hands the six ranges to the orbit object (start value = lower limit), as the ranges dialog does.
inline void SetRanges(OrbitGridSearch& oOrbit, const std::vector<Range>& vRanges)
{
    for (int32_t i = 0; i < 6; ++i) {
        const Range& r = vRanges[static_cast<std::size_t>(i)];
        oOrbit.SetParameter(i, false, r.lSteps, r.fLower, r.fLower, r.fUpper);
    }
    oOrbit.SetNumberParameters(6);
}
