#include "OrbitLeastSquares.h"

#include "core/Constants.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr std::size_t kN = 6;
using Vector = std::array<double, kN>;
using Matrix = std::array<double, kN * kN>;

constexpr double kDegree = quandrel::kPi / 180.0;
// G times the mass of the Sun, m^3 s^-2 (IAU 2015 nominal value).
constexpr double kGMSun = 1.3271244e20;
constexpr double kKilometresPerAu = 149597870.7;
constexpr double kMaxEccentricity = 0.9999;

// The model velocity and its derivatives by the six elements (omega in degrees) at time t.
bool ModelAndGradient(double t, const Vector& p, double& fModel, Vector& vGradient)
{
    const double P = p[0];
    const double T0 = p[1];
    const double e = p[2];
    const double w = p[3] * kDegree;
    const double K = p[4];
    double nu = 0.0;
    if (!COrbitalElements::SolveKepler(t, T0, P, e, nu)) {
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

// Weighted residuals, Jacobian products and cost at p; false where the model fails.
bool Normal(const std::vector<double>& vT, const std::vector<double>& vV, const std::vector<double>& vWeight,
            const Vector& p, Matrix& A, Vector& g, double& fCost)
{
    A.fill(0.0);
    g.fill(0.0);
    fCost = 0.0;
    Vector vGradient{};
    for (std::size_t i = 0; i < vT.size(); ++i) {
        double fModel = 0.0;
        if (!ModelAndGradient(vT[i], p, fModel, vGradient)) {
            return false;
        }
        const double w = vWeight[i];
        const double r = vV[i] - fModel;
        fCost += w * r * r;
        for (std::size_t a = 0; a < kN; ++a) {
            g[a] += w * vGradient[a] * r;
            for (std::size_t b = a; b < kN; ++b) {
                A[a * kN + b] += w * vGradient[a] * vGradient[b];
            }
        }
    }
    for (std::size_t a = 0; a < kN; ++a) {
        for (std::size_t b = 0; b < a; ++b) {
            A[a * kN + b] = A[b * kN + a];
        }
    }
    return std::isfinite(fCost);
}

double Cost(const std::vector<double>& vT, const std::vector<double>& vV, const std::vector<double>& vWeight,
            const Vector& p)
{
    double fCost = 0.0;
    for (std::size_t i = 0; i < vT.size(); ++i) {
        double nu = 0.0;
        if (!COrbitalElements::SolveKepler(vT[i], p[1], p[0], p[2], nu)) {
            return INFINITY;
        }
        const double w = p[3] * kDegree;
        const double r = vV[i] - (p[4] * (std::cos(nu + w) + p[2] * std::cos(w)) + p[5]);
        fCost += vWeight[i] * r * r;
    }
    return fCost;
}

// The inverse of a symmetric positive definite matrix by Gauss-Jordan with partial pivoting; false
// when it is singular.
bool Invert(Matrix A, Matrix& B)
{
    B.fill(0.0);
    for (std::size_t i = 0; i < kN; ++i) {
        B[i * kN + i] = 1.0;
    }
    for (std::size_t k = 0; k < kN; ++k) {
        std::size_t lPivot = k;
        for (std::size_t r = k + 1; r < kN; ++r) {
            if (std::fabs(A[r * kN + k]) > std::fabs(A[lPivot * kN + k])) {
                lPivot = r;
            }
        }
        if (!(std::fabs(A[lPivot * kN + k]) > 0.0)) {
            return false;
        }
        for (std::size_t c = 0; c < kN; ++c) {
            std::swap(A[k * kN + c], A[lPivot * kN + c]);
            std::swap(B[k * kN + c], B[lPivot * kN + c]);
        }
        const double fPivot = A[k * kN + k];
        for (std::size_t c = 0; c < kN; ++c) {
            A[k * kN + c] /= fPivot;
            B[k * kN + c] /= fPivot;
        }
        for (std::size_t r = 0; r < kN; ++r) {
            if (r == k) {
                continue;
            }
            const double f = A[r * kN + k];
            for (std::size_t c = 0; c < kN; ++c) {
                A[r * kN + c] -= f * A[k * kN + c];
                B[r * kN + c] -= f * B[k * kN + c];
            }
        }
    }
    return true;
}

// The solution of (A + lambda diag(A)) x = g.
bool Step(const Matrix& A, const Vector& g, double fLambda, Vector& x)
{
    Matrix M = A;
    for (std::size_t i = 0; i < kN; ++i) {
        M[i * kN + i] *= 1.0 + fLambda;
    }
    Matrix Inverse{};
    if (!Invert(M, Inverse)) {
        return false;
    }
    for (std::size_t i = 0; i < kN; ++i) {
        x[i] = 0.0;
        for (std::size_t j = 0; j < kN; ++j) {
            x[i] += Inverse[i * kN + j] * g[j];
        }
    }
    return true;
}

// The same orbit with e >= 0: a negative eccentricity is the orbit turned by half a turn.
void Canonical(Vector& p)
{
    if (p[2] < 0) {
        p[2] = -p[2];
        p[3] += 180.0;
    }
}

double Propagated(const Matrix& C, const Vector& vGradient)
{
    double s = 0.0;
    for (std::size_t a = 0; a < kN; ++a) {
        for (std::size_t b = 0; b < kN; ++b) {
            s += vGradient[a] * C[a * kN + b] * vGradient[b];
        }
    }
    return std::sqrt(std::max(s, 0.0));
}

} // namespace

SOrbitalElements SLeastSquaresOrbit::Elements() const
{
    SOrbitalElements o;
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

std::optional<SLeastSquaresOrbit> FitOrbitLeastSquares(const std::vector<double>& vT, const std::vector<double>& vV,
                                                       const std::vector<double>& vSigma, const SOrbitalElements& oStart,
                                                       std::string& sError)
{
    const std::size_t n = std::min(vT.size(), vV.size());
    if (n <= kN) {
        sError = "The least-squares fit of six elements needs at least 7 measurements.";
        return std::nullopt;
    }
    std::vector<double> vWeight(n, 1.0);
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
            vWeight[i] = 1.0 / (vSigma[i] * vSigma[i]);
        }
    }
    SOrbitalElements oWithK = oStart;
    COrbitalElements::CalculateAmplitudes(oWithK);
    Vector p{oStart.fPeriod, oStart.fT0, oStart.fEccentricity, oStart.fOmega, oWithK.fK1, oStart.fGamma};
    Canonical(p);
    Matrix A{};
    Vector g{};
    double fCost = 0.0;
    if (!(p[0] > 0) || !(p[2] < 1.0) || !Normal(vT, vV, vWeight, p, A, g, fCost)) {
        sError = "The model cannot be computed for the starting orbit.";
        return std::nullopt;
    }
    double fLambda = 1e-3;
    int lIteration = 0;
    for (; lIteration < 500; ++lIteration) {
        Vector x{};
        bool bAccepted = false;
        while (fLambda < 1e16) {
            if (Step(A, g, fLambda, x)) {
                Vector q = p;
                for (std::size_t i = 0; i < kN; ++i) {
                    q[i] += x[i];
                }
                Canonical(q);
                const double fNew = q[0] > 0 && q[2] < kMaxEccentricity ? Cost(vT, vV, vWeight, q) : INFINITY;
                if (fNew <= fCost) {
                    const double fGain = fCost - fNew;
                    p = q;
                    Normal(vT, vV, vWeight, p, A, g, fCost);
                    fLambda = std::max(fLambda / 10.0, 1e-12);
                    bAccepted = true;
                    // Converged: the cost no longer falls by more than rounding.
                    if (fGain <= 1e-15 * fCost) {
                        lIteration = 1000;
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
    SLeastSquaresOrbit o;
    o.lPoints = static_cast<int32_t>(n);
    o.lIterations = std::min(lIteration, 500);
    // Omega within one turn; K1 positive (a negative amplitude is omega turned by half a turn).
    if (p[4] < 0) {
        p[4] = -p[4];
        p[3] += 180.0;
    }
    p[3] = std::fmod(p[3], 360.0);
    if (p[3] < 0) {
        p[3] += 360.0;
    }
    Normal(vT, vV, vWeight, p, A, g, fCost);
    Matrix C{};
    if (!Invert(A, C)) {
        sError = "The elements cannot all be determined from these measurements (the fit is degenerate).";
        return std::nullopt;
    }
    o.fChi2Reduced = fCost / static_cast<double>(n - kN);
    for (double& c : C) {
        c *= o.fChi2Reduced;
    }
    for (std::size_t i = 0; i < kN; ++i) {
        o.afValue[i] = p[i];
        o.afError[i] = std::sqrt(std::max(C[i * kN + i], 0.0));
    }
    double fSquares = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        const double r = vV[i] - COrbitalElements::ModelVelocity(vT[i], [&] {
            SOrbitalElements e;
            e.fPeriod = p[0];
            e.fT0 = p[1];
            e.fEccentricity = p[2];
            e.fOmega = p[3];
            e.fA1SinI = COrbitalElements::A1SinIFromK1(p[4], p[0], p[2]);
            e.fGamma = p[5];
            return e;
        }());
        fSquares += r * r;
    }
    o.fRms = std::sqrt(fSquares / static_cast<double>(n));

    // a1 sin i = K1 P sqrt(1 - e^2) / (2 pi), and f(M) = (1 - e^2)^(3/2) K1^3 P / (2 pi G).
    const double P = p[0];
    const double e = p[2];
    const double K = p[4];
    const double fOneMinusE2 = 1.0 - e * e;
    o.fA1SinI = COrbitalElements::A1SinIFromK1(K, P, e);
    o.fA1SinIError = Propagated(C, {o.fA1SinI / P, 0.0, -o.fA1SinI * e / fOneMinusE2, 0.0, o.fA1SinI / K, 0.0});
    o.fA1SinIAu = o.fA1SinI / kKilometresPerAu;
    o.fA1SinIAuError = o.fA1SinIError / kKilometresPerAu;
    const double fK = K * 1000.0;
    const double fSeconds = P * quandrel::kSecondsPerDay;
    o.fMassFunction = std::pow(fOneMinusE2, 1.5) * fK * fK * fK * fSeconds / (2.0 * quandrel::kPi * kGMSun);
    o.fMassFunctionError = Propagated(
        C, {o.fMassFunction / P, 0.0, -3.0 * e * o.fMassFunction / fOneMinusE2, 0.0, 3.0 * o.fMassFunction / K, 0.0});
    return o;
}
