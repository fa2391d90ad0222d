#include "OrbitPosterior.h"

#include "OrbitGridSearch.h"
#include "core/Constants.h"
#include "core/ParallelFor.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <thread>

namespace {

constexpr double kTwoPi = 2.0 * quandrel::kPi;
constexpr double kStretch = 2.0;         // Goodman & Weare's a
constexpr double kMaxEccentricity = 0.99;
constexpr double kLowestLnJitter = -12.0;
constexpr double kHighestLnJitter = 6.0;
constexpr int32_t kCheckEvery = 500;     // steps between looks at the autocorrelation time
constexpr double kTauLengths = 50.0;     // a chain this many autocorrelation times long has converged
constexpr std::size_t kMaxDataSets = 64;

// cos and sin of the true anomaly at the mean anomaly M (radians): Halley's iterations on Kepler's
// equation from Danby's start E = M + 0.85 e sign(sin M), to 1e-12 rad (two or three iterations for
// e < 0.99); false when they do not settle.
bool TrueAnomaly(double M, double e, double& fCosNu, double& fSinNu)
{
    M = std::fmod(M, kTwoPi);
    if (M < 0.0) {
        M += kTwoPi;
    }
    double E = M + (M < quandrel::kPi ? 0.85 : -0.85) * e;
    double fSin = 0.0;
    double fCos = 1.0;
    for (int k = 0; k < 60; ++k) {
        fSin = std::sin(E);
        fCos = std::cos(E);
        const double f = E - e * fSin - M;
        const double fSlope = 1.0 - e * fCos;
        const double d = f / (fSlope - 0.5 * f * e * fSin / fSlope);
        E -= d;
        if (std::fabs(d) < 1e-12) {
            // The last step moved E by less than 1e-12: its sine and cosine stand.
            const double fDenominator = 1.0 - e * fCos;
            fCosNu = (fCos - e) / fDenominator;
            fSinNu = std::sqrt(1.0 - e * e) * fSin / fDenominator;
            return true;
        }
    }
    return false;
}

// The likelihood of the walked parameters (see the header for their order).
class Likelihood {
public:
    Likelihood(const std::vector<double>& vT, const std::vector<double>& vV, const std::vector<double>& vSigma,
               const OrbitDataSets* pDataSets)
        : m_vT(vT), m_vV(vV), m_vVariance(vT.size(), 0.0), m_vSet(vT.size(), 0)
    {
        m_lSets = pDataSets != nullptr && pDataSets->vName.size() > 1 ? pDataSets->vName.size() : 1;
        // Without uncertainties the scatter alone tells the widths: a jitter is fitted then.
        m_bJitter = (pDataSets != nullptr && pDataSets->bJitter) || vSigma.empty();
        for (std::size_t i = 0; i < vT.size(); ++i) {
            m_vVariance[i] = vSigma.empty() ? 0.0 : vSigma[i] * vSigma[i];
            m_vSet[i] = m_lSets > 1 ? pDataSets->vIndex[i] : 0;
        }
        double fSum = 0.0;
        for (const double t : vT) {
            fSum += t - vT.front();
        }
        m_fReference = vT.front() + fSum / static_cast<double>(vT.size());
    }

    std::size_t Dimension() const { return 6 + (m_lSets - 1) + (m_bJitter ? m_lSets : 0); }
    std::size_t Sets() const { return m_lSets; }
    bool HasJitter() const { return m_bJitter; }
    double Reference() const { return m_fReference; }
    std::size_t JitterIndex(std::size_t k) const { return 6 + (m_lSets - 1) + k; }

    // T0 and omega (radians) of the walked parameters.
    void Periastron(const double* p, double& fT0, double& fOmega) const
    {
        const double e = p[2] * p[2] + p[3] * p[3];
        fOmega = e > 0.0 ? std::atan2(p[3], p[2]) : 0.0;
        fT0 = m_fReference - p[0] * (p[1] - fOmega) / kTwoPi;
    }

    double LogPosterior(const double* p) const
    {
        const double P = p[0];
        const double e = p[2] * p[2] + p[3] * p[3];
        const double K = p[4];
        if (!(P > 0.0) || !(e < kMaxEccentricity) || !(K > 0.0) || !std::isfinite(p[1]) || !std::isfinite(p[5])) {
            return -std::numeric_limits<double>::infinity();
        }
        double aJitter2[kMaxDataSets];
        for (std::size_t k = 0; k < m_lSets; ++k) {
            aJitter2[k] = 0.0;
            if (m_bJitter) {
                const double l = p[JitterIndex(k)];
                if (!(l >= kLowestLnJitter && l <= kHighestLnJitter)) {
                    return -std::numeric_limits<double>::infinity();
                }
                aJitter2[k] = std::exp(2.0 * l);
            }
        }
        double fT0 = 0.0;
        double fOmega = 0.0;
        Periastron(p, fT0, fOmega);
        const double fCosW = std::cos(fOmega);
        const double fSinW = std::sin(fOmega);
        const double fEcosW = e * fCosW;
        double fSum = 0.0;
        for (std::size_t i = 0; i < m_vT.size(); ++i) {
            double fCosNu = 0.0;
            double fSinNu = 0.0;
            if (!TrueAnomaly(kTwoPi * (m_vT[i] - fT0) / P, e, fCosNu, fSinNu)) {
                return -std::numeric_limits<double>::infinity();
            }
            const auto k = static_cast<std::size_t>(m_vSet[i]);
            const double fOffset = k > 0 ? p[6 + k - 1] : 0.0;
            const double fCosNuW = fCosNu * fCosW - fSinNu * fSinW;
            const double r = m_vV[i] - (K * (fCosNuW + fEcosW) + p[5] + fOffset);
            const double a = m_vVariance[i] + aJitter2[k];
            fSum += r * r / a + std::log(a);
        }
        return std::isfinite(fSum) ? -0.5 * fSum : -std::numeric_limits<double>::infinity();
    }

private:
    const std::vector<double>& m_vT;
    const std::vector<double>& m_vV;
    std::vector<double> m_vVariance;
    std::vector<int32_t> m_vSet;
    std::size_t m_lSets = 1;
    bool m_bJitter = false;
    double m_fReference = 0.0;
};

// One ensemble of walkers and its chain (steps x walkers x dimension).
struct Ensemble {
    std::vector<double> vPosition; // walkers x dimension
    std::vector<double> vLogP;
    std::vector<double> vChain;
    int64_t lAccepted = 0;
    int64_t lProposed = 0;
    int64_t lCalls = 0;
    int32_t lSteps = 0;
};

// The integrated autocorrelation time of parameter d over the second half of the chain: the walkers'
// autocorrelation functions averaged, summed with Sokal's window (the first M with M >= 5 tau(M)).
double AutocorrelationTime(const Ensemble& o, std::size_t lWalkers, std::size_t lDimension, std::size_t d)
{
    const auto lSteps = static_cast<std::size_t>(o.lSteps);
    const std::size_t lFirst = lSteps / 2;
    const std::size_t n = lSteps - lFirst;
    if (n < 20) {
        return std::numeric_limits<double>::infinity();
    }
    // Each walker's deviations from its mean, one after the other, and its sum of squares.
    std::vector<double> vDeviation(lWalkers * n);
    std::vector<double> vSquares(lWalkers, 0.0);
    for (std::size_t w = 0; w < lWalkers; ++w) {
        double* x = &vDeviation[w * n];
        double fMean = 0.0;
        for (std::size_t s = 0; s < n; ++s) {
            x[s] = o.vChain[((lFirst + s) * lWalkers + w) * lDimension + d];
            fMean += x[s];
        }
        fMean /= static_cast<double>(n);
        for (std::size_t s = 0; s < n; ++s) {
            x[s] -= fMean;
            vSquares[w] += x[s] * x[s];
        }
    }
    double fTau = 1.0;
    for (std::size_t k = 1; k < n / 2; ++k) {
        double fRho = 0.0;
        std::size_t lCounted = 0;
        for (std::size_t w = 0; w < lWalkers; ++w) {
            if (!(vSquares[w] > 0.0)) {
                continue;
            }
            const double* x = &vDeviation[w * n];
            // Four sums side by side, which the processor runs in parallel.
            double a[4] = {0.0, 0.0, 0.0, 0.0};
            std::size_t s = 0;
            for (; s + 3 + k < n; s += 4) {
                a[0] += x[s] * x[s + k];
                a[1] += x[s + 1] * x[s + 1 + k];
                a[2] += x[s + 2] * x[s + 2 + k];
                a[3] += x[s + 3] * x[s + 3 + k];
            }
            for (; s + k < n; ++s) {
                a[0] += x[s] * x[s + k];
            }
            fRho += (a[0] + a[1] + a[2] + a[3]) / vSquares[w];
            ++lCounted;
        }
        if (lCounted == 0) {
            return std::numeric_limits<double>::infinity();
        }
        fTau += 2.0 * fRho / static_cast<double>(lCounted);
        if (static_cast<double>(k) >= 5.0 * fTau) {
            return fTau;
        }
    }
    // The window was not reached: the chain is too short to tell.
    return std::numeric_limits<double>::infinity();
}

double LargestTau(const Ensemble& o, std::size_t lWalkers, std::size_t lDimension)
{
    double fTau = 0.0;
    for (std::size_t d = 0; d < lDimension; ++d) {
        fTau = std::max(fTau, AutocorrelationTime(o, lWalkers, lDimension, d));
    }
    return fTau;
}

// Runs one ensemble from the start ball; steps in pairs of half-ensemble moves.
void Walk(const Likelihood& oModel, const std::vector<double>& vStart, const std::vector<double>& vScale,
          std::size_t lWalkers, const PosteriorOptions& oOptions, uint64_t lSeed, Ensemble& o, Progress* pProgress,
          bool bReport)
{
    const std::size_t D = vStart.size();
    std::mt19937_64 oRandom(lSeed);
    std::normal_distribution<double> oGauss(0.0, 1.0);
    std::uniform_real_distribution<double> oUnit(0.0, 1.0);
    o.vPosition.assign(lWalkers * D, 0.0);
    o.vLogP.assign(lWalkers, 0.0);
    for (std::size_t w = 0; w < lWalkers; ++w) {
        // A start inside the prior: tries until the posterior is finite.
        for (int lTry = 0; lTry < 1000; ++lTry) {
            for (std::size_t d = 0; d < D; ++d) {
                o.vPosition[w * D + d] = vStart[d] + (lTry == 999 ? 0.0 : vScale[d] * oGauss(oRandom));
            }
            o.vLogP[w] = oModel.LogPosterior(&o.vPosition[w * D]);
            ++o.lCalls;
            if (std::isfinite(o.vLogP[w])) {
                break;
            }
        }
    }
    o.vChain.reserve(static_cast<std::size_t>(oOptions.lSteps) * lWalkers * D);
    std::vector<double> vProposal(D);
    const std::size_t lHalf = lWalkers / 2;
    for (int32_t lStep = 0; lStep < oOptions.lSteps; ++lStep) {
        if (Cancelled(pProgress)) {
            return;
        }
        for (std::size_t lPart = 0; lPart < 2; ++lPart) {
            const std::size_t lMoving = lPart * lHalf;
            const std::size_t lOther = (1 - lPart) * lHalf;
            for (std::size_t j = lMoving; j < lMoving + lHalf; ++j) {
                const std::size_t k = lOther + static_cast<std::size_t>(oUnit(oRandom) * static_cast<double>(lHalf)) % lHalf;
                const double u = oUnit(oRandom);
                const double z = ((kStretch - 1.0) * u + 1.0) * ((kStretch - 1.0) * u + 1.0) / kStretch;
                for (std::size_t d = 0; d < D; ++d) {
                    vProposal[d] = o.vPosition[k * D + d] + z * (o.vPosition[j * D + d] - o.vPosition[k * D + d]);
                }
                const double fLogP = oModel.LogPosterior(vProposal.data());
                ++o.lCalls;
                ++o.lProposed;
                const double q = static_cast<double>(D - 1) * std::log(z) + fLogP - o.vLogP[j];
                if (std::isfinite(fLogP) && std::log(oUnit(oRandom)) < q) {
                    std::copy(vProposal.begin(), vProposal.end(), o.vPosition.begin() + static_cast<std::ptrdiff_t>(j * D));
                    o.vLogP[j] = fLogP;
                    ++o.lAccepted;
                }
            }
        }
        o.vChain.insert(o.vChain.end(), o.vPosition.begin(), o.vPosition.end());
        o.lSteps = lStep + 1;
        if (bReport && pProgress != nullptr) {
            pProgress->Set(static_cast<double>(lStep + 1) / oOptions.lSteps);
        }
        if (oOptions.bStopWhenLongEnough && (lStep + 1) % kCheckEvery == 0 && lStep + 1 < oOptions.lSteps &&
            static_cast<double>(lStep + 1) > kTauLengths * LargestTau(o, lWalkers, D)) {
            return;
        }
    }
}

double Percentile(std::vector<double>& v, double fShare)
{
    const auto lIndex = static_cast<std::size_t>(std::lround(fShare * static_cast<double>(v.size() - 1)));
    std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(lIndex), v.end());
    return v[lIndex];
}

} // namespace

std::optional<OrbitPosterior> SampleOrbitPosterior(const std::vector<double>& vT, const std::vector<double>& vV,
                                                   const std::vector<double>& vSigma, const OrbitDataSets* pDataSets,
                                                   const LeastSquaresElements& oStart, const PosteriorOptions& oOptions,
                                                   std::string& sError, Progress* pProgress)
{
    if (pDataSets != nullptr && pDataSets->vName.size() > kMaxDataSets) {
        sError = "The posterior takes at most " + std::to_string(kMaxDataSets) + " data sets.";
        return std::nullopt;
    }
    const Likelihood oModel(vT, vV, vSigma, pDataSets);
    const std::size_t D = oModel.Dimension();
    if (vT.size() < D + 1 || vT.size() != vV.size() || (!vSigma.empty() && vSigma.size() != vT.size())) {
        sError = "The posterior of " + std::to_string(D) + " parameters needs at least " + std::to_string(D + 1) +
                 " measurements.";
        return std::nullopt;
    }
    if (oOptions.lSteps < 10 || oOptions.lSteps > 10000000) {
        sError = "The number of steps must lie between 10 and 10 million.";
        return std::nullopt;
    }
    std::size_t lWalkers = oOptions.lWalkers > 0 ? static_cast<std::size_t>(oOptions.lWalkers) : std::max<std::size_t>(24, 2 * D + 2);
    lWalkers += lWalkers % 2;
    if (lWalkers < 2 * D || lWalkers > 10000) {
        sError = "The ensemble needs at least twice as many walkers as parameters (" + std::to_string(2 * D) +
                 ") and at most 10000.";
        return std::nullopt;
    }
    // The start: the least-squares solution in the walked parameters, and a ball of a tenth of its errors.
    using E = LeastSquaresElements;
    const double P = oStart.afValue[E::kPeriod];
    const double e = oStart.afValue[E::kEccentricity];
    const double w = oStart.afValue[E::kOmega] * quandrel::kPi / 180.0;
    const double fMeanLongitude = kTwoPi * (oModel.Reference() - oStart.afValue[E::kT0]) / P + w;
    std::vector<double> vStart{P, fMeanLongitude, std::sqrt(e) * std::cos(w), std::sqrt(e) * std::sin(w),
                               oStart.afValue[E::kK1], oStart.afValue[E::kGamma]};
    const auto Finite = [](double f, double fOtherwise) { return std::isfinite(f) && f > 0.0 ? f : fOtherwise; };
    std::vector<double> vScale{Finite(oStart.afError[E::kPeriod], 1e-4 * P),
                               Finite(kTwoPi * oStart.afError[E::kT0] / P, 0.01),
                               0.02, 0.02,
                               Finite(oStart.afError[E::kK1], 0.01 * oStart.afValue[E::kK1]),
                               Finite(oStart.afError[E::kGamma], 0.1)};
    for (std::size_t k = 1; k < oModel.Sets(); ++k) {
        const bool bKnown = k < oStart.vDataSets.size();
        vStart.push_back(bKnown ? oStart.vDataSets[k].fOffset : 0.0);
        vScale.push_back(bKnown ? Finite(oStart.vDataSets[k].fOffsetError, 0.1) : 0.1);
    }
    if (oModel.HasJitter()) {
        for (std::size_t k = 0; k < oModel.Sets(); ++k) {
            const double fJitter = k < oStart.vDataSets.size() ? oStart.vDataSets[k].fJitter : oStart.fRms;
            vStart.push_back(std::log(std::max(fJitter, oStart.fRms * 0.1 + 1e-3)));
            vScale.push_back(0.1);
        }
    }
    for (double& f : vScale) {
        f *= 0.1;
    }
    const unsigned lCores = oOptions.lThreads != 0 ? oOptions.lThreads : std::max(1U, std::thread::hardware_concurrency());
    std::vector<Ensemble> vEnsembles(lCores);
    quandrel::ParallelFor(lCores, lCores, nullptr, [&](std::size_t i) {
        Walk(oModel, vStart, vScale, lWalkers, oOptions, oOptions.lSeed * 1000003ULL + i, vEnsembles[i], pProgress, i == 0);
    });
    if (Cancelled(pProgress)) {
        sError = "The sampling was cancelled.";
        return std::nullopt;
    }
    OrbitPosterior o;
    int64_t lAccepted = 0;
    int64_t lProposed = 0;
    for (const Ensemble& oEnsemble : vEnsembles) {
        lAccepted += oEnsemble.lAccepted;
        lProposed += oEnsemble.lProposed;
        o.lLikelihoodCalls += oEnsemble.lCalls;
        o.lSteps = std::max(o.lSteps, oEnsemble.lSteps);
        o.fTau = std::max(o.fTau, LargestTau(oEnsemble, lWalkers, D));
    }
    o.fAcceptance = lProposed > 0 ? static_cast<double>(lAccepted) / static_cast<double>(lProposed) : 0.0;
    o.bConverged = static_cast<double>(o.lSteps) > kTauLengths * o.fTau;
    // The kept samples in the quantities a user reads.
    o.vChainNames = {"P", "T0", "e", "omega", "K1", "gamma"};
    for (std::size_t k = 1; k < oModel.Sets(); ++k) {
        o.vChainNames.push_back("offset." + pDataSets->vName[k]);
    }
    for (std::size_t k = 0; oModel.HasJitter() && k < oModel.Sets(); ++k) {
        o.vChainNames.push_back("jitter." + (oModel.Sets() > 1 ? pDataSets->vName[k] : std::string("all")));
    }
    o.vChainNames.insert(o.vChainNames.end(), {"a1sini", "f_M"});
    std::vector<std::vector<double>> vvColumns(o.vChainNames.size());
    for (const Ensemble& oEnsemble : vEnsembles) {
        const auto lSteps = static_cast<std::size_t>(oEnsemble.lSteps);
        for (std::size_t s = lSteps / 2; s < lSteps; ++s) {
            for (std::size_t wk = 0; wk < lWalkers; ++wk) {
                const double* p = &oEnsemble.vChain[(s * lWalkers + wk) * D];
                double fT0 = 0.0;
                double fOmega = 0.0;
                oModel.Periastron(p, fT0, fOmega);
                const double fE = p[2] * p[2] + p[3] * p[3];
                fT0 += p[0] * std::round((oStart.afValue[E::kT0] - fT0) / p[0]);
                double fOmegaDegrees = std::fmod(fOmega * 180.0 / quandrel::kPi + 360.0, 360.0);
                std::vector<double> vRow{p[0], fT0, fE, fOmegaDegrees, p[4], p[5]};
                for (std::size_t k = 1; k < oModel.Sets(); ++k) {
                    vRow.push_back(p[6 + k - 1]);
                }
                for (std::size_t k = 0; oModel.HasJitter() && k < oModel.Sets(); ++k) {
                    vRow.push_back(std::exp(p[oModel.JitterIndex(k)]));
                }
                vRow.push_back(OrbitGridSearch::A1SinIFromK1(p[4], p[0], fE));
                vRow.push_back(OrbitGridSearch::MassFunctionFromK1(p[4], p[0], fE));
                for (std::size_t c = 0; c < vRow.size(); ++c) {
                    vvColumns[c].push_back(vRow[c]);
                }
                if (oOptions.bKeepChain) {
                    o.vvChain.push_back(std::move(vRow));
                }
            }
        }
    }
    const auto lKept = static_cast<double>(vvColumns[0].size());
    o.fEffective = std::isfinite(o.fTau) && o.fTau > 0.0 ? lKept / o.fTau : 0.0;
    for (std::size_t c = 0; c < vvColumns.size(); ++c) {
        std::vector<double>& v = vvColumns[c];
        PosteriorSummary oSummary;
        oSummary.sName = o.vChainNames[c];
        oSummary.fLow = Percentile(v, 0.15865525);
        oSummary.fMedian = Percentile(v, 0.5);
        oSummary.fHigh = Percentile(v, 0.84134475);
        o.vSummaries.push_back(oSummary);
    }
    return o;
}

std::optional<SparsePosterior> SampleSparseOrbits(const std::vector<double>& vT, const std::vector<double>& vV,
                                                  const std::vector<double>& vSigma, const SparseOptions& oOptions,
                                                  std::string& sError, Progress* pProgress)
{
    const std::size_t n = vT.size();
    if (n < 3 || vV.size() != n || vSigma.size() != n) {
        sError = "The sampling of orbits from few epochs needs three measurements or more, each with its uncertainty.";
        return std::nullopt;
    }
    for (const double f : vSigma) {
        if (!(f > 0.0) || !std::isfinite(f)) {
            sError = "An uncertainty of a measurement is not a positive number.";
            return std::nullopt;
        }
    }
    if (!(oOptions.fShortest > 0.0) || !(oOptions.fLongest > oOptions.fShortest) || !std::isfinite(oOptions.fLongest)) {
        sError = "The periods must be greater than 0 days, the shortest below the longest.";
        return std::nullopt;
    }
    if (oOptions.lPriorSamples < 1 || oOptions.lPriorSamples > (int64_t{1} << 28)) {
        sError = "The number of prior samples must lie between 1 and 2^28.";
        return std::nullopt;
    }
    std::vector<double> vWeight(n);
    for (std::size_t i = 0; i < n; ++i) {
        vWeight[i] = 1.0 / (vSigma[i] * vSigma[i]);
    }
    const double fPriorPrecision = 1.0 / (oOptions.fSpread * oOptions.fSpread);
    // Chunks of samples, each with its own random numbers: the same draws whatever the threads.
    constexpr int64_t kChunk = 1 << 14;
    const auto lChunks = static_cast<std::size_t>((oOptions.lPriorSamples + kChunk - 1) / kChunk);
    std::vector<std::vector<std::pair<double, double>>> vvDrawn(lChunks); // period, ln marginal likelihood
    const unsigned lCores = oOptions.lThreads != 0 ? oOptions.lThreads : std::max(1U, std::thread::hardware_concurrency());
    quandrel::ParallelFor(lChunks, lCores, pProgress, [&](std::size_t c) {
        std::mt19937_64 oRandom(oOptions.lSeed * 6364136223846793005ULL + c);
        std::uniform_real_distribution<double> oUnit(0.0, 1.0);
        std::gamma_distribution<double> oGammaA(0.867, 1.0);
        std::gamma_distribution<double> oGammaB(3.03, 1.0);
        const int64_t lFirst = static_cast<int64_t>(c) * kChunk;
        const int64_t lCount = std::min(kChunk, oOptions.lPriorSamples - lFirst);
        auto& vOut = vvDrawn[c];
        vOut.reserve(static_cast<std::size_t>(lCount));
        const double fLnShortest = std::log(oOptions.fShortest);
        const double fLnRange = std::log(oOptions.fLongest) - fLnShortest;
        for (int64_t k = 0; k < lCount; ++k) {
            const double P = std::exp(fLnShortest + fLnRange * oUnit(oRandom));
            const double x = oGammaA(oRandom);
            const double e = std::min(x / (x + oGammaB(oRandom)), kMaxEccentricity);
            const double w = kTwoPi * oUnit(oRandom);
            const double M0 = kTwoPi * oUnit(oRandom);
            const double fCosW = std::cos(w);
            const double fSinW = std::sin(w);
            // The normal equations of K1 and gamma with their prior: B = prior + A^T C^-1 A, b = A^T C^-1 v.
            double b00 = fPriorPrecision;
            double b01 = 0.0;
            double b11 = fPriorPrecision;
            double b0 = 0.0;
            double b1 = 0.0;
            double fYy = 0.0;
            bool bSolved = true;
            for (std::size_t i = 0; i < n && bSolved; ++i) {
                double fCosNu = 0.0;
                double fSinNu = 0.0;
                bSolved = TrueAnomaly(M0 + kTwoPi * (vT[i] - vT[0]) / P, e, fCosNu, fSinNu);
                const double f = fCosNu * fCosW - fSinNu * fSinW + e * fCosW;
                const double wi = vWeight[i];
                b00 += wi * f * f;
                b01 += wi * f;
                b11 += wi;
                b0 += wi * f * vV[i];
                b1 += wi * vV[i];
                fYy += wi * vV[i] * vV[i];
            }
            const double fDeterminant = b00 * b11 - b01 * b01;
            if (!bSolved || !(fDeterminant > 0.0)) {
                continue;
            }
            // -2 ln L = v^T C^-1 v - b^T B^-1 b + ln |B| (+ terms equal for every sample).
            const double fQuadratic = (b11 * b0 * b0 - 2.0 * b01 * b0 * b1 + b00 * b1 * b1) / fDeterminant;
            vOut.emplace_back(P, -0.5 * (fYy - fQuadratic + std::log(fDeterminant)));
        }
    });
    if (Cancelled(pProgress)) {
        sError = "The sampling was cancelled.";
        return std::nullopt;
    }
    double fBest = -std::numeric_limits<double>::infinity();
    for (const auto& v : vvDrawn) {
        for (const auto& [P, fLnL] : v) {
            fBest = std::max(fBest, fLnL);
        }
    }
    SparsePosterior o;
    o.lDrawn = oOptions.lPriorSamples;
    std::mt19937_64 oAccept(oOptions.lSeed ^ 0x9E3779B97F4A7C15ULL);
    std::uniform_real_distribution<double> oUnit(0.0, 1.0);
    for (const auto& v : vvDrawn) {
        for (const auto& [P, fLnL] : v) {
            if (std::log(oUnit(oAccept)) < fLnL - fBest) {
                o.vPeriod.push_back(P);
            }
        }
    }
    o.lAccepted = static_cast<int64_t>(o.vPeriod.size());
    std::sort(o.vPeriod.begin(), o.vPeriod.end());
    // Modes: runs of kept periods each within 2 % of the one before.
    for (std::size_t lStart = 0; lStart < o.vPeriod.size();) {
        std::size_t lEnd = lStart + 1;
        while (lEnd < o.vPeriod.size() && o.vPeriod[lEnd] <= o.vPeriod[lEnd - 1] * 1.02) {
            ++lEnd;
        }
        PeriodMode oMode;
        oMode.lSamples = static_cast<int64_t>(lEnd - lStart);
        oMode.fShare = static_cast<double>(oMode.lSamples) / static_cast<double>(o.vPeriod.size());
        oMode.fPeriod = o.vPeriod[lStart + (lEnd - lStart) / 2];
        if (oMode.fShare >= 0.01) {
            o.vModes.push_back(oMode);
        }
        lStart = lEnd;
    }
    std::sort(o.vModes.begin(), o.vModes.end(), [](const PeriodMode& a, const PeriodMode& b) { return a.fShare > b.fShare; });
    return o;
}
