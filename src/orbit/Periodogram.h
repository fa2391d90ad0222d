// The generalised Lomb-Scargle periodogram with a floating mean (M. Zechmeister and M. Kuerster,
// A&A 496, 577, 2009): for each trial frequency the share of the velocities' variance about their
// mean that a sine of that frequency plus a constant explains (0 .. 1).
#pragma once

#include "core/Progress.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct PeriodogramResult {
    std::vector<double> vFrequency; // 1/day, evenly spaced from 1 / longest to 1 / shortest period
    std::vector<double> vPower;
    std::size_t lBest = 0;          // index of the highest power
    double fBestFrequency = 0;      // the top of that peak, found between its neighbouring frequencies
    double fBestPower = 0;
    double fFalseAlarm1Percent = 0; // the power the highest peak of pure noise exceeds with 1 %
                                    // probability (Baluev 2008)

    double BestPeriod() const { return 1.0 / fBestFrequency; }
};

// Most frequencies one periodogram takes (its sums take 64 bytes per frequency).
inline constexpr std::int64_t kMaxPeriodogramFrequencies = 2000000;

// The periodogram of vV at the times vT (weights 1 / sigma^2 when vSigma is not empty) on lSamples
// frequencies from 1 / fLongest to 1 / fShortest (periods in days). Nothing, with sError, for fewer
// than 4 points, periods that are not 0 < shortest < longest, a sample count outside 2 ..
// kMaxPeriodogramFrequencies, or velocities without scatter.
// With pProgress the share of points summed is reported, and a cancel gives nothing.
std::optional<PeriodogramResult> LombScargle(const std::vector<double>& vT, const std::vector<double>& vV,
                                        const std::vector<double>& vSigma, double fShortest, double fLongest,
                                        std::int64_t lSamples, std::string& sError, Progress* pProgress = nullptr);

// The power that the highest peak of noise, searched up to the frequency fMaxFrequency (1/day) in the n
// times vT (weighted by vSigma when it is not empty), exceeds with the probability fProbability: the
// level of Baluev's (2008) alias-free approximation, in the standard normalisation.
double BaluevFalseAlarmLevel(double fProbability, const std::vector<double>& vT, const std::vector<double>& vSigma,
                             std::size_t n, double fMaxFrequency);

// A number of frequencies that resolves every peak about five times over for this time span.
std::int64_t DefaultPeriodogramSamples(double fTimeSpan, double fShortest, double fLongest);
