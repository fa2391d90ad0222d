#include "OrbitLeastSquares.h"

#include "core/Constants.h"
#include "core/DenseMatrix.h"
#include "core/NumberText.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

// The six elements; the fit's vector has them first, then the offsets of the data sets after the first.
constexpr std::size_t kN = 6;
using ElementVector = std::array<double, kN>;
using Vector = std::vector<double>;
using Matrix = std::vector<double>; // square, row-major

constexpr double kDegree = quandrel::kPi / 180.0;
constexpr double kKilometresPerAu = 149597870.7;
constexpr double kMaxEccentricity = 0.9999;
// An eccentricity this close to the limit is the fit running away, not an orbit.
constexpr double kBoundEccentricity = 0.999;

// The model velocity and its derivatives by the six elements (omega in degrees) at time t.
bool ModelAndGradient(double t, const ElementVector& p, double& fModel, ElementVector& vGradient)
{
    const double P = p[0];
    const double T0 = p[1];
    const double e = p[2];
    const double w = p[3] * kDegree;
    const double K = p[4];
    double nu = 0.0;
    if (!OrbitGridSearch::SolveKepler(t, T0, P, e, nu)) {
        return false;
    }
    const double fCosNuW = std::cos(nu + w);
    const double fSinNuW = std::sin(nu + w);
    fModel = K * (fCosNuW + e * std::cos(w)) + p[5];
    const double fOneMinusE2 = 1.0 - e * e;
    const double fCosNu = std::cos(nu);
    // d nu / d M and d nu / d e at fixed mean anomaly.
    const double fDnuDM = (1.0 + e * fCosNu) * (1.0 + e * fCosNu) / (fOneMinusE2 * std::sqrt(fOneMinusE2));
    const double fDnuDe = std::sin(nu) * (2.0 + e * fCosNu) / fOneMinusE2;
    const double fDvDnu = -K * fSinNuW;
    const double fDMDT0 = -2.0 * quandrel::kPi / P;
    const double fDMDP = -2.0 * quandrel::kPi * (t - T0) / (P * P);
    vGradient[0] = fDvDnu * fDnuDM * fDMDP;
    vGradient[1] = fDvDnu * fDnuDM * fDMDT0;
    vGradient[2] = K * std::cos(w) + fDvDnu * fDnuDe;
    vGradient[3] = -K * (fSinNuW + e * std::sin(w)) * kDegree;
    vGradient[4] = fCosNuW + e * std::cos(w);
    vGradient[5] = 1.0;
    return true;
}

// The fit's own elements: P, the mean longitude lambda = M + omega at the reference time (radians),
// k = e cos omega, h = e sin omega, K1 and gamma. Unlike T0 and omega they stay defined as e goes to 0,
// where the curve is K1 cos(lambda + 2 pi (t - tref) / P) + gamma, and the fit passes through e = 0
// without a jump.
struct FitFrame {
    double fReferenceTime = 0.0;

    // The elements (P, T0, e, omega in degrees, K1, gamma) of the fit's vector q.
    ElementVector Elements(const Vector& q) const
    {
        const double e = std::hypot(q[2], q[3]);
        const double w = e > 0.0 ? std::atan2(q[3], q[2]) : 0.0;
        const double fT0 = fReferenceTime - q[0] * (q[1] - w) / (2.0 * quandrel::kPi);
        return {q[0], fT0, e, w / kDegree, q[4], q[5]};
    }

    // The fit's vector of the elements p, with lSize - 6 offsets of 0.
    Vector FitVector(const ElementVector& p, std::size_t lSize) const
    {
        const double w = p[3] * kDegree;
        const double fLambda = 2.0 * quandrel::kPi * (fReferenceTime - p[1]) / p[0] + w;
        Vector q(lSize, 0.0);
        const ElementVector aFirst{p[0], fLambda, p[2] * std::cos(w), p[2] * std::sin(w), p[4], p[5]};
        std::copy(aFirst.begin(), aFirst.end(), q.begin());
        return q;
    }
};

// The velocities to fit: times, velocities, the weight and the data set (0 .. S - 1) of each.
struct Points {
    const std::vector<double>& vT;
    const std::vector<double>& vV;
    std::vector<double> vWeight;
    std::vector<int32_t> vSet;
};

// The model velocity at t of a point of data set lSet and its derivatives by the fit's vector q, whose
// elements are p; the offset of a data set after the first is q[6 + lSet - 1].
bool FitModelAndGradient(double t, int32_t lSet, const FitFrame& oFrame, const Vector& q, const ElementVector& p,
                         double& fModel, Vector& vGradient)
{
    ElementVector vByElement{};
    if (!ModelAndGradient(t, p, fModel, vByElement)) {
        return false;
    }
    std::fill(vGradient.begin(), vGradient.end(), 0.0);
    if (lSet > 0) {
        const auto lOffset = kN + static_cast<std::size_t>(lSet) - 1;
        fModel += q[lOffset];
        vGradient[lOffset] = 1.0;
    }
    const double P = q[0];
    const double e = p[2];
    const double K = q[4];
    if (e < 1e-7) {
        // The limit of a near-circular orbit: v = K1 [cos L + k cos 2L + h sin 2L] + gamma to first order in e.
        const double fPhase = 2.0 * quandrel::kPi * (t - oFrame.fReferenceTime) / P;
        const double L = q[1] + fPhase;
        const ElementVector aCircular{K * std::sin(L) * fPhase / P, -K * std::sin(L), K * std::cos(2.0 * L),
                                      K * std::sin(2.0 * L), std::cos(L), 1.0};
        std::copy(aCircular.begin(), aCircular.end(), vGradient.begin());
        return true;
    }
    const double w = p[3] * kDegree;
    const double fByT0 = vByElement[1];
    const double fByOmega = vByElement[3] / kDegree + fByT0 * P / (2.0 * quandrel::kPi); // at fixed lambda
    vGradient[0] = vByElement[0] + fByT0 * (p[1] - oFrame.fReferenceTime) / P;
    vGradient[1] = -fByT0 * P / (2.0 * quandrel::kPi);
    vGradient[2] = vByElement[2] * std::cos(w) - fByOmega * std::sin(w) / e;
    vGradient[3] = vByElement[2] * std::sin(w) + fByOmega * std::cos(w) / e;
    vGradient[4] = vByElement[4];
    vGradient[5] = 1.0;
    return true;
}

// Weighted residuals, Jacobian products and cost at q; false where the model fails.
bool Normal(const Points& o, const FitFrame& oFrame, const Vector& q, Matrix& A, Vector& g, double& fCost)
{
    const std::size_t N = q.size();
    A.assign(N * N, 0.0);
    g.assign(N, 0.0);
    fCost = 0.0;
    Vector vGradient(N);
    const ElementVector p = oFrame.Elements(q);
    for (std::size_t i = 0; i < o.vT.size(); ++i) {
        double fModel = 0.0;
        if (!FitModelAndGradient(o.vT[i], o.vSet[i], oFrame, q, p, fModel, vGradient)) {
            return false;
        }
        const double w = o.vWeight[i];
        const double r = o.vV[i] - fModel;
        fCost += w * r * r;
        for (std::size_t a = 0; a < N; ++a) {
            g[a] += w * vGradient[a] * r;
            for (std::size_t b = a; b < N; ++b) {
                A[a * N + b] += w * vGradient[a] * vGradient[b];
            }
        }
    }
    for (std::size_t a = 0; a < N; ++a) {
        for (std::size_t b = 0; b < a; ++b) {
            A[a * N + b] = A[b * N + a];
        }
    }
    return std::isfinite(fCost);
}

// The residual of point i for the elements p and the offsets in q.
double Residual(const Points& o, std::size_t i, const ElementVector& p, const Vector& q)
{
    double nu = 0.0;
    if (!OrbitGridSearch::SolveKepler(o.vT[i], p[1], p[0], p[2], nu)) {
        return INFINITY;
    }
    const double w = p[3] * kDegree;
    const double fOffset = o.vSet[i] > 0 ? q[kN + static_cast<std::size_t>(o.vSet[i]) - 1] : 0.0;
    return o.vV[i] - (p[4] * (std::cos(nu + w) + p[2] * std::cos(w)) + p[5] + fOffset);
}

double Cost(const Points& o, const ElementVector& p, const Vector& q)
{
    double fCost = 0.0;
    for (std::size_t i = 0; i < o.vT.size(); ++i) {
        const double r = Residual(o, i, p, q);
        fCost += o.vWeight[i] * r * r;
    }
    return std::isfinite(fCost) ? fCost : INFINITY;
}

// The upper tail of the chi-square distribution with lDegrees degrees of freedom beyond fChi2, in
// standard normal deviates (Wilson and Hilferty's cube-root approximation).
double ChiSquareDeviate(double fChi2, double fDegrees)
{
    const double fSpread = 2.0 / (9.0 * fDegrees);
    return (std::cbrt(fChi2 / fDegrees) - (1.0 - fSpread)) / std::sqrt(fSpread);
}

// The inverse of a symmetric positive definite matrix (Gauss-Jordan with partial pivoting); false
// when it is singular.
bool Invert(const Matrix& A, Matrix& B)
{
    const auto N = static_cast<uint32_t>(std::lround(std::sqrt(static_cast<double>(A.size()))));
    math::DenseMatrix<double> oA(N, N);
    for (uint32_t r = 0; r < N; ++r) {
        for (uint32_t c = 0; c < N; ++c) {
            oA(r, c) = A[r * N + c];
        }
    }
    const std::optional<math::DenseMatrix<double>> oInverse = oA.Inverse();
    if (!oInverse) {
        return false;
    }
    B.assign(A.size(), 0.0);
    for (uint32_t r = 0; r < N; ++r) {
        for (uint32_t c = 0; c < N; ++c) {
            B[r * N + c] = (*oInverse)(r, c);
        }
    }
    return true;
}

// The solution of (A + lambda diag(A)) x = g.
bool Step(const Matrix& A, const Vector& g, double fLambda, Vector& x)
{
    const std::size_t N = g.size();
    Matrix M = A;
    for (std::size_t i = 0; i < N; ++i) {
        M[i * N + i] *= 1.0 + fLambda;
    }
    Matrix Inverse;
    if (!Invert(M, Inverse)) {
        return false;
    }
    x.assign(N, 0.0);
    for (std::size_t i = 0; i < N; ++i) {
        for (std::size_t j = 0; j < N; ++j) {
            x[i] += Inverse[i * N + j] * g[j];
        }
    }
    return true;
}

// The standard error of a function of the six elements with the given gradient (the offsets not in it).
double Propagated(const Matrix& C, const ElementVector& vGradient)
{
    const auto N = static_cast<std::size_t>(std::lround(std::sqrt(static_cast<double>(C.size()))));
    double s = 0.0;
    for (std::size_t a = 0; a < kN; ++a) {
        for (std::size_t b = 0; b < kN; ++b) {
            s += vGradient[a] * C[a * N + b] * vGradient[b];
        }
    }
    return std::sqrt(std::max(s, 0.0));
}

// Levenberg-Marquardt from q with the points' weights; q moves to the minimum found. The number of
// iterations taken.
int Levenberg(const Points& o, const FitFrame& oFrame, Vector& q)
{
    Matrix A;
    Vector g;
    double fCost = 0.0;
    if (!Normal(o, oFrame, q, A, g, fCost)) {
        return 0;
    }
    double fLambda = 1e-3;
    int lIteration = 0;
    for (; lIteration < 500; ++lIteration) {
        Vector x;
        bool bAccepted = false;
        while (fLambda < 1e16) {
            if (Step(A, g, fLambda, x)) {
                Vector qNew = q;
                for (std::size_t i = 0; i < q.size(); ++i) {
                    qNew[i] += x[i];
                }
                const double fNew = qNew[0] > 0 && std::hypot(qNew[2], qNew[3]) < kMaxEccentricity
                                        ? Cost(o, oFrame.Elements(qNew), qNew)
                                        : INFINITY;
                if (fNew <= fCost) {
                    const double fGain = fCost - fNew;
                    q = qNew;
                    Normal(o, oFrame, q, A, g, fCost);
                    fLambda = std::max(fLambda / 10.0, 1e-12);
                    bAccepted = true;
                    // Converged: the cost no longer falls by more than rounding.
                    if (fGain <= 1e-15 * fCost) {
                        return lIteration + 1;
                    }
                    break;
                }
            }
            fLambda *= 10.0;
        }
        if (!bAccepted) {
            break;
        }
    }
    return lIteration;
}

// The jitter of one data set by maximum likelihood: the s >= 0 that minimises
// sum r^2 / (sigma^2 + s^2) + ln(sigma^2 + s^2) over its points (golden-section search on s^2).
double MaximumLikelihoodJitter(const std::vector<double>& vResidual, const std::vector<double>& vVariance)
{
    double fLargest = 0.0;
    for (std::size_t i = 0; i < vResidual.size(); ++i) {
        fLargest = std::max(fLargest, vResidual[i] * vResidual[i] + vVariance[i]);
    }
    const auto Minus2LnL = [&](double u) -> double {
        double f = 0.0;
        for (std::size_t i = 0; i < vResidual.size(); ++i) {
            const double a = vVariance[i] + u;
            if (!(a > 0.0)) {
                return INFINITY;
            }
            f += vResidual[i] * vResidual[i] / a + std::log(a);
        }
        return f;
    };
    const double fGolden = 0.5 * (std::sqrt(5.0) - 1.0);
    double a = 0.0;
    double b = 2.0 * fLargest + 1e-30;
    double c = b - fGolden * (b - a);
    double d = a + fGolden * (b - a);
    double fc = Minus2LnL(c);
    double fd = Minus2LnL(d);
    for (int k = 0; k < 200 && b - a > 1e-15 * b; ++k) {
        if (fc <= fd) {
            b = d;
            d = c;
            fd = fc;
            c = b - fGolden * (b - a);
            fc = Minus2LnL(c);
        } else {
            a = c;
            c = d;
            fc = fd;
            d = a + fGolden * (b - a);
            fd = Minus2LnL(d);
        }
    }
    const double u = 0.5 * (a + b);
    // A jitter at the lower bound: the quoted uncertainties explain the scatter.
    return Minus2LnL(0.0) <= Minus2LnL(u) ? 0.0 : std::sqrt(u);
}

// What makes the fit doubtful, one sentence each.
void AddWarnings(LeastSquaresElements& o, std::size_t lParameters)
{
    const double e = o.afValue[LeastSquaresElements::kEccentricity];
    const double fEError = o.afError[LeastSquaresElements::kEccentricity];
    if (e >= 0.99 || !(e + fEError < 1.0)) {
        o.vWarnings.push_back("The eccentricity ran to the limit of the fit (e = " + quandrel::FormatFixed(e, 4) +
                              " +- " + quandrel::FormatGeneral(fEError, 2) +
                              "): the orbit is not determined by these measurements.");
    }
    // Lucy and Sweeney's test: a circular orbit gives a fitted e this large by chance with the
    // probability exp(-e^2 / (2 sigma_e^2)); above 5 % the eccentricity is not significant.
    if (e < 0.99 && !(e > 2.4477 * fEError)) {
        o.vWarnings.push_back("The eccentricity is not significant (e = " + quandrel::FormatGeneral(e, 3) + " +- " +
                              quandrel::FormatGeneral(fEError, 2) +
                              "; a circular orbit gives as much by chance in more than 5 % of cases): the orbit may "
                              "be circular, where T0 and omega are undefined.");
    }
    const std::pair<std::size_t, const char*> aoChecked[] = {{LeastSquaresElements::kPeriod, "P"},
                                                             {LeastSquaresElements::kK1, "K1"}};
    for (const auto& [lElement, pcName] : aoChecked) {
        if (!(o.afError[lElement] < std::fabs(o.afValue[lElement]))) {
            o.vWarnings.push_back(std::string("The error of ") + pcName + " exceeds its value (" +
                                  quandrel::FormatGeneral(o.afValue[lElement], 6) + " +- " +
                                  quandrel::FormatGeneral(o.afError[lElement], 3) + ").");
        }
    }
    const double fDegrees = static_cast<double>(o.lPoints) - static_cast<double>(lParameters);
    // Beyond 3.09 standard deviates: a chance of 1 in 1000 that the scatter is the uncertainties' alone.
    if (o.bWeighted && ChiSquareDeviate(o.fChi2Reduced * fDegrees, fDegrees) > 3.09) {
        o.vWarnings.push_back("The reduced chi-square " + quandrel::FormatGeneral(o.fChi2Reduced, 4) +
                              " is far above 1 for " + quandrel::FormatGeneral(fDegrees, 6) +
                              " degrees of freedom: the uncertainties are too small or the orbit does not fit.");
    }
}

} // namespace

OrbitElements LeastSquaresElements::Elements() const
{
    OrbitElements o;
    o.fPeriod = afValue[kPeriod];
    o.fT0 = afValue[kT0];
    o.fEccentricity = afValue[kEccentricity];
    o.fOmega = afValue[kOmega];
    o.fK1 = afValue[kK1];
    o.fGamma = afValue[kGamma];
    o.fA1SinI = fA1SinI;
    o.fRMS = fRms;
    return o;
}

std::optional<LeastSquaresElements> FitOrbitLeastSquares(const std::vector<double>& vT, const std::vector<double>& vV,
                                                       const std::vector<double>& vSigma, const OrbitElements& oStart,
                                                       std::string& sError, const OrbitDataSets* pDataSets)
{
    const std::size_t n = std::min(vT.size(), vV.size());
    const std::size_t lSets = pDataSets != nullptr ? std::max<std::size_t>(pDataSets->vName.size(), 1) : 1;
    const std::size_t N = kN + lSets - 1;
    if (n <= N) {
        sError = lSets == 1 ? "The least-squares fit of six elements needs at least 7 measurements."
                            : "The least-squares fit of six elements and " + std::to_string(lSets - 1) +
                                  " offsets needs at least " + std::to_string(N + 1) + " measurements.";
        return std::nullopt;
    }
    Points oPoints{vT, vV, std::vector<double>(n, 1.0), std::vector<int32_t>(n, 0)};
    std::vector<double> vVariance(n, 0.0);
    if (!vSigma.empty()) {
        if (vSigma.size() != n) {
            sError = "Every measurement needs its uncertainty, or none does.";
            return std::nullopt;
        }
        for (std::size_t i = 0; i < n; ++i) {
            if (!(vSigma[i] > 0) || !std::isfinite(vSigma[i])) {
                sError = "An uncertainty of a measurement is not a positive number.";
                return std::nullopt;
            }
            vVariance[i] = vSigma[i] * vSigma[i];
            oPoints.vWeight[i] = 1.0 / vVariance[i];
        }
    }
    std::vector<int32_t> vCount(lSets, 0);
    if (pDataSets != nullptr && !pDataSets->vName.empty()) {
        if (pDataSets->vIndex.size() != n) {
            sError = "Every measurement needs its data set.";
            return std::nullopt;
        }
        for (std::size_t i = 0; i < n; ++i) {
            const int32_t k = pDataSets->vIndex[i];
            if (k < 0 || static_cast<std::size_t>(k) >= lSets) {
                sError = "A measurement names a data set that is not there.";
                return std::nullopt;
            }
            oPoints.vSet[i] = k;
            ++vCount[static_cast<std::size_t>(k)];
        }
        for (std::size_t k = 0; k < lSets; ++k) {
            if (vCount[k] == 0) {
                sError = "The data set " + pDataSets->vName[k] + " has no measurement.";
                return std::nullopt;
            }
        }
    } else {
        vCount[0] = static_cast<int32_t>(n);
    }
    const bool bJitter = pDataSets != nullptr && pDataSets->bJitter;
    OrbitElements oWithK = oStart;
    OrbitGridSearch::CalculateAmplitudes(oWithK);
    ElementVector p{oStart.fPeriod, oStart.fT0, std::fabs(oStart.fEccentricity), oStart.fOmega, oWithK.fK1,
                    oStart.fGamma};
    if (oStart.fEccentricity < 0) {
        p[3] += 180.0; // a negative eccentricity is the orbit turned by half a turn
    }
    FitFrame oFrame;
    for (std::size_t i = 0; i < n; ++i) {
        oFrame.fReferenceTime += (vT[i] - vT[0]) / static_cast<double>(n);
    }
    oFrame.fReferenceTime += vT[0];
    Matrix A;
    Vector g;
    double fCost = 0.0;
    if (!(p[0] > 0) || !(p[2] < 1.0) || !std::isfinite(oFrame.fReferenceTime)) {
        sError = "The model cannot be computed for the starting orbit.";
        return std::nullopt;
    }
    Vector q = oFrame.FitVector(p, N);
    if (!Normal(oPoints, oFrame, q, A, g, fCost)) {
        sError = "The model cannot be computed for the starting orbit.";
        return std::nullopt;
    }
    // The fit, and with jitters the fit again with the jitters of its residuals until they settle.
    std::vector<double> vJitter(lSets, 0.0);
    int lIteration = Levenberg(oPoints, oFrame, q);
    for (int lRound = 0; bJitter && lRound < 100; ++lRound) {
        const ElementVector pNow = oFrame.Elements(q);
        double fChange = 0.0;
        for (std::size_t k = 0; k < lSets; ++k) {
            std::vector<double> vResidual;
            std::vector<double> vBase;
            for (std::size_t i = 0; i < n; ++i) {
                if (static_cast<std::size_t>(oPoints.vSet[i]) == k) {
                    vResidual.push_back(Residual(oPoints, i, pNow, q));
                    vBase.push_back(vVariance[i]);
                }
            }
            const double fJitter = MaximumLikelihoodJitter(vResidual, vBase);
            fChange = std::max(fChange, std::fabs(fJitter - vJitter[k]) / (std::fabs(fJitter) + 1e-12));
            vJitter[k] = fJitter;
        }
        for (std::size_t i = 0; i < n; ++i) {
            const double fJitter = vJitter[static_cast<std::size_t>(oPoints.vSet[i])];
            const double fTotal = vVariance[i] + fJitter * fJitter;
            oPoints.vWeight[i] = fTotal > 0.0 ? 1.0 / fTotal : 0.0;
        }
        if (fChange < 1e-9 && lRound > 0) {
            break;
        }
        lIteration += Levenberg(oPoints, oFrame, q);
    }
    LeastSquaresElements o;
    o.lPoints = static_cast<int32_t>(n);
    o.lIterations = std::min(lIteration, 500);
    o.bWeighted = !vSigma.empty() || bJitter;
    o.bJitter = bJitter;
    // K1 positive: a negative amplitude is omega (and lambda) turned by half a turn.
    if (q[4] < 0) {
        q[1] += quandrel::kPi;
        q[2] = -q[2];
        q[3] = -q[3];
        q[4] = -q[4];
    }
    Normal(oPoints, oFrame, q, A, g, fCost);
    Matrix C;
    if (!Invert(A, C)) {
        sError = "The elements cannot all be determined from these measurements (the fit is degenerate).";
        return std::nullopt;
    }
    o.fChi2Reduced = fCost / static_cast<double>(n - N);
    // With fitted jitters the weights carry the whole scatter: the covariance stands as it is.
    if (!bJitter) {
        for (double& c : C) {
            c *= o.fChi2Reduced;
        }
    }
    if (pDataSets != nullptr && (lSets > 1 || bJitter)) {
        for (std::size_t k = 0; k < lSets; ++k) {
            DataSetTerms oTerms;
            oTerms.sName = k < pDataSets->vName.size() ? pDataSets->vName[k] : std::string();
            oTerms.lPoints = vCount[k];
            if (k > 0) {
                const std::size_t lOffset = kN + k - 1;
                oTerms.fOffset = q[lOffset];
                oTerms.fOffsetError = std::sqrt(std::max(C[lOffset * N + lOffset], 0.0));
            }
            oTerms.fJitter = vJitter[k];
            // The Fisher information of the jitter: 2 sum s^2 / (sigma^2 + s^2)^2.
            double fInformation = 0.0;
            for (std::size_t i = 0; i < n; ++i) {
                if (static_cast<std::size_t>(oPoints.vSet[i]) == k) {
                    const double a = vVariance[i] + vJitter[k] * vJitter[k];
                    fInformation += a > 0.0 ? 2.0 * vJitter[k] * vJitter[k] / (a * a) : 0.0;
                }
            }
            oTerms.fJitterError = bJitter && fInformation > 0.0 ? 1.0 / std::sqrt(fInformation) : bJitter ? INFINITY : 0.0;
            o.vDataSets.push_back(std::move(oTerms));
        }
    }
    p = oFrame.Elements(q);
    // Omega within one turn; T0 the passage nearest the start's.
    p[3] = std::fmod(p[3], 360.0);
    if (p[3] < 0) {
        p[3] += 360.0;
    }
    if (std::isfinite(oStart.fT0)) {
        p[1] += p[0] * std::round((oStart.fT0 - p[1]) / p[0]);
    }
    const double e = p[2];
    const double w = p[3] * kDegree;
    const double fCosW = e > 0 ? std::cos(w) : 0.0;
    const double fSinW = e > 0 ? std::sin(w) : 0.0;
    const double fTurn = p[0] / (2.0 * quandrel::kPi);
    // The errors of the elements from those of the fit's vector: T0 and omega are undefined at e = 0.
    const double fPerE = e > 0 ? 1.0 / e : INFINITY;
    const std::array<ElementVector, 6> aoByElement = {
        ElementVector{1, 0, 0, 0, 0, 0},
        ElementVector{(p[1] - oFrame.fReferenceTime) / p[0], -fTurn, -fTurn * fSinW * fPerE, fTurn * fCosW * fPerE, 0, 0},
        ElementVector{0, 0, fCosW, fSinW, 0, 0},
        ElementVector{0, 0, -fSinW * fPerE / kDegree, fCosW * fPerE / kDegree, 0, 0},
        ElementVector{0, 0, 0, 0, 1, 0},
        ElementVector{0, 0, 0, 0, 0, 1}};
    for (std::size_t i = 0; i < kN; ++i) {
        o.afValue[i] = p[i];
        o.afError[i] = e > 0 || (i != LeastSquaresElements::kT0 && i != LeastSquaresElements::kOmega) ? Propagated(C, aoByElement[i]) : INFINITY;
    }
    double fSquares = 0.0;
    const OrbitElements oFitted = [&p] {
        OrbitElements e;
        e.fPeriod = p[0];
        e.fT0 = p[1];
        e.fEccentricity = p[2];
        e.fOmega = p[3];
        e.fA1SinI = OrbitGridSearch::A1SinIFromK1(p[4], p[0], p[2]);
        e.fGamma = p[5];
        return e;
    }();
    for (std::size_t i = 0; i < n; ++i) {
        const double fOffset = oPoints.vSet[i] > 0 ? q[kN + static_cast<std::size_t>(oPoints.vSet[i]) - 1] : 0.0;
        const double r = vV[i] - fOffset - OrbitGridSearch::ModelVelocity(vT[i], oFitted);
        fSquares += r * r;
    }
    o.fRms = std::sqrt(fSquares / static_cast<double>(n));

    // a1 sin i = K1 P sqrt(1 - e^2) / (2 pi), and f(M) = (1 - e^2)^(3/2) K1^3 P / (2 pi G).
    const double P = p[0];
    const double K = p[4];
    const double fOneMinusE2 = 1.0 - e * e;
    o.fA1SinI = OrbitGridSearch::A1SinIFromK1(K, P, e);
    const double fA1ByE = -o.fA1SinI * e / fOneMinusE2;
    o.fA1SinIError = Propagated(C, {o.fA1SinI / P, 0.0, fA1ByE * fCosW, fA1ByE * fSinW, o.fA1SinI / K, 0.0});
    o.fA1SinIAu = o.fA1SinI / kKilometresPerAu;
    o.fA1SinIAuError = o.fA1SinIError / kKilometresPerAu;
    o.fMassFunction = OrbitGridSearch::MassFunctionFromK1(K, P, e);
    const double fMassByE = -3.0 * e * o.fMassFunction / fOneMinusE2;
    o.fMassFunctionError =
        Propagated(C, {o.fMassFunction / P, 0.0, fMassByE * fCosW, fMassByE * fSinW, 3.0 * o.fMassFunction / K, 0.0});
    if (e >= kBoundEccentricity) {
        // On the bound the covariance says nothing about the elements: no error is honest.
        for (std::size_t i = LeastSquaresElements::kT0; i < LeastSquaresElements::kGamma; ++i) {
            o.afError[i] = INFINITY;
        }
        o.fA1SinIError = o.fA1SinIAuError = o.fMassFunctionError = INFINITY;
    }
    AddWarnings(o, N);
    return o;
}
