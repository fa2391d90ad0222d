// Generated radial-velocity series of known orbits.
#pragma once

#include "core/MeasuredDataArrayClass.h"
#include "orbit/OrbitalElementsClass.h"

#include <random>
#include <vector>

// n velocities of the orbit at times spread (unevenly) over fSpan days from fStart, with Gaussian noise.
inline CMeasuredDataArray MakeSeries(const SOrbitalElements& oTruth, int n, double fStart, double fSpan,
                                     double fNoise = 0.0, unsigned lSeed = 1)
{
    std::mt19937 oRandom(lSeed);
    std::uniform_real_distribution<double> oJitter(-0.3, 0.3);
    std::normal_distribution<double> oNoise(0.0, 1.0);
    std::vector<double> vT(static_cast<std::size_t>(n));
    std::vector<double> vV(static_cast<std::size_t>(n));
    for (int k = 0; k < n; ++k) {
        const double t = fStart + fSpan * (k + 0.5 + oJitter(oRandom)) / n;
        vT[static_cast<std::size_t>(k)] = t;
        vV[static_cast<std::size_t>(k)] = COrbitalElements::ModelVelocity(t, oTruth) + fNoise * oNoise(oRandom);
    }
    CMeasuredDataArray oSeries;
    oSeries.SetValues(vT.data(), vV.data(), n);
    return oSeries;
}

// Elements with a1 sin i from K1: a1 sin i = K1 P 86400 sqrt(1 - e^2) / (2 pi).
inline SOrbitalElements Orbit(double P, double T0, double e, double fOmega, double K1, double fGamma)
{
    SOrbitalElements o;
    o.fPeriod = P;
    o.fT0 = T0;
    o.fEccentricity = e;
    o.fOmega = fOmega;
    o.fA1SinI = K1 * P * 86400.0 * std::sqrt(1 - e * e) / (2 * 3.141592653589793);
    o.fGamma = fGamma;
    COrbitalElements::CalculateAmplitudes(o);
    return o;
}

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
