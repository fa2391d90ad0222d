#include "Periodogram.h"

#include "core/Constants.h"

#include <algorithm>
#include <cmath>

namespace {

// The power at one frequency, summed directly (weights normalised, y with its mean taken out).
double PowerAt(double f, const std::vector<double>& vT, const std::vector<double>& vW, const std::vector<double>& vY,
               double YYhat)
{
    double C = 0, S = 0, YC = 0, YS = 0, CC = 0, CS = 0;
    for (std::size_t i = 0; i < vY.size(); ++i) {
        const double fPhase = 2.0 * quandrel::kPi * f * (vT[i] - vT[0]);
        const double c = std::cos(fPhase);
        const double s = std::sin(fPhase);
        C += vW[i] * c;
        S += vW[i] * s;
        YC += vW[i] * vY[i] * c;
        YS += vW[i] * vY[i] * s;
        CC += vW[i] * c * c;
        CS += vW[i] * c * s;
    }
    const double fCC = CC - C * C;
    const double fSS = (1.0 - CC) - S * S;
    const double fCS = CS - C * S;
    const double D = fCC * fSS - fCS * fCS;
    return D > 0 ? (fSS * YC * YC + fCC * YS * YS - 2.0 * fCS * YC * YS) / (YYhat * D) : 0.0;
}

} // namespace

std::optional<PeriodogramResult> LombScargle(const std::vector<double>& vT, const std::vector<double>& vV,
                                        const std::vector<double>& vSigma, double fShortest, double fLongest,
                                        std::int64_t lSamples, std::string& sError, Progress* pProgress)
{
    const std::size_t n = std::min(vT.size(), vV.size());
    if (n < 4) {
        sError = "The periodogram needs at least 4 measurements.";
        return std::nullopt;
    }
    if (!(fShortest > 0) || !(fLongest > fShortest) || !std::isfinite(fLongest)) {
        sError = "The periods must be greater than 0 days, the shortest below the longest.";
        return std::nullopt;
    }
    if (lSamples < 2 || lSamples > kMaxPeriodogramFrequencies) {
        sError = "The number of frequencies must lie between 2 and " + std::to_string(kMaxPeriodogramFrequencies) + ".";
        return std::nullopt;
    }
    const auto [itFirst, itLast] = std::minmax_element(vT.begin(), vT.begin() + static_cast<std::ptrdiff_t>(n));
    if (!(*itLast > *itFirst)) {
        sError = "All measurements carry the same time: they hold no period.";
        return std::nullopt;
    }
    // Squares of larger velocities leave the double range; no star comes near.
    for (std::size_t i = 0; i < n; ++i) {
        if (!(std::fabs(vV[i]) < 1e150) || !std::isfinite(vT[i])) {
            sError = "The measurement at JD " + std::to_string(vT[i]) + " holds the velocity " + std::to_string(vV[i]) +
                     " km/s, beyond what the periodogram can square.";
            return std::nullopt;
        }
    }
    // Normalised weights, and the times taken from the first so that the phases stay exact.
    std::vector<double> vW(n, 1.0);
    if (!vSigma.empty() && vSigma.size() == n) {
        for (std::size_t i = 0; i < n; ++i) {
            vW[i] = 1.0 / (vSigma[i] * vSigma[i]);
        }
    }
    double fWeights = 0.0;
    for (const double w : vW) {
        fWeights += w;
    }
    double Y = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        vW[i] /= fWeights;
        Y += vW[i] * vV[i];
    }
    double YYhat = 0.0;
    double fSquares = 0.0;
    std::vector<double> vY(n);
    for (std::size_t i = 0; i < n; ++i) {
        vY[i] = vV[i] - Y;
        YYhat += vW[i] * vY[i] * vY[i];
        fSquares += vW[i] * vV[i] * vV[i];
    }
    // Scatter at the level of rounding is none.
    if (!(YYhat > 1e-20 * fSquares)) {
        sError = "The velocities do not scatter: there is no period to find.";
        return std::nullopt;
    }
    const double fMin = 1.0 / fLongest;
    const double fStep = (1.0 / fShortest - fMin) / static_cast<double>(lSamples - 1);
    const auto N = static_cast<std::size_t>(lSamples);
    PeriodogramResult o;
    o.vFrequency.resize(N);
    for (std::size_t k = 0; k < N; ++k) {
        o.vFrequency[k] = fMin + static_cast<double>(k) * fStep;
    }
    // Sums over the points for every frequency; the cosine and sine run along the frequencies by
    // rotation, started afresh from the exact values every 256 frequencies.
    std::vector<double> vC(N, 0.0), vS(N, 0.0), vYC(N, 0.0), vYS(N, 0.0), vCC(N, 0.0), vCS(N, 0.0);
    const double t0 = vT[0];
    constexpr std::size_t kRestart = 256;
    for (std::size_t i = 0; i < n; ++i) {
        if (Cancelled(pProgress)) {
            sError = "The periodogram was cancelled.";
            return std::nullopt;
        }
        if (pProgress != nullptr) {
            pProgress->Set(static_cast<double>(i) / static_cast<double>(n));
        }
        const double t = vT[i] - t0;
        const double w = vW[i];
        const double wy = w * vY[i];
        const double fDelta = 2.0 * quandrel::kPi * fStep * t;
        const double cd = std::cos(fDelta);
        const double sd = std::sin(fDelta);
        double c = 0.0;
        double s = 0.0;
        for (std::size_t k = 0; k < N; ++k) {
            if (k % kRestart == 0) {
                const double fPhase = 2.0 * quandrel::kPi * o.vFrequency[k] * t;
                c = std::cos(fPhase);
                s = std::sin(fPhase);
            }
            vC[k] += w * c;
            vS[k] += w * s;
            vYC[k] += wy * c;
            vYS[k] += wy * s;
            vCC[k] += w * c * c;
            vCS[k] += w * c * s;
            const double cNext = c * cd - s * sd;
            s = s * cd + c * sd;
            c = cNext;
        }
    }
    o.vPower.resize(N);
    for (std::size_t k = 0; k < N; ++k) {
        // With the mean taken out of y, YC and YS need no correction for it.
        const double CC = vCC[k] - vC[k] * vC[k];
        const double SS = (1.0 - vCC[k]) - vS[k] * vS[k];
        const double CS = vCS[k] - vC[k] * vS[k];
        const double D = CC * SS - CS * CS;
        const double YC = vYC[k];
        const double YS = vYS[k];
        o.vPower[k] = D > 0 ? (SS * YC * YC + CC * YS * YS - 2.0 * CS * YC * YS) / (YYhat * D) : 0.0;
        if (o.vPower[k] > o.vPower[o.lBest]) {
            o.lBest = k;
        }
    }
    // The top of the best peak: a golden-section search between the neighbouring frequencies.
    {
        double a = o.vFrequency[o.lBest] - (o.lBest > 0 ? fStep : 0.0);
        double b = o.vFrequency[o.lBest] + (o.lBest + 1 < N ? fStep : 0.0);
        const double fGolden = (std::sqrt(5.0) - 1.0) / 2.0;
        double x1 = b - fGolden * (b - a);
        double x2 = a + fGolden * (b - a);
        double p1 = PowerAt(x1, vT, vW, vY, YYhat);
        double p2 = PowerAt(x2, vT, vW, vY, YYhat);
        for (int lStep = 0; lStep < 80 && b - a > 1e-12 * b; ++lStep) {
            if (p1 < p2) {
                a = x1;
                x1 = x2;
                p1 = p2;
                x2 = a + fGolden * (b - a);
                p2 = PowerAt(x2, vT, vW, vY, YYhat);
            } else {
                b = x2;
                x2 = x1;
                p2 = p1;
                x1 = b - fGolden * (b - a);
                p1 = PowerAt(x1, vT, vW, vY, YYhat);
            }
        }
        o.fBestFrequency = o.vFrequency[o.lBest];
        o.fBestPower = o.vPower[o.lBest];
        const double fTop = p1 > p2 ? x1 : x2;
        if (std::max(p1, p2) > o.fBestPower) {
            o.fBestFrequency = fTop;
            o.fBestPower = std::max(p1, p2);
        }
    }
    o.fFalseAlarm1Percent = BaluevFalseAlarmLevel(0.01, vT, vSigma, n, 1.0 / fShortest);
    return o;
}

namespace {

double BaluevFalseAlarmProbability(double z, double fDegreesNull, double fDegreesModel, double W)
{
    // The standard normalisation's power z of one frequency is exceeded by noise with probability
    // (1 - z)^(NK / 2); Baluev's tau counts the upcrossings over the band (A. Baluev, MNRAS 385,
    // 1279, 2008, table 1 and eq. 6).
    const double fSingle = std::pow(1.0 - z, 0.5 * fDegreesModel);
    const double fGamma = std::sqrt(2.0 / fDegreesNull) *
                          std::exp(std::lgamma(fDegreesNull / 2.0) - std::lgamma((fDegreesNull - 1.0) / 2.0));
    const double fTau = fGamma * W * std::pow(1.0 - z, 0.5 * (fDegreesModel - 1.0)) * std::sqrt(0.5 * fDegreesNull * z);
    return -std::expm1(-fTau) + fSingle * std::exp(-fTau);
}

} // namespace

double BaluevFalseAlarmLevel(double fProbability, const std::vector<double>& vT, const std::vector<double>& vSigma,
                             std::size_t n, double fMaxFrequency)
{
    // The effective time span sqrt(4 pi var(t)), the times weighted as the velocities are.
    double fWeights = 0.0;
    double fMean = 0.0;
    double fSquares = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        const double w = vSigma.empty() ? 1.0 : 1.0 / (vSigma[i] * vSigma[i]);
        const double t = vT[i] - vT[0];
        fWeights += w;
        fMean += w * t;
        fSquares += w * t * t;
    }
    fMean /= fWeights;
    const double fVariance = std::max(fSquares / fWeights - fMean * fMean, 0.0);
    const double W = fMaxFrequency * std::sqrt(4.0 * quandrel::kPi * fVariance);
    const double fNull = static_cast<double>(n) - 1.0;
    const double fModel = static_cast<double>(n) - 3.0;
    // The probability falls as z grows: bisection to the rounding of z.
    double fLow = 0.0;
    double fHigh = 1.0;
    for (int lStep = 0; lStep < 200 && fHigh - fLow > 1e-15; ++lStep) {
        const double z = 0.5 * (fLow + fHigh);
        (BaluevFalseAlarmProbability(z, fNull, fModel, W) > fProbability ? fLow : fHigh) = z;
    }
    return 0.5 * (fLow + fHigh);
}

std::int64_t DefaultPeriodogramSamples(double fTimeSpan, double fShortest, double fLongest)
{
    const double fSamples = 5.0 * fTimeSpan * (1.0 / fShortest - 1.0 / fLongest);
    if (!std::isfinite(fSamples)) {
        return 1000;
    }
    // Clamped as a double: a count beyond the integers (periods of 1e-300 days) is no cast.
    return static_cast<std::int64_t>(std::ceil(std::clamp(fSamples, 1000.0, 1000000.0)));
}
