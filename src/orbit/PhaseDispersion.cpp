#include "PhaseDispersion.h"

#include "core/Assert.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <thread>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include <vector>

namespace {

// std::floor without the library call: the same value for every finite argument (a whole number
// of at most 4e15 converts exactly to a 64-bit integer and back), but for -0 which gives +0; a phase
// of either zero falls into bin 0.
inline double Floor(double x)
{
    if (!(std::fabs(x) < 4e15)) {
        return std::floor(x);
    }
    const auto f = static_cast<double>(static_cast<int64_t>(x));
    return f > x ? f - 1.0 : f;
}

// Periods evaluated between two looks at the cancel request, and handed out to the threads at once.
constexpr std::size_t kBlock = std::size_t{1} << 16;

} // namespace

double PhaseDispersion::Dispersion(double P, Bins& oBins) const
{
    const int32_t N = m_oDataArray.GetArraySize();
    if (N == 0) {
        return 0.0;
    }
    const auto B = static_cast<std::size_t>(std::max<int32_t>(m_lNumberBins, 1));
    const auto fB = static_cast<double>(B);
    // First the bin of every velocity (independent of one another, so the divisions overlap), then
    // the ranges of the bins.
    oBins.vBin.resize(static_cast<std::size_t>(N));
    const double t0 = m_oDataArray.GetX(0);
    const double* pT = m_oDataArray.GetXValues().data();
    uint32_t* pBin = oBins.vBin.data();
    const auto BinOf = [&](double t) {
        const double q = (t - t0) / P;
        const double c = P * (q - Floor(q));
        const double fBin = Floor(c / P * fB);
        // Limited to the bins; a phase that is no number goes to bin 0.
        return static_cast<uint32_t>(fBin >= fB - 1 ? fB - 1 : (fBin >= 0 ? fBin : 0));
    };
    int32_t k = 0;
#if defined(__SSE2__)
    // Two velocities at a time: the same operations lane by lane (IEEE division, multiplication and
    // subtraction give the same bits packed or not), with the floor of numbers from 0 to 2^31 taken
    // through 32-bit integers; a pair with a number outside goes the scalar way.
    const __m128d vT0 = _mm_set1_pd(t0);
    const __m128d vP = _mm_set1_pd(P);
    const __m128d vB = _mm_set1_pd(fB);
    const __m128d vZero = _mm_setzero_pd();
    const __m128d vLimit = _mm_set1_pd(2147483647.0);
    const __m128d vOne = _mm_set1_pd(1.0);
    const auto InRange = [&](__m128d x) {
        return _mm_movemask_pd(_mm_and_pd(_mm_cmpge_pd(x, vZero), _mm_cmplt_pd(x, vLimit))) == 3;
    };
    const auto FloorPair = [&](__m128d x) {
        const __m128d f = _mm_cvtepi32_pd(_mm_cvttpd_epi32(x));
        return _mm_sub_pd(f, _mm_and_pd(_mm_cmpgt_pd(f, x), vOne));
    };
    for (; k + 1 < N; k += 2) {
        const __m128d q = _mm_div_pd(_mm_sub_pd(_mm_loadu_pd(pT + k), vT0), vP);
        if (!InRange(q)) {
            pBin[k] = BinOf(pT[k]);
            pBin[k + 1] = BinOf(pT[k + 1]);
            continue;
        }
        const __m128d c = _mm_mul_pd(vP, _mm_sub_pd(q, FloorPair(q)));
        const __m128d x = _mm_mul_pd(_mm_div_pd(c, vP), vB);
        if (!InRange(x)) {
            pBin[k] = BinOf(pT[k]);
            pBin[k + 1] = BinOf(pT[k + 1]);
            continue;
        }
        const __m128d fBin = FloorPair(x);
        alignas(16) double afBin[2];
        _mm_store_pd(afBin, fBin);
        for (int j = 0; j < 2; ++j) {
            pBin[k + j] = static_cast<uint32_t>(afBin[j] >= fB - 1 ? fB - 1 : afBin[j]);
        }
    }
#endif
    for (; k < N; ++k) {
        pBin[k] = BinOf(pT[k]);
    }
    oBins.vMin.resize(B);
    oBins.vMax.resize(B);
    oBins.vOccupied.assign(B, 0);
    const auto Take = [&](std::size_t b, double fLeast, double fGreatest) {
        if (oBins.vOccupied[b] == 0) {
            oBins.vMin[b] = fLeast;
            oBins.vMax[b] = fGreatest;
            oBins.vOccupied[b] = 1;
        } else {
            oBins.vMin[b] = std::min(oBins.vMin[b], fLeast);
            oBins.vMax[b] = std::max(oBins.vMax[b], fGreatest);
        }
    };
    const double* pV = m_oDataArray.GetYValues().data();
    if (std::any_of(pV, pV + N, [](double v) { return std::isnan(v); })) {
        // A velocity that is no number: one at a time, as the comparisons then depend on the order.
        for (int32_t k = 0; k < N; ++k) {
            Take(pBin[k], pV[k], pV[k]);
        }
    } else {
        // Neighbours in time often share a bin: their range is gathered before it is taken into the
        // bin. std::min and std::max keep the first of equal values, so the grouping changes no bit.
        std::size_t bRun = pBin[0];
        double fLeast = pV[0];
        double fGreatest = pV[0];
        for (int32_t k = 1; k < N; ++k) {
            const double v = pV[k];
            if (pBin[k] == bRun) {
                fLeast = std::min(fLeast, v);
                fGreatest = std::max(fGreatest, v);
                continue;
            }
            Take(bRun, fLeast, fGreatest);
            bRun = pBin[k];
            fLeast = v;
            fGreatest = v;
        }
        Take(bRun, fLeast, fGreatest);
    }
    double fSum = 0.0;
    for (std::size_t b = 0; b < B; ++b) {
        if (oBins.vOccupied[b] != 0) {
            fSum += oBins.vMax[b] - oBins.vMin[b];
        }
    }
    return fSum;
}

double PhaseDispersion::ObjectiveFunction()
{
    m_vBins.resize(std::max<std::size_t>(m_vBins.size(), 1));
    return Dispersion(m_parameters[0].fValue, m_vBins[0]);
}

void PhaseDispersion::Disperse(const std::vector<double>& vPeriods, std::vector<double>& vValues)
{
    vValues.resize(vPeriods.size());
    const unsigned lCores = m_lThreads != 0 ? m_lThreads : std::max(1U, std::thread::hardware_concurrency());
    // A thread is worth starting for a few thousand periods of work.
    const auto lThreads = static_cast<std::size_t>(
        std::clamp<std::size_t>(vPeriods.size() / 4096, 1, static_cast<std::size_t>(lCores)));
    m_vBins.resize(std::max(m_vBins.size(), lThreads));
    const auto Work = [&](std::size_t lThread) {
        const std::size_t lBegin = vPeriods.size() * lThread / lThreads;
        const std::size_t lEnd = vPeriods.size() * (lThread + 1) / lThreads;
        for (std::size_t i = lBegin; i < lEnd; ++i) {
            vValues[i] = Dispersion(vPeriods[i], m_vBins[lThread]);
        }
    };
    std::vector<std::thread> vThreads;
    for (std::size_t lThread = 1; lThread < lThreads; ++lThread) {
        vThreads.emplace_back(Work, lThread);
    }
    Work(0);
    for (auto& oThread : vThreads) {
        oThread.join();
    }
}

void PhaseDispersion::SetPeriodRange(double fStart, double fLower, double fUpper)
{
    OptimizerParameter& o = m_parameters[0];
    o.fValue = fStart;
    o.fBest = fStart;
    o.fLower = fLower;
    o.fUpper = fUpper;
    o.bFixed = false;
}

void PhaseDispersion::ScanPeriods(Progress* pProgress)
{
    QASSERT(m_bIsOptimizationConfigured);
    OptimizerParameter& o = m_parameters[0];
    o.fValue = o.fLower;
    o.fBest = o.fLower;
    m_fBestValue = ObjectiveFunction();
    m_vScan.clear();
    const double fTrials = std::max(1.0, (o.fUpper - o.fLower) / kPeriodStep);
    const auto lStretch = static_cast<std::size_t>(std::ceil(fTrials / static_cast<double>(kMaxScanPoints)));
    std::size_t lInStretch = 0;
    std::vector<double> vPeriods;
    std::vector<double> vValues;
    bool bEnd = false;
    while (!bEnd) {
        // The periods of the next block, stepped to one after the other (so that every period is the
        // sum the scan has always tried), then their dispersions on all threads.
        vPeriods.clear();
        double fPeriod = o.fValue;
        while (vPeriods.size() < kBlock) {
            vPeriods.push_back(fPeriod);
            const double fNext = fPeriod + kPeriodStep;
            if (fNext == fPeriod) {
                // Periods so large that the step no longer changes them: nothing further to try.
                bEnd = true;
                break;
            }
            fPeriod = fNext;
            if (!(fPeriod < o.fUpper)) {
                bEnd = true;
                break;
            }
        }
        Disperse(vPeriods, vValues);
        for (std::size_t i = 0; i < vPeriods.size(); ++i) {
            o.fValue = vPeriods[i];
            m_fCurrentValue = vValues[i];
            if (lInStretch == 0 || m_fCurrentValue < m_vScan.back().second) {
                if (lInStretch == 0) {
                    m_vScan.emplace_back(o.fValue, m_fCurrentValue);
                } else {
                    m_vScan.back() = {o.fValue, m_fCurrentValue};
                }
            }
            lInStretch = (lInStretch + 1) % lStretch;
            if (m_fCurrentValue < m_fBestValue) {
                o.fBest = o.fValue;
                m_fBestValue = m_fCurrentValue;
            }
        }
        o.fValue = fPeriod;
        if (pProgress != nullptr) {
            if (pProgress->IsCancelled()) {
                m_bIsOptimized = false;
                return;
            }
            pProgress->Set((o.fValue - o.fLower) / (o.fUpper - o.fLower));
        }
    }
    m_bIsOptimized = true;
}

double PhaseDispersion::GetBestPeriod() const
{
    QASSERT(m_bIsOptimizationConfigured && m_lNumberParameters == 1);
    return m_parameters[0].fBest;
}

double PhaseDispersion::GetPeriod() const
{
    QASSERT(m_bIsOptimizationConfigured && m_lNumberParameters == 1);
    return m_parameters[0].fValue;
}
