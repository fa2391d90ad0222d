#include "PDMClass.h"

#include "core/Assert.h"

#include <algorithm>
#include <cmath>
#include <vector>

double CPDM::ObjectiveFunction()
{
    const double P = m_paParameters[0].fValue;
    const int32_t B = std::max<int32_t>(m_lNumberBins, 1);
    std::vector<double> vMin(static_cast<std::size_t>(B), 0.0);
    std::vector<double> vMax(static_cast<std::size_t>(B), 0.0);
    std::vector<bool> vOccupied(static_cast<std::size_t>(B), false);
    const int32_t N = m_oDataArray.GetArraySize();
    if (N == 0) {
        return 0.0;
    }
    const double t0 = m_oDataArray.GetX(0);
    for (int32_t k = 0; k < N; ++k) {
        const double t = m_oDataArray.GetX(k);
        const double v = m_oDataArray.GetY(k);
        const double q = (t - t0) / P;
        const double c = P * (q - std::floor(q));
        const double fBin = std::floor(c / P * B);
        // Limited to the bins; a phase that is no number goes to bin 0.
        const auto b = static_cast<std::size_t>(fBin >= B - 1 ? B - 1 : (fBin >= 0 ? fBin : 0));
        vMin[b] = std::min(vMin[b], v);
        vMax[b] = std::max(vMax[b], v);
        if (!vOccupied[b]) {
            vMin[b] = v;
            vMax[b] = v;
        }
        vOccupied[b] = true;
    }
    double fSum = 0.0;
    for (std::size_t b = 0; b < vMin.size(); ++b) {
        if (vOccupied[b]) {
            fSum += vMax[b] - vMin[b];
        }
    }
    return fSum;
}

void CPDM::SetPeriodRange(double fStart, double fLower, double fUpper)
{
    SOptimizationParameter& o = m_paParameters[0];
    o.fValue = fStart;
    o.fBest = fStart;
    o.fLower = fLower;
    o.fUpper = fUpper;
    o.bFixed = false;
}

void CPDM::ScanPeriods(CProgress* pProgress)
{
    QASSERT(m_bIsOptimizationConfigured);
    SOptimizationParameter& o = m_paParameters[0];
    o.fValue = o.fLower;
    o.fBest = o.fLower;
    m_fBestValue = ObjectiveFunction();
    m_vScan.clear();
    const double fTrials = std::max(1.0, (o.fUpper - o.fLower) / kPeriodStep);
    const auto lStretch = static_cast<std::size_t>(std::ceil(fTrials / static_cast<double>(kMaxScanPoints)));
    std::size_t lInStretch = 0;
    do {
        m_fCurrentValue = ObjectiveFunction();
        if (lInStretch == 0 || m_fCurrentValue < m_vScan.back().second) {
            if (lInStretch == 0) {
                m_vScan.emplace_back(o.fValue, m_fCurrentValue);
            } else {
                m_vScan.back() = {o.fValue, m_fCurrentValue};
            }
        }
        lInStretch = (lInStretch + 1) % lStretch;
        if (pProgress != nullptr && m_vScan.size() % 1024 == 0 && lInStretch == 0) {
            if (pProgress->IsCancelled()) {
                m_bIsOptimized = false;
                return;
            }
            pProgress->Set((o.fValue - o.fLower) / (o.fUpper - o.fLower));
        }
        if (m_fCurrentValue < m_fBestValue) {
            o.fBest = o.fValue;
            m_fBestValue = m_fCurrentValue;
        }
        const double fNext = o.fValue + kPeriodStep;
        if (fNext == o.fValue) {
            // Periods so large that the step no longer changes them: nothing further to try.
            break;
        }
        o.fValue = fNext;
    } while (o.fValue < o.fUpper);
    m_bIsOptimized = true;
}

double CPDM::GetBestPeriod() const
{
    QASSERT(m_bIsOptimizationConfigured && m_lNumberParameters == 1);
    return m_paParameters[0].fBest;
}

double CPDM::GetPeriod() const
{
    QASSERT(m_bIsOptimizationConfigured && m_lNumberParameters == 1);
    return m_paParameters[0].fValue;
}
