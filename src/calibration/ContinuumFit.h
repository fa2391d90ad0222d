// The continuum of a spectrum: a polynomial fitted again and again to the samples that are left
// after those lying more than k standard deviations below it (absorption lines) or above it
// (emission lines) are set aside, until the set of samples no longer changes.
#pragma once

#include "core/Result.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct ContinuumOptions {
    int32_t lOrder = 3;         // polynomial order, 0 .. kMaxOrder
    double fSigma = 2.0;        // k: samples further than k sigma on the line side are set aside
    bool bEmission = false;     // lines above the continuum instead of below
    static constexpr int32_t kMaxOrder = 15;
    static constexpr int32_t kMaxIterations = 50;
};

struct ContinuumFit {
    std::vector<double> vContinuum; // at every sample
    int32_t lKept = 0;              // samples of the last fit
    int32_t lIterations = 0;
    double fScatter = 0.0;          // standard deviation of the kept samples about the continuum
};

// The continuum of the samples (wavelengths rising); the reason there is none for options out of
// range, fewer samples than the polynomial needs, or a continuum that reaches 0 or below (the
// spectrum could not be divided by it).
quandrel::Result<ContinuumFit> FitContinuum(const std::vector<double>& vWavelength, const std::vector<double>& vIntensity,
                                             const ContinuumOptions& oOptions);
