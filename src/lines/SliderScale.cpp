#include "SliderScale.h"

#include <cmath>

bool SliderScale::GetValue(int64_t lMin, int64_t lMax, int64_t lIndex, double fValueAtMin, double fValueAtMax,
                                   char cMode, double& fValue)
{
    if (lMin == lMax) {
        // Both scales divide by the index range.
        return false;
    }
    const double fShare = static_cast<double>(lIndex - lMin) / static_cast<double>(lMax - lMin);
    if (cMode == kLinear) {
        // In 64 bits: an index at the top of the 32-bit range still has a successor.
        fValue = fValueAtMin + static_cast<double>(lIndex - lMin) * (fValueAtMax - fValueAtMin) /
                                   static_cast<double>(lMax - lMin);
        return true;
    }
    if (cMode == kLogarithmic) {
        if (fValueAtMax < fValueAtMin || fValueAtMin <= 0) {
            return false;
        }
        fValue = fValueAtMin * std::exp(fShare * (std::log(fValueAtMax) - std::log(fValueAtMin)));
        return true;
    }
    return false;
}

std::optional<LineSearch> SliderScale::SearchOf(int32_t lWidthMax, int32_t lWidthIndex, int32_t lSensitivityIndex)
{
    double fWidth = 0.0;
    double fDepth = 0.0;
    if (!GetValue(0, lWidthMax, int64_t{lWidthIndex} + 1, 2.0, 2.0 * lWidthMax + 2.0, kLinear, fWidth) ||
        !GetValue(0, kSensitivityMax, int64_t{lSensitivityIndex} + 1, 0.001, 1.0, kLogarithmic, fDepth)) {
        return std::nullopt;
    }
    const double fSamples = std::trunc(fWidth + 0.01);
    if (!(fSamples >= 1.0 && fSamples <= 2.0e9)) {
        return std::nullopt;
    }
    return LineSearch{static_cast<int32_t>(fSamples), fDepth};
}
