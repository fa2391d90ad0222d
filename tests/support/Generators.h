// Generated data with a known truth, shared by the tests, the benchmarks and the sample-run tool:
// orbits, their velocity series and a spectrum of many absorption lines for the correlation; and the
// reading of the project's real "JD;velocity" files.
#pragma once

#include "core/Constants.h"
#include "core/DataSeries.h"
#include "orbit/OrbitGridSearch.h"

#include <cmath>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace quandrel::testing {

// Elements of a single-lined orbit given by K1 (km/s); a1 sin i and K1 follow from it.
inline OrbitElements Orbit(double P, double T0, double e, double fOmega, double K1, double fGamma)
{
    OrbitElements o;
    o.fPeriod = P;
    o.fT0 = T0;
    o.fEccentricity = e;
    o.fOmega = fOmega;
    o.fA1SinI = OrbitGridSearch::A1SinIFromK1(K1, P, e);
    o.fGamma = fGamma;
    OrbitGridSearch::CalculateAmplitudes(o);
    return o;
}

// n velocities of the orbit at times spread (unevenly) over fSpan days from fStart, with Gaussian noise.
inline DataSeries MakeSeries(const OrbitElements& oTruth, int n, double fStart, double fSpan,
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
        vV[static_cast<std::size_t>(k)] = OrbitGridSearch::ModelVelocity(t, oTruth) + fNoise * oNoise(oRandom);
    }
    DataSeries oSeries;
    oSeries.SetValues(vT.data(), vV.data(), n);
    return oSeries;
}

// The binary of the orbit benchmark and the command-line test: P 12.5 d, e 0.3, omega 60, K1 35 km/s,
// gamma -12 km/s, observed every three nights (with a little irregularity) from JD 2455000.
inline OrbitElements CadenceOrbit()
{
    return Orbit(12.5, 2455003.1, 0.3, 60.0, 35.0, -12.0);
}

inline DataSeries CadenceSeries(const OrbitElements& oTruth, int n)
{
    std::vector<double> vT;
    std::vector<double> vV;
    for (int k = 0; k < n; ++k) {
        const double t = 2455000.0 + 3.0 * k + 0.37 * std::sin(k);
        vT.push_back(t);
        vV.push_back(OrbitGridSearch::ModelVelocity(t, oTruth));
    }
    DataSeries oSeries;
    oSeries.SetValues(vT.data(), vV.data(), n);
    return oSeries;
}

// 6000 .. 6700 angstrom at 0.1 angstrom with 40 absorption lines (depth 0.3, sigma 0.4 angstrom) every
// 17 angstrom from 6010, shifted by fVelocity km/s.
inline void ManyLineSpectrum(double fVelocity, std::vector<double>& vWavelength, std::vector<double>& vIntensity)
{
    const double fFactor = 1.0 + fVelocity / kSpeedOfLight;
    vWavelength.assign(7001, 0.0);
    vIntensity.assign(7001, 0.0);
    for (int k = 0; k <= 7000; ++k) {
        const double x = 6000.0 + 0.1 * k;
        double y = 1.0;
        for (int i = 0; i < 40; ++i) {
            const double c = (6010.0 + 17.0 * i) * fFactor;
            y -= 0.3 * std::exp(-(x - c) * (x - c) / 0.32);
        }
        vWavelength[static_cast<std::size_t>(k)] = x;
        vIntensity[static_cast<std::size_t>(k)] = y;
    }
}

// A noisy spectrum of n samples from 6000 A in steps of fStep with one broad absorption line at 6500 A.
inline void NoisyLineSpectrum(int n, double fStep, std::vector<double>& vX, std::vector<double>& vY)
{
    std::mt19937 oRandom(3);
    std::normal_distribution<double> oNoise(0.0, 0.02);
    for (int k = 0; k < n; ++k) {
        vX.push_back(6000.0 + fStep * k);
        vY.push_back(1.0 - 0.6 * std::exp(-std::pow((vX.back() - 6500.0) / 3.0, 2)) + oNoise(oRandom));
    }
}

// The "JD;velocity" lines of a file (the real alpha Dra series of tests/data).
inline void ReadVelocities(const std::string& sPath, std::vector<double>& vT, std::vector<double>& vV)
{
    std::ifstream oFile(sPath);
    for (std::string sLine; std::getline(oFile, sLine);) {
        const std::size_t lSemicolon = sLine.find(';');
        if (!sLine.empty() && sLine[0] != '#' && lSemicolon != std::string::npos) {
            vT.push_back(std::stod(sLine.substr(0, lSemicolon)));
            vV.push_back(std::stod(sLine.substr(lSemicolon + 1)));
        }
    }
}

} // namespace quandrel::testing
