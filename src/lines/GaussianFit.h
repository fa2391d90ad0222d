// The least-squares search of the Gaussian line model: a bounded coordinate
// search that halves its step for each parameter in turn and repeats whole
// passes until no parameter moves.
#pragma once

#include <array>
#include <cmath>
#include <cstddef>
#include <optional>

class DataSeries;

namespace quandrel::gaussfit {

// Parameter slots, in search order.
enum Parameter { kSigma1 = 0, kCenter1, kOffset, kAmplitude1, kSigma2, kCenter2, kAmplitude2, kMaxParameters };

using Parameters = std::array<double, kMaxParameters>;

// Smallest step of the search, absolute, for every parameter.
constexpr double kTolerance = 0.0003;

// Every move lowers the sum strictly, so the passes end by themselves; real
// fits take a few dozen. This limit, far beyond any real fit, only bounds the
// time adversarial data could take.
constexpr int kMaxPasses = 1000000;

// exp(-(x - c)^2 / (2 s^2)): the one way the program computes a Gaussian factor.
inline double GaussianFactor(double x, double fCenter, double fSigma)
{
    const double d = x - fCenter;
    return std::exp(-(d * d) / (2.0 * fSigma * fSigma));
}

// The model from its factors: offset + a1 g1 (+ a2 g2).
inline double ModelValue(const Parameters& p, double g1, double g2, bool bDouble)
{
    const double f = p[kOffset] + p[kAmplitude1] * g1;
    return bDouble ? f + p[kAmplitude2] * g2 : f;
}

// Fits the parameters to the n points (x, y) within [afLow, afHigh]; P is 4
// (single) or 7 (double). Only trial values are clamped, start values stay.
// Every sum is the same, operation for operation, as summing
// (ModelValue(p, GaussianFactor(x, c1, s1), GaussianFactor(x, c2, s2)) - y)^2
// over the points in order: factors that a trial does not change are reused.
void Search(const double* x, const double* y, std::size_t n, int P, const Parameters& afLow, const Parameters& afHigh,
            Parameters& p);

// The standard errors of the fitted parameters p: the square roots of the diagonal of s^2 (J^T J)^-1,
// the covariance of the model linearised at p, with s^2 the sum of squared residuals over n - P (the
// scatter of the window stands for the noise, as an unweighted least-squares fit takes it). A parameter
// the search left at one of its bounds counts as fixed and gets 0. Nothing when n <= P or the
// parameters cannot be told apart (J^T J singular, as for a line of no depth).
std::optional<Parameters> StandardErrors(const double* x, const double* y, std::size_t n, int P,
                                         const Parameters& afLow, const Parameters& afHigh, const Parameters& p);

// The bounds of a line fit over a section: sigma 0.0003 .. 10, the centre within the section, offset
// 0 .. 1 and amplitude -1 .. 1 for an absorption line; for an emission line sigma up to the section's
// width and offset and amplitude within the section's intensities. The second Gaussian shares the
// bounds of the first. The section has at least two points.
void SearchBounds(const DataSeries& oSection, bool bEmission, Parameters& afLow, Parameters& afHigh);

} // namespace quandrel::gaussfit
