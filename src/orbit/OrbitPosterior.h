// The posterior of a single-lined orbit by the affine-invariant ensemble sampler of Goodman & Weare
// (2010, the "stretch move"), for orbits whose errors are not Gaussian (few epochs, aliases, e near 0).
//
// The walkers move in P, the mean longitude at the series' middle time (lambda = M + omega),
// sqrt(e) cos omega, sqrt(e) sin omega, K1 and gamma, then an offset of gamma per data set after the
// first and the logarithm of each data set's jitter (km/s) when jitters are asked for. The priors are
// uniform in these (P > 0, e < 0.99, K1 > 0, ln jitter within -12 .. 6); the likelihood is Gaussian
// with each point's variance sigma^2 + jitter^2 (sigma 1 km/s for velocities without uncertainties
// when no jitter is fitted: then the widths come from the scatter only through the jitter).
// Several ensembles run side by side, one per core, each from the same start ball with its own random
// numbers; each stops after lSteps steps or once it is longer than 50 autocorrelation times (checked
// every 500 steps). The first half of every chain is discarded as burn-in.
#pragma once

#include "OrbitLeastSquares.h"
#include "core/Progress.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct PosteriorOptions {
    int32_t lWalkers = 0;     // per ensemble; 0: 2 per parameter plus 2, at least 24 (rounded up to even)
    int32_t lSteps = 5000;    // the most steps of each ensemble
    uint64_t lSeed = 1;
    unsigned lThreads = 0;    // ensembles side by side (0: one per core)
    bool bKeepChain = false;  // keep every kept sample for a chain file
    bool bStopWhenLongEnough = true; // stop at 50 autocorrelation times (else always lSteps steps)
};

// One quantity of the posterior: its median and the 16th and 84th percentiles.
struct PosteriorSummary {
    std::string sName;
    double fMedian = 0.0;
    double fLow = 0.0;
    double fHigh = 0.0;
};

struct OrbitPosterior {
    // P, T0 (the periastron passage nearest the series' middle), e, omega, K1, gamma, the offsets and
    // jitters (by data set name), a1sini (km), f_M (solar masses).
    std::vector<PosteriorSummary> vSummaries;
    double fAcceptance = 0.0;  // the share of proposals taken
    double fTau = 0.0;         // the largest integrated autocorrelation time of the walked parameters, steps
    double fEffective = 0.0;   // kept samples over tau
    int64_t lLikelihoodCalls = 0;
    int32_t lSteps = 0;        // steps each ensemble took
    bool bConverged = false;   // longer than 50 tau
    std::vector<std::string> vChainNames;       // the columns of the chain
    std::vector<std::vector<double>> vvChain;   // the kept samples (bKeepChain), each in those columns
};

// Samples the posterior around a least-squares solution (its values and errors start the walkers).
// Nothing, with sError saying why, for too few points, a solution that is none, or a cancel.
std::optional<OrbitPosterior> SampleOrbitPosterior(const std::vector<double>& vT, const std::vector<double>& vV,
                                                   const std::vector<double>& vSigma, const OrbitDataSets* pDataSets,
                                                   const LeastSquaresElements& oStart, const PosteriorOptions& oOptions,
                                                   std::string& sError, Progress* pProgress = nullptr);

// Orbits from a few epochs by rejection sampling, as The Joker does (Price-Whelan et al. 2017): prior
// samples of P log-uniform within the range, e from Beta(0.867, 3.03), omega and the mean anomaly at
// the first time uniform; K1 and gamma are linear and marginalised analytically under broad Gaussian
// priors (zero mean, fSpread km/s). A sample is kept with the probability of its marginal likelihood
// over the largest drawn. The velocities need their uncertainties.
struct SparseOptions {
    int64_t lPriorSamples = 1 << 20;
    double fShortest = 0.5;   // days
    double fLongest = 1000.0; // days
    double fSpread = 1000.0;  // km/s, the prior width of K1 and gamma
    uint64_t lSeed = 1;
    unsigned lThreads = 0;
};

// A group of kept periods within 2 % of each other: its median period and its share of the kept.
struct PeriodMode {
    double fPeriod = 0.0;
    double fShare = 0.0;
    int64_t lSamples = 0;
};

struct SparsePosterior {
    int64_t lDrawn = 0;
    int64_t lAccepted = 0;
    std::vector<double> vPeriod;     // the kept periods, ascending
    std::vector<PeriodMode> vModes;  // those holding 1 % or more of the kept, the largest first
};

std::optional<SparsePosterior> SampleSparseOrbits(const std::vector<double>& vT, const std::vector<double>& vV,
                                                  const std::vector<double>& vSigma, const SparseOptions& oOptions,
                                                  std::string& sError, Progress* pProgress = nullptr);
