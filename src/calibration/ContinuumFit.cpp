#include "ContinuumFit.h"

#include "core/DenseMatrix.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

// Chebyshev polynomials T0 .. Tn at x in [-1, 1].
void Chebyshev(double x, int32_t n, std::vector<double>& vT)
{
    vT.resize(static_cast<std::size_t>(n) + 1);
    vT[0] = 1.0;
    if (n >= 1) {
        vT[1] = x;
    }
    for (int32_t k = 2; k <= n; ++k) {
        vT[static_cast<std::size_t>(k)] = 2.0 * x * vT[static_cast<std::size_t>(k - 1)] - vT[static_cast<std::size_t>(k - 2)];
    }
}

// Solves the m x m system A c = b (A by rows) into b; false when it is singular.
bool Solve(const std::vector<double>& A, std::vector<double>& b, std::size_t m)
{
    const auto n = static_cast<uint32_t>(m);
    math::DenseMatrix<double> oA(n, n);
    math::DenseMatrix<double> oB(n, 1);
    for (uint32_t r = 0; r < n; ++r) {
        for (uint32_t c = 0; c < n; ++c) {
            oA(r, c) = A[r * m + c];
        }
        oB(r, 0) = b[r];
    }
    const std::optional<math::DenseMatrix<double>> oX = oA.Solve(oB);
    if (!oX) {
        return false;
    }
    for (uint32_t r = 0; r < n; ++r) {
        b[r] = (*oX)(r, 0);
    }
    return true;
}

} // namespace

quandrel::Result<ContinuumFit> FitContinuum(const std::vector<double>& vWavelength, const std::vector<double>& vIntensity,
                                          const ContinuumOptions& o)
{
    const std::size_t n = std::min(vWavelength.size(), vIntensity.size());
    if (o.lOrder < 0 || o.lOrder > ContinuumOptions::kMaxOrder) {
        return quandrel::Failure("The order of the continuum must lie between 0 and " + std::to_string(ContinuumOptions::kMaxOrder) + ".");
    }
    if (!(o.fSigma >= 0.5) || !std::isfinite(o.fSigma)) {
        return quandrel::Failure("The rejection limit must be at least 0.5 standard deviations.");
    }
    const auto m = static_cast<std::size_t>(o.lOrder) + 1;
    if (n < 2 * m || !(vWavelength[n - 1] > vWavelength[0])) {
        return quandrel::Failure("The spectrum has too few samples for a continuum of order " + std::to_string(o.lOrder) + ".");
    }
    // The wavelengths mapped onto [-1, 1], where Chebyshev polynomials keep the fit well conditioned.
    const double fMiddle = 0.5 * (vWavelength[0] + vWavelength[n - 1]);
    const double fHalf = 0.5 * (vWavelength[n - 1] - vWavelength[0]);
    std::vector<char> vKept(n, 1);
    std::vector<double> vT;
    ContinuumFit oFit;
    oFit.vContinuum.assign(n, 0.0);
    for (int32_t lIteration = 1; lIteration <= ContinuumOptions::kMaxIterations; ++lIteration) {
        std::vector<double> A(m * m, 0.0);
        std::vector<double> b(m, 0.0);
        std::size_t lCount = 0;
        for (std::size_t i = 0; i < n; ++i) {
            if (vKept[i] == 0) {
                continue;
            }
            Chebyshev((vWavelength[i] - fMiddle) / fHalf, o.lOrder, vT);
            for (std::size_t r = 0; r < m; ++r) {
                for (std::size_t c = r; c < m; ++c) {
                    A[r * m + c] += vT[r] * vT[c];
                }
                b[r] += vT[r] * vIntensity[i];
            }
            ++lCount;
        }
        for (std::size_t r = 0; r < m; ++r) {
            for (std::size_t c = 0; c < r; ++c) {
                A[r * m + c] = A[c * m + r];
            }
        }
        if (lCount < m || !Solve(A, b, m)) {
            return quandrel::Failure("Too few samples are left for a continuum of order " + std::to_string(o.lOrder) +
                     "; allow more scatter (a larger limit) or a lower order.");
        }
        double fSquares = 0.0;
        for (std::size_t i = 0; i < n; ++i) {
            Chebyshev((vWavelength[i] - fMiddle) / fHalf, o.lOrder, vT);
            double c = 0.0;
            for (std::size_t k = 0; k < m; ++k) {
                c += b[k] * vT[k];
            }
            oFit.vContinuum[i] = c;
            if (vKept[i] != 0) {
                fSquares += (vIntensity[i] - c) * (vIntensity[i] - c);
            }
        }
        oFit.lKept = static_cast<int32_t>(lCount);
        oFit.lIterations = lIteration;
        oFit.fScatter = std::sqrt(fSquares / static_cast<double>(std::max<std::size_t>(lCount - 1, 1)));
        // The samples of the next fit: all but those beyond k sigma on the side of the lines.
        bool bChanged = false;
        for (std::size_t i = 0; i < n; ++i) {
            const double r = vIntensity[i] - oFit.vContinuum[i];
            const char cKeep = (o.bEmission ? r : -r) > o.fSigma * oFit.fScatter ? 0 : 1;
            bChanged = bChanged || cKeep != vKept[i];
            vKept[i] = cKeep;
        }
        if (!bChanged) {
            break;
        }
    }
    if (!std::all_of(oFit.vContinuum.begin(), oFit.vContinuum.end(), [](double c) { return c > 0 && std::isfinite(c); })) {
        return quandrel::Failure("The continuum reaches 0 or below; the spectrum cannot be divided by it.");
    }
    return oFit;
}
