#include "OrbitGridSearch.h"

#include "core/Assert.h"
#include "core/Constants.h"
#include "core/Utils.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <thread>

namespace {

using quandrel::kPi;
constexpr double kDegreesToRadians = 0.017453292519943295;

double ToDegrees(double fRadians)
{
    return fRadians * (180.0 / kPi);
}

double ToRadians(double fDegrees)
{
    return fDegrees * (1.0 / 180.0) * kPi;
}

// (cos(omega + nu) + e cos omega): the part of the model velocity that K1 scales.
double Shape(double fOmegaRadians, double fNu, double e)
{
    return std::cos(fOmegaRadians + fNu) + e * std::cos(fOmegaRadians);
}

} // namespace

void OrbitGridSearch::SetParameter(int32_t lIndex, bool bFixed, int32_t lSteps, double fStart, double fLower,
                                    double fUpper)
{
    QASSERT(lIndex>=0 && lIndex<static_cast<int32_t>(m_parameters.size()));
    if (lIndex == kOmega) {
        fStart *= kDegreesToRadians;
        fLower *= kDegreesToRadians;
        fUpper *= kDegreesToRadians;
    }
    OptimizerParameter& o = m_parameters[static_cast<std::size_t>(lIndex)];
    o.fValue = fStart;
    o.fBest = fStart;
    o.fLower = fLower;
    o.fUpper = fUpper;
    o.bFixed = bFixed;
    o.lSteps = bFixed ? 0 : lSteps;
    // Omega is an angle: a search over the whole circle may cross 0 / 360 degrees.
    o.fTurn = lIndex == kOmega ? 2 * kPi : 0.0;
}

void OrbitGridSearch::FillElements(OrbitElements& oElements, bool bBest) const
{
    QASSERT(m_bIsOptimizationConfigured && m_lNumberParameters == NUMBER_ORBITALS_ELEMENTS_ONE_COMPONENT);
    const auto Value = [&](int lIndex) {
        const OptimizerParameter& o = m_parameters[static_cast<std::size_t>(lIndex)];
        return bBest ? o.fBest : o.fValue;
    };
    oElements.fPeriod = Value(kPeriod);
    oElements.fT0 = Value(kT0);
    oElements.fEccentricity = Value(kEccentricity);
    oElements.fOmega = ToDegrees(Value(kOmega));
    if (bBest) {
        // Reported in 0 .. 360 degrees, whatever turn the search reached it in.
        oElements.fOmega = std::fmod(oElements.fOmega, 360.0);
        if (oElements.fOmega < 0) {
            oElements.fOmega += 360.0;
        }
    }
    oElements.fA1SinI = Value(kA1SinI);
    oElements.fA2SinI = Value(kA2SinI);
    oElements.fGamma = Value(kGamma);
    oElements.bTwoComponents = false;
    CalculateAmplitudes(oElements);
    const int32_t N = m_oDataArray.GetArraySize();
    oElements.fRMS = N > 0 ? std::sqrt(m_fBestValue / N) : 0.0;
}

void OrbitGridSearch::GetCurrentElements(OrbitElements& oElements) const
{
    FillElements(oElements, false);
}

void OrbitGridSearch::GetBestElements(OrbitElements& oElements) const
{
    FillElements(oElements, true);
}

void OrbitGridSearch::CalculateAmplitudes(OrbitElements& oElements)
{
    const double f = (2 * kPi / oElements.fPeriod) / std::sqrt(1 - oElements.fEccentricity * oElements.fEccentricity);
    oElements.fK1 = f * oElements.fA1SinI / quandrel::kSecondsPerDay;
    if (oElements.bTwoComponents) {
        oElements.fK2 = f * oElements.fA2SinI / quandrel::kSecondsPerDay;
    }
}

double OrbitGridSearch::A1SinIFromK1(double fK1, double fPeriod, double fEccentricity)
{
    return fK1 * fPeriod * quandrel::kSecondsPerDay * std::sqrt(1 - fEccentricity * fEccentricity) / (2 * kPi);
}

double OrbitGridSearch::MassFunctionFromK1(double fK1, double fPeriod, double fEccentricity)
{
    constexpr double kGMSun = 1.3271244e20; // m^3 s^-2 (IAU 2015 nominal value)
    const double fK = fK1 * 1000.0;
    const double fSeconds = fPeriod * quandrel::kSecondsPerDay;
    return std::pow(1.0 - fEccentricity * fEccentricity, 1.5) * fK * fK * fK * fSeconds / (2.0 * kPi * kGMSun);
}

bool OrbitGridSearch::SolveKepler(double t, double fT0, double fPeriod, double e, double& fNu)
{
    if (!(e >= 0 && e < 1)) {
        return false;
    }
    double fMeanDegrees = (t - fT0) * 360 / fPeriod;
    if (fMeanDegrees == 180 || fMeanDegrees == 0) {
        fMeanDegrees += 1e-8;
    }
    // The mean anomaly within one turn, [0, 2 pi).
    fMeanDegrees = std::fmod(fMeanDegrees, 360.0);
    if (fMeanDegrees < 0) {
        fMeanDegrees += 360.0;
    }
    const double M = fMeanDegrees * (1.0 / 180.0) * kPi;
    if (!std::isfinite(M)) {
        return false;
    }
    // E - e sin E - M rises strictly from -M at E = 0 to 2 pi - M at E = 2 pi: Newton's method from a
    // start that cannot overshoot far (M, or pi for high eccentricities), kept inside the bracket of
    // the root; a step that would leave it is a bisection. Converges for every e < 1.
    double fLow = 0.0;
    double fHigh = 2 * kPi;
    double fNext = e >= 0.8 ? kPi : M;
    for (int lIterations = 0; lIterations < 200; ++lIterations) {
        const double E = fNext;
        const double f = E - e * std::sin(E) - M;
        if (f < 0) {
            fLow = E;
        } else {
            fHigh = E;
        }
        fNext = E - f / (1 - e * std::cos(E));
        if (!(fNext > fLow && fNext < fHigh)) {
            fNext = 0.5 * (fLow + fHigh);
        }
        if (std::fabs(fNext - E) <= 1e-14 || fHigh - fLow <= 1e-14) {
            break;
        }
    }
    double nu = 2 * std::atan(std::sqrt((1 + e) / (1 - e)) * std::tan(fNext / 2));
    if (nu > 2 * kPi) {
        nu -= 2 * kPi;
    }
    if (nu < 0) {
        nu += 2 * kPi;
    }
    if (!std::isfinite(nu)) {
        return false;
    }
    fNu = nu;
    return true;
}

double OrbitGridSearch::ModelVelocity(double t, const OrbitElements& oElements)
{
    double fNu = 0.0;
    if (!SolveKepler(t, oElements.fT0, oElements.fPeriod, oElements.fEccentricity, fNu)) {
        return 0.0;
    }
    OrbitElements oWithAmplitude = oElements;
    CalculateAmplitudes(oWithAmplitude);
    const double fOmega = ToRadians(oElements.fOmega);
    return Shape(fOmega, fNu, oElements.fEccentricity) * oWithAmplitude.fK1 + oElements.fGamma;
}

double OrbitGridSearch::ObjectiveFunction()
{
    OrbitElements o;
    GetCurrentElements(o);
    const double fOmega = ToRadians(o.fOmega);
    double fSum = 0.0;
    for (int32_t k = 0; k < m_oDataArray.GetArraySize(); ++k) {
        double fNu = 0.0;
        if (!SolveKepler(m_oDataArray.GetX(k), o.fT0, o.fPeriod, o.fEccentricity, fNu)) {
            return 2 * m_fBestValue;
        }
        const double r = m_oDataArray.GetY(k) - (Shape(fOmega, fNu, o.fEccentricity) * o.fK1 + o.fGamma);
        fSum += r * r;
    }
    return fSum;
}

namespace {

// The best point one thread found: its cost and grid indices (P, T0, e, omega, a1 sin i, gamma).
struct GridBest {
    double fCost = 0.0;
    std::array<int32_t, 6> alIndex{};
    bool bFound = false;

    // Lower cost first; of equal costs the one a single pass meets first.
    bool Beats(const GridBest& o) const
    {
        return bFound && (!o.bFound || fCost < o.fCost || (fCost == o.fCost && alIndex < o.alIndex));
    }
};

} // namespace

void OrbitGridSearch::Optimize(Progress* pProgress)
{
    m_bRefined = false;
    QASSERT(m_bIsOptimizationConfigured);
    if (m_lNumberParameters != NUMBER_ORBITALS_ELEMENTS_ONE_COMPONENT) {
        Optimizer::Optimize();
        return;
    }
    m_fBestValue = ObjectiveFunction();
    const double fStartCost = m_fBestValue;
    const std::vector<OptimizerParameter> aoLimits = m_parameters;
    const std::vector<double>& vT = m_oDataArray.GetXValues();
    const std::vector<double>& vV = m_oDataArray.GetYValues();
    const std::size_t n = vT.size();
    const int32_t lPeriods = aoLimits[kPeriod].lSteps + 1;
    std::atomic<int32_t> lNext{0};
    std::atomic<int32_t> lDone{0};
    const unsigned lCores = m_lThreads != 0 ? m_lThreads : std::max(1U, std::thread::hardware_concurrency());
    const unsigned lThreads = std::clamp<unsigned>(lCores, 1U, static_cast<unsigned>(std::max(lPeriods, 1)));
    std::vector<GridBest> vBest(lThreads);
    const auto Work = [&](unsigned lThread) {
        std::vector<double> vNu(n);
        std::vector<double> vShape(n);
        std::vector<OptimizerParameter> p = aoLimits;
        GridBest& oBest = vBest[lThread];
        const auto Grid = [&](int lIndex, int32_t i) {
            OptimizerParameter& o = p[static_cast<std::size_t>(lIndex)];
            o.fValue = GridValue(o, i);
            return o.fValue;
        };
        for (int32_t iP = lNext++; iP < lPeriods; iP = lNext++) {
            if (Cancelled(pProgress)) {
                return;
            }
            const double P = Grid(kPeriod, iP);
            for (int32_t iT = 0; iT <= p[kT0].lSteps; ++iT) {
                const double T0 = Grid(kT0, iT);
                for (int32_t iE = 0; iE <= p[kEccentricity].lSteps; ++iE) {
                    const double e = Grid(kEccentricity, iE);
                    // The anomalies of this (P, T0, e): the same for every omega, a1 sin i and gamma.
                    bool bAllSolved = true;
                    for (std::size_t k = 0; k < n && bAllSolved; ++k) {
                        bAllSolved = SolveKepler(vT[k], T0, P, e, vNu[k]);
                    }
                    if (!bAllSolved) {
                        // Such a point costs twice the best so far: it never wins.
                        continue;
                    }
                    for (int32_t iW = 0; iW <= p[kOmega].lSteps; ++iW) {
                        Grid(kOmega, iW);
                        // omega passes through degrees as the elements record has it.
                        const double fOmega = ToRadians(ToDegrees(p[kOmega].fValue));
                        for (std::size_t k = 0; k < n; ++k) {
                            vShape[k] = Shape(fOmega, vNu[k], e);
                        }
                        for (int32_t iA = 0; iA <= p[kA1SinI].lSteps; ++iA) {
                            Grid(kA1SinI, iA);
                            OrbitElements oAmplitude;
                            oAmplitude.fPeriod = P;
                            oAmplitude.fEccentricity = e;
                            oAmplitude.fA1SinI = p[kA1SinI].fValue;
                            CalculateAmplitudes(oAmplitude);
                            const double K1 = oAmplitude.fK1;
                            for (int32_t iG = 0; iG <= p[kGamma].lSteps; ++iG) {
                                const double fGamma = Grid(kGamma, iG);
                                double fSum = 0.0;
                                for (std::size_t k = 0; k < n; ++k) {
                                    const double r = vV[k] - (vShape[k] * K1 + fGamma);
                                    fSum += r * r;
                                }
                                if (fSum < fStartCost && (!oBest.bFound || fSum < oBest.fCost)) {
                                    oBest = GridBest{fSum, {iP, iT, iE, iW, iA, iG}, true};
                                }
                            }
                        }
                    }
                }
            }
            if (pProgress != nullptr) {
                pProgress->Set(static_cast<double>(++lDone) / lPeriods);
            }
        }
    };
    std::vector<std::thread> vThreads;
    for (unsigned t = 1; t < lThreads; ++t) {
        vThreads.emplace_back(Work, t);
    }
    Work(0);
    for (std::thread& oThread : vThreads) {
        oThread.join();
    }
    if (Cancelled(pProgress)) {
        return;
    }
    GridBest oBest;
    for (const GridBest& o : vBest) {
        if (o.Beats(oBest)) {
            oBest = o;
        }
    }
    if (oBest.bFound) {
        for (std::size_t k = 0; k < 6; ++k) {
            m_parameters[k].fValue = GridValue(m_parameters[k], oBest.alIndex[k]);
        }
        m_fCurrentValue = oBest.fCost;
        TakeBest();
    }
    // Every parameter ends on its last grid value, as after one pass.
    for (std::size_t k = 0; k < 6; ++k) {
        m_parameters[k].fValue = GridValue(m_parameters[k], m_parameters[k].lSteps);
    }
    m_bIsOptimized = true;
}

void OrbitGridSearch::SetRefinedElements(const OrbitElements& oElements)
{
    m_oRefined = oElements;
    CalculateAmplitudes(m_oRefined);
    m_bRefined = true;
}

OrbitElements OrbitGridSearch::FittedElements() const
{
    if (m_bRefined) {
        return m_oRefined;
    }
    OrbitElements o;
    GetBestElements(o);
    return o;
}

void OrbitGridSearch::GetVelocityResiduals(std::vector<double>& vJulianDate, std::vector<double>& vResidual) const
{
    vJulianDate.clear();
    vResidual.clear();
    if (m_oDataArray.GetArraySize() == 0 || !m_bIsOptimized) {
        return;
    }
    const OrbitElements o = FittedElements();
    for (int32_t k = 0; k < m_oDataArray.GetArraySize(); ++k) {
        const double t = m_oDataArray.GetX(k);
        double fNu = 0.0;
        vJulianDate.push_back(t);
        if (SolveKepler(t, o.fT0, o.fPeriod, o.fEccentricity, fNu)) {
            vResidual.push_back(m_oDataArray.GetY(k) - ModelVelocity(t, o));
        } else {
            vResidual.push_back(m_oDataArray.GetY(k));
        }
    }
}

void OrbitGridSearch::GetDataRanges(OrbitElements& oLower, OrbitElements& oUpper, bool bFirstUse) const
{
    const int32_t N = m_oDataArray.GetArraySize();
    if (N == 0) {
        return;
    }
    const double fFirst = m_oDataArray.GetX(0);
    const double fLast = m_oDataArray.GetX(N - 1);
    if (bFirstUse) {
        oLower.fPeriod = 0.5;
        oUpper.fPeriod = fLast - fFirst;
    }
    oLower.fT0 = fFirst;
    oUpper.fT0 = fLast;
    double fMin = 0.0;
    double fMax = 0.0;
    GetMinMaxY(m_oDataArray, fMin, fMax);
    oLower.fGamma = fMin;
    oUpper.fGamma = fMax;
}

void OrbitGridSearch::GetDefaultRanges(OrbitElements& oLower, OrbitElements& oUpper) const
{
    QASSERT(m_bIsOptimizationConfigured && m_oDataArray.GetArraySize()>1);
    oLower.fEccentricity = 0.0;
    oUpper.fEccentricity = 0.9;
    oLower.fOmega = 0.0;
    oUpper.fOmega = 360.0;
    oLower.fA1SinI = 1000.0;
    oUpper.fA1SinI = 1e10;
    oLower.fA2SinI = 1000.0;
    oUpper.fA2SinI = 1e10;
}

bool OrbitGridSearch::CheckRange(const OrbitElements& o)
{
    return o.fPeriod >= 0 && o.fT0 >= 0 && o.fEccentricity >= 0 && o.fEccentricity < 1 && o.fA1SinI >= 100 &&
           o.fA1SinI <= 1e15 && o.fGamma >= -10000 && o.fGamma < 10000 && o.fOmega >= 0 && o.fOmega <= 360;
}

bool OrbitGridSearch::ConfigureSearch(OrbitElements oLower, OrbitElements oUpper, const int32_t alSteps[6],
                                       const bool abUse[6])
{
    double* apLower[6] = {&oLower.fPeriod, &oLower.fT0, &oLower.fEccentricity, &oLower.fOmega, &oLower.fA1SinI,
                          &oLower.fGamma};
    double* apUpper[6] = {&oUpper.fPeriod, &oUpper.fT0, &oUpper.fEccentricity, &oUpper.fOmega, &oUpper.fA1SinI,
                          &oUpper.fGamma};
    int32_t alUsedSteps[6] = {};
    for (int i = 0; i < 6; ++i) {
        alUsedSteps[i] = alSteps[i];
        if (!abUse[i]) {
            *apUpper[i] = *apLower[i];
            alUsedSteps[i] = 1;
        }
        SetParameter(i, false, alUsedSteps[i], *apLower[i], *apLower[i], *apUpper[i]);
    }
    SetNumberParameters(NUMBER_ORBITALS_ELEMENTS_ONE_COMPONENT);
    for (const int32_t lSteps : alUsedSteps) {
        if (lSteps <= 0) {
            return false;
        }
    }
    return CheckRange(oLower) && CheckRange(oUpper);
}
