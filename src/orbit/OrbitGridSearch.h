// The orbit of a single-lined spectroscopic binary fitted to radial
// velocities against Julian date: period P (days), time of periastron T0
// (JD), eccentricity e, longitude of periastron omega, projected
// semi-major axis a1 sin i (km) and systemic velocity gamma (km/s). The cost
// is the sum of squared velocity residuals.
//
// Model (e.g. R. W. Hilditch, An Introduction to Close Binary Stars, 2001,
// eq. 2.45): v(t) = K1 (cos(omega + nu) + e cos omega) + gamma with the true
// anomaly nu from Kepler's equation and K1 = 2 pi a1 sin i / (P sqrt(1 - e^2)).
#pragma once

#include "Optimizer.h"
#include "core/Progress.h"

#include <vector>

// An element record; also the lower and upper limits of the search.
struct OrbitElements {
    double fPeriod = 0.0;       // days
    double fT0 = 0.0;           // time of periastron, JD
    double fEccentricity = 0.0;
    double fOmega = 0.0;        // degrees
    double fK1 = 0.0;           // km/s
    double fK2 = 0.0;           // km/s
    double fA1SinI = 0.0;       // km
    double fA2SinI = 0.0;       // km
    double fGamma = 0.0;        // km/s
    double fRMS = 0.0;          // km/s
    bool bTwoComponents = false;
};

class OrbitGridSearch : public Optimizer {
public:
    static constexpr int32_t NUMBER_ORBITALS_ELEMENTS_ONE_COMPONENT = 6;
    enum Element { kPeriod = 0, kT0, kEccentricity, kOmega, kA1SinI, kGamma, kA2SinI };

    OrbitGridSearch() : Optimizer(7) {}

    // Sum of squared residuals of the current values; twice the best cost
    // so far when Kepler's equation fails for a point.
    double ObjectiveFunction() override;

    // The grid search of Optimizer, with the true anomalies of a (P, T0,
    // e) point solved once and reused for every omega, a1 sin i and gamma; the
    // same costs, operation for operation. The periods are shared among the
    // threads (SetThreads); the best point is the one a single pass in grid
    // order finds (the first of equal costs). With pProgress, the share of
    // periods done is reported, and a cancel stops the search without a result
    // (IsOptimized stays false).
    void Optimize(Progress* pProgress = nullptr);
    // Threads of the grid search; 0 (the default) for every core.
    void SetThreads(unsigned lThreads) { m_lThreads = lThreads; }

    // Index, fixed, steps, start, lower, upper (omega in degrees).
    void SetParameter(int32_t lIndex, bool bFixed, int32_t lSteps, double fStart, double fLower, double fUpper);
    void GetCurrentElements(OrbitElements& oElements) const;
    void GetBestElements(OrbitElements& oElements) const;
    // K1 (and K2) in km/s from a1 sin i (a2 sin i) in km, the period in days and the eccentricity:
    // K = 2 pi a sin i / (P sqrt(1 - e^2)).
    static void CalculateAmplitudes(OrbitElements& oElements);
    // The inverse: a1 sin i in km = K1 P sqrt(1 - e^2) / (2 pi), with K1 in km/s and P in days.
    static double A1SinIFromK1(double fK1, double fPeriod, double fEccentricity);
    // The mass function in solar masses, (1 - e^2)^(3/2) K1^3 P / (2 pi G M_sun), K1 in km/s, P in days.
    static double MassFunctionFromK1(double fK1, double fPeriod, double fEccentricity);

    // The true anomaly (radians, [0, 2 pi]) at time t, from Kepler's equation solved to 1e-14 rad by
    // Newton's method safeguarded with bisection; false for e outside [0, 1) or a time or period
    // that gives no finite mean anomaly.
    static bool SolveKepler(double t, double fT0, double fPeriod, double e, double& fNu);
    // The model velocity at t (0 when Kepler's equation fails).
    static double ModelVelocity(double t, const OrbitElements& oElements);

    // The elements that refine the search's best point (the least-squares orbit): from then on the
    // curve and the residuals are those of these elements. A new search forgets them.
    void SetRefinedElements(const OrbitElements& oElements);
    bool HasRefinedElements() const { return m_bRefined; }
    // The refined elements when there are, else the search's best point.
    OrbitElements FittedElements() const;

    // Julian dates and residuals (measured - model) of the fitted elements;
    // empty before a fit.
    void GetVelocityResiduals(std::vector<double>& vJulianDate, std::vector<double>& vResidual) const;

    // Limits from the data: P from 0.5 days to the time span (first use
    // only), T0 over the time span, gamma over the velocity range.
    void GetDataRanges(OrbitElements& oLower, OrbitElements& oUpper, bool bFirstUse) const;
    void GetDefaultRanges(OrbitElements& oLower, OrbitElements& oUpper) const;
    // True when a limit record lies in the ranges the search accepts.
    static bool CheckRange(const OrbitElements& oElements);

    // Hands the six searched elements to the parameter table (start value =
    // lower limit; an element not in use is held at its lower limit with
    // one step) and sets six parameters. False when a step count is not
    // positive or a limit record is out of range; the table then already
    // holds the new limits. Steps in parameter order: P, T0, e, omega, a1 sin i, gamma.
    bool ConfigureSearch(OrbitElements oLower, OrbitElements oUpper, const int32_t alSteps[6],
                         const bool abUse[6]);

private:
    unsigned m_lThreads = 0;
    bool m_bRefined = false;
    OrbitElements m_oRefined;
    void FillElements(OrbitElements& oElements, bool bBest) const;
    double CostWithAnomalies(const std::vector<double>& vNu, bool bAllSolved);
};
