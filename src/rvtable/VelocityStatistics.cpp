#include "VelocityStatistics.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// The difference of a velocity from the mean of the others, over its standard error, follows Student's
// t with n - 2 degrees of freedom when all lines scatter alike. A line disagrees when that is as
// unlikely as three standard deviations of a normal distribution (0.27 %, both sides): these are
// the t values of that probability for 1 .. 30 degrees of freedom.
constexpr double kCritical[30] = {235.801, 19.207, 9.219, 6.620, 5.507, 4.904, 4.530, 4.277, 4.094, 3.957,
                                  3.850,   3.764,  3.694, 3.636, 3.586, 3.544, 3.507, 3.475, 3.447, 3.422,
                                  3.400,   3.380,  3.361, 3.345, 3.330, 3.316, 3.303, 3.291, 3.280, 3.270};

double CriticalValue(int32_t lDegrees)
{
    if (lDegrees <= 30) {
        return kCritical[lDegrees - 1];
    }
    // Beyond the table the Cornish-Fisher expansion about z = 3 (3.269 at 30).
    const double v = lDegrees;
    return 3.0 + 7.5 / v + 17.25 / (v * v);
}

} // namespace

VelocityStatistics ComputeVelocityStatistics(std::span<const double> vVelocity)
{
    VelocityStatistics o;
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
        if (fSigmas > CriticalValue(n - 2) && fSigmas > o.fOutlierSigmas) {
            o.lOutlier = i;
            o.fOutlierSigmas = fSigmas;
        }
    }
    return o;
}

std::optional<WeightedVelocity> WeightedMeanVelocity(std::span<const double> vVelocity, std::span<const double> vError)
{
    if (vVelocity.empty() || vVelocity.size() != vError.size()) {
        return std::nullopt;
    }
    double fWeights = 0.0;
    double fSum = 0.0;
    for (std::size_t i = 0; i < vVelocity.size(); ++i) {
        if (!(vError[i] > 0.0) || !std::isfinite(vError[i])) {
            return std::nullopt;
        }
        const double w = 1.0 / (vError[i] * vError[i]);
        fWeights += w;
        fSum += w * vVelocity[i];
    }
    WeightedVelocity o;
    o.fMean = fSum / fWeights;
    o.fError = 1.0 / std::sqrt(fWeights);
    if (vVelocity.size() > 1) {
        double fSquares = 0.0;
        for (std::size_t i = 0; i < vVelocity.size(); ++i) {
            fSquares += (vVelocity[i] - o.fMean) * (vVelocity[i] - o.fMean) / (vError[i] * vError[i]);
        }
        o.fError = std::max(o.fError, std::sqrt(fSquares / (static_cast<double>(vVelocity.size() - 1) * fWeights)));
    }
    return o;
}
