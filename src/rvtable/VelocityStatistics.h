// The mean of several velocities of one observation (its lines) with its standard error, and the
// line that disagrees with the others.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

struct VelocityStatistics {
    int32_t lCount = 0;
    double fMean = 0.0;          // km/s
    double fStandardError = 0.0; // km/s, the standard deviation over sqrt(n); 0 for one velocity
    // The velocity that lies farthest from the mean of the others, when that is as unlikely for lines
    // that scatter alike as three standard deviations of a normal distribution (Student's t of the
    // difference over its standard error, with at least three velocities); -1 when none does.
    int32_t lOutlier = -1;
    double fOutlierSigmas = 0.0; // how many standard errors of the difference it lies off
};

VelocityStatistics ComputeVelocityStatistics(std::span<const double> vVelocity);

// The mean of velocities that carry standard errors, weighted by 1 / sigma^2, and its error: the larger
// of the one the errors give, 1 / sqrt(sum w), and the one the velocities' scatter about the mean gives,
// sqrt(sum w (v - mean)^2 / ((n - 1) sum w)), so that lines that disagree beyond their errors widen it.
struct WeightedVelocity {
    double fMean = 0.0;  // km/s
    double fError = 0.0; // km/s
};
// Nothing without velocities, or when an error is missing (0) or no positive number.
std::optional<WeightedVelocity> WeightedMeanVelocity(std::span<const double> vVelocity, std::span<const double> vError);
