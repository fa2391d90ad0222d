// The mean of several velocities of one observation (its lines) with its standard error, and the
// line that disagrees with the others.
#pragma once

#include <cstdint>
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
