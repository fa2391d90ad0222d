#include "NoiseFloor.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

double Median(std::vector<double>& v)
{
    const auto itMiddle = v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2);
    std::nth_element(v.begin(), itMiddle, v.end());
    const double fUpper = *itMiddle;
    if (v.size() % 2 != 0) {
        return fUpper;
    }
    return (*std::max_element(v.begin(), itMiddle) + fUpper) / 2;
}

} // namespace

double EstimateNoiseSigma(std::span<const double> vIntensity)
{
    if (vIntensity.size() < 3) {
        return 0.0;
    }
    std::vector<double> vDifference;
    vDifference.reserve(vIntensity.size() - 1);
    for (std::size_t i = 1; i < vIntensity.size(); ++i) {
        const double f = vIntensity[i] - vIntensity[i - 1];
        if (std::isfinite(f)) {
            vDifference.push_back(f);
        }
    }
    if (vDifference.size() < 2) {
        return 0.0;
    }
    const double fCentre = Median(vDifference);
    for (double& f : vDifference) {
        f = std::fabs(f - fCentre);
    }
    return 1.482602218505602 * Median(vDifference) / std::sqrt(2.0);
}
