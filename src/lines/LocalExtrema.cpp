#include "LocalExtrema.h"

#include "core/Assert.h"
#include "core/DataSeries.h"
#include "core/Utils.h"

#include <algorithm>
#include <cmath>

void LocalExtrema::Find(int32_t lWidth, double fSensitivity,
                                                     const DataSeries& oSeries,
                                                     std::span<int32_t> palIndexExtrema, int32_t& lCount, bool bMax)
{
    const int32_t N = oSeries.GetArraySize();
    QASSERT(lWidth>0 && fSensitivity>0 && palIndexExtrema.size()>=static_cast<std::size_t>(N));
    // The threshold of maxima depends on the whole series only: once per scan.
    const double fThreshold = Threshold(oSeries, fSensitivity, bMax);
    lCount = 0;
    int64_t s = 0;
    while (s < N) {
        const int64_t lEnd = std::min<int64_t>(s + lWidth - 1, N - 1);
        const int32_t e = GetIndexOfExtremum(static_cast<int32_t>(s), static_cast<int32_t>(lEnd), bMax, oSeries);
        if (IsLocalExtremumAt(e, lWidth, oSeries, fThreshold, bMax)) {
            palIndexExtrema[static_cast<std::size_t>(lCount++)] = e;
            // A window of one sample would start the next block on the same sample again.
            s = std::max<int64_t>(static_cast<int64_t>(e) + lWidth / 2, s + 1);
        } else {
            s += lWidth;
        }
    }
}

int32_t LocalExtrema::GetIndexOfExtremum(int32_t lStart, int32_t lEnd, bool bMax,
                                                    const DataSeries& oSeries)
{
    QASSERT(lEnd>=lStart);
    const std::vector<double>& y = oSeries.GetYValues();
    const int32_t lLast = std::min<int32_t>(lEnd, oSeries.GetArraySize() - 1);
    int32_t lBest = lStart;
    double fBest = y[static_cast<std::size_t>(lStart)];
    for (int32_t i = lStart + 1; i <= lLast; ++i) {
        const double fValue = y[static_cast<std::size_t>(i)];
        if (bMax ? fValue > fBest : fValue < fBest) {
            fBest = fValue;
            lBest = i;
        }
    }
    return lBest;
}

double LocalExtrema::Threshold(const DataSeries& oSeries, double fSensitivity, bool bMax)
{
    if (!bMax) {
        return fSensitivity;
    }
    double fMin = 0.0;
    double fMax = 0.0;
    GetMinMaxY(oSeries, fMin, fMax);
    return fMin + (fMax - fMin) * fSensitivity;
}

bool LocalExtrema::IsLocalExtremum(int32_t lIndex, int32_t lWidth, const DataSeries& oSeries,
                                               double fSensitivity, bool bMax)
{
    return IsLocalExtremumAt(lIndex, lWidth, oSeries, Threshold(oSeries, fSensitivity, bMax), bMax);
}

bool LocalExtrema::IsLocalExtremumAt(int32_t lIndex, int32_t lWidth, const DataSeries& oSeries,
                                                 double fThreshold, bool bMax)
{
    const int32_t N = oSeries.GetArraySize();
    const int32_t lHalf = lWidth / 2;
    if (lIndex < lHalf || lIndex > N - lHalf) {
        return false;
    }
    const std::vector<double>& y = oSeries.GetYValues();
    const double fPeak = y[static_cast<std::size_t>(lIndex)];
    double fOpposite = fPeak;
    const int32_t lFirst = std::max<int32_t>(lIndex - lHalf, 0);
    const int32_t lLast = std::min<int32_t>(lIndex + lHalf, N - 1);
    for (int32_t i = lFirst; i <= lLast; ++i) {
        const double fValue = y[static_cast<std::size_t>(i)];
        if (bMax ? fValue > fPeak : fValue < fPeak) {
            return false;
        }
        fOpposite = bMax ? std::min(fOpposite, fValue) : std::max(fOpposite, fValue);
    }
    if (std::fabs(fOpposite) < 1e-12) {
        return true;
    }
    return bMax ? fPeak - fOpposite > fThreshold : fOpposite - fPeak > fThreshold;
}
