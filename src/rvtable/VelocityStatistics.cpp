#include "VelocityStatistics.h"

#include <cmath>
#include <limits>

namespace {

constexpr double kOutlierSigmas = 3.0;

} // namespace

SVelocityStatistics VelocityStatistics(std::span<const double> vVelocity)
{
    SVelocityStatistics o;
    const auto n = static_cast<int32_t>(vVelocity.size());
    o.lCount = n;
    if (n == 0) {
        return o;
    }
    double fSum = 0.0;
    for (const double f : vVelocity) {
        fSum += f;
    }
    o.fMean = fSum / n;
    if (n < 2) {
        return o;
    }
    double fSquares = 0.0;
    for (const double f : vVelocity) {
        fSquares += (f - o.fMean) * (f - o.fMean);
    }
    o.fStandardError = std::sqrt(fSquares / (n - 1) / n);
    if (n < 3) {
        return o;
    }
    // Each velocity against the n - 1 others: the difference from their mean has the variance
    // s^2 (1 + 1 / (n - 1)), s the others' standard deviation.
    for (int32_t i = 0; i < n; ++i) {
        const double fValue = vVelocity[static_cast<std::size_t>(i)];
        const double fOthersMean = (fSum - fValue) / (n - 1);
        double fOthersSquares = 0.0;
        for (int32_t j = 0; j < n; ++j) {
            if (j != i) {
                const double d = vVelocity[static_cast<std::size_t>(j)] - fOthersMean;
                fOthersSquares += d * d;
            }
        }
        const double fError = std::sqrt(fOthersSquares / (n - 2) * (1.0 + 1.0 / (n - 1)));
        const double fOff = std::fabs(fValue - fOthersMean);
        const double fSigmas = fError > 0.0 ? fOff / fError : (fOff > 0.0 ? std::numeric_limits<double>::infinity() : 0.0);
        if (fSigmas > kOutlierSigmas && fSigmas > o.fOutlierSigmas) {
            o.lOutlier = i;
            o.fOutlierSigmas = fSigmas;
        }
    }
    return o;
}
