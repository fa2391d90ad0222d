// Finds the local extrema of a series that dominate a window of a given
// width and stand out from it by a given depth: the candidates of the line
// search.
#pragma once

#include <cstdint>
#include <span>

class DataSeries;

class LocalExtrema {
public:
    // Scans the y values in blocks of lWidth samples and stores the accepted
    // extremum of each block in ascending order; bMax searches maxima,
    // otherwise minima. palIndexExtrema needs one entry per sample.
    static void Find(int32_t lWidth, double fSensitivity, const DataSeries& oSeries,
                                       std::span<int32_t> palIndexExtrema, int32_t& lCount, bool bMax);

    // Index of the largest (bMax) or smallest y of lStart .. lEnd (cut at the
    // end of the series); ties keep the earliest.
    static int32_t GetIndexOfExtremum(int32_t lStart, int32_t lEnd, bool bMax, const DataSeries& oSeries);

    // True when the sample dominates its window of lWidth and its depth
    // against the window exceeds the threshold (for maxima relative to the
    // range of the whole series).
    static bool IsLocalExtremum(int32_t lIndex, int32_t lWidth, const DataSeries& oSeries, double fSensitivity,
                                 bool bMax);

private:
    static bool IsLocalExtremumAt(int32_t lIndex, int32_t lWidth, const DataSeries& oSeries,
                                   double fThreshold, bool bMax);
    static double Threshold(const DataSeries& oSeries, double fSensitivity, bool bMax);
};
