#include "SliderValuesBrokerClass.h"

#include <cmath>

bool CSliderValuesBroker::GetValue(int32_t lMin, int32_t lMax, int32_t lIndex, double fValueAtMin, double fValueAtMax,
                                   char cMode, double& fValue)
{
    if (lMin == lMax) {
        // Both scales divide by the index range.
        return false;
    }
    const double fShare = static_cast<double>(lIndex - lMin) / static_cast<double>(lMax - lMin);
    if (cMode == kLinear) {
        fValue = fValueAtMin + (lIndex - lMin) * (fValueAtMax - fValueAtMin) / (lMax - lMin);
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
