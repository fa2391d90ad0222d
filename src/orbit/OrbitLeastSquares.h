// The least-squares orbit: a Levenberg-Marquardt fit of all six elements (P, T0, e, omega, K1,
// gamma) to the velocities from a starting orbit (the grid search's best point), with standard
// errors from the covariance matrix scaled by the reduced chi-square, and the derived projected
// semi-major axis and mass function with propagated errors. Velocities pooled from several data sets
// (observers, instruments) get one offset of gamma per data set after the first and, when asked, one
// jitter per data set added in quadrature to the uncertainties, found by maximum likelihood
// (alternating with the weighted fit); then the covariance is not scaled. The fit moves e cos omega, e sin omega and
// the mean longitude instead of e, omega and T0, so that it passes through circular orbits; there T0
// and omega are undefined (infinite errors) and said to be.
#pragma once

#include "OrbitGridSearch.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Which data set each velocity belongs to (indices into vName), and whether each data set gets a jitter.
struct OrbitDataSets {
    std::vector<int32_t> vIndex;
    std::vector<std::string> vName;
    bool bJitter = false;
};

// What the fit found for one data set: its offset from the first data set's gamma (0 for the first) and
// its jitter (km/s), with their standard errors (a jitter at 0 has none: infinite).
struct DataSetTerms {
    std::string sName;
    int32_t lPoints = 0;
    double fOffset = 0.0;
    double fOffsetError = 0.0;
    double fJitter = 0.0;
    double fJitterError = 0.0;
};

struct LeastSquaresElements {
    enum Element { kPeriod = 0, kT0, kEccentricity, kOmega, kK1, kGamma };
    std::array<double, 6> afValue{};  // days, JD, -, degrees in [0, 360), km/s, km/s
    std::array<double, 6> afError{};  // standard errors in the same units
    double fA1SinI = 0.0;             // km
    double fA1SinIError = 0.0;
    double fA1SinIAu = 0.0;           // astronomical units
    double fA1SinIAuError = 0.0;
    double fMassFunction = 0.0;       // solar masses
    double fMassFunctionError = 0.0;
    double fRms = 0.0;                // km/s, of the unweighted residuals
    double fChi2Reduced = 0.0;        // sum of weighted squared residuals / (n - 6); without
                                      // uncertainties the residual variance in (km/s)^2
    bool bWeighted = false;           // the velocities had uncertainties
    bool bJitter = false;             // jitters were fitted (fChi2Reduced then with them)
    std::vector<DataSetTerms> vDataSets; // with several data sets, in the order of their names
    int32_t lPoints = 0;
    int32_t lIterations = 0;
    // Why the fit is doubtful (e at its limit, an error larger than its value, T0 and omega undefined
    // for a circular orbit, a reduced chi-square far above 1), one sentence each.
    std::vector<std::string> vWarnings;

    // The elements as the program's record (a1 sin i from K1).
    OrbitElements Elements() const;
};

// Fits the orbit to the velocities vV (km/s) at the times vT (JD); vSigma (km/s), when not empty,
// weighs each point by 1 / sigma^2; pDataSets, when given, names the data set of each point. Nothing,
// with sError saying why, for fewer points than parameters plus one, unusable sigmas or data sets, or a
// start the model cannot be computed for.
std::optional<LeastSquaresElements> FitOrbitLeastSquares(const std::vector<double>& vT, const std::vector<double>& vV,
                                                       const std::vector<double>& vSigma, const OrbitElements& oStart,
                                                       std::string& sError,
                                                       const OrbitDataSets* pDataSets = nullptr);
