#include "CubicSpline.h"

#include "core/Assert.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {
// The factor 1/3 of the cubic coefficients, taken in extended precision.
constexpr long double kThird = 1.0L / 3.0L;
} // namespace

void CubicSpline::Clear()
{
    m_n = 0;
    m_oPoints.SetSize(0);
    m_b.clear();
    m_c.clear();
    m_d.clear();
}

bool CubicSpline::SetPoints(const DataSeries& oPoints)
{
    const int32_t N = oPoints.GetArraySize();
    QASSERT(N>1);
    Clear();
    const std::vector<double>& x = oPoints.GetXValues();
    const std::vector<double>& y = oPoints.GetYValues();
    for (int32_t i = 0; i + 1 < N; ++i) {
        if (!(x[static_cast<std::size_t>(i + 1)] - x[static_cast<std::size_t>(i)] != 0.0)) {
            // Equal neighbours (or values that are no numbers): no spline through them.
            return false;
        }
    }
    const auto n = static_cast<std::size_t>(N - 1);
    std::vector<double> c(n + 1, 0.0);
    const std::size_t q = n - 1; // unknowns c_1 .. c_{n-1}
    if (q > 0) {
        // Row k (1 .. q): h_{k-1} c_{k-1} + 2 (x_{k+1} - x_{k-1}) c_k + h_k c_{k+1} = r_k.
        std::vector<double> vDiagonal(q);
        std::vector<double> vRight(q);
        for (std::size_t k = 1; k <= q; ++k) {
            vDiagonal[k - 1] = 2 * (x[k + 1] - x[k - 1]);
            vRight[k - 1] = 3 * ((y[k + 1] - y[k]) / (x[k + 1] - x[k]) - (y[k] - y[k - 1]) / (x[k] - x[k - 1]));
        }
        // Forward elimination along the diagonal, then back substitution.
        for (std::size_t k = 1; k < q; ++k) {
            const double fLower = x[k + 1] - x[k];     // A[k][k-1] = h_k
            const double fUpper = x[k + 1] - x[k];     // A[k-1][k] = h_k
            const double f = fLower / vDiagonal[k - 1];
            vDiagonal[k] -= f * fUpper;
            vRight[k] -= f * vRight[k - 1];
        }
        for (std::size_t k = q; k-- > 0;) {
            const double fUpper = k + 1 < q ? x[k + 2] - x[k + 1] : 0.0;
            const double fNext = k + 1 < q ? c[k + 2] : 0.0;
            if (vDiagonal[k] == 0.0) {
                std::printf("Error: matrixT::Solve(): Singular matrix!\n");
                return false;
            }
            c[k + 1] = (vRight[k] - fUpper * fNext) / vDiagonal[k];
        }
    }
    std::vector<double> b(n + 1, 0.0);
    std::vector<double> d(n + 1, 0.0);
    for (std::size_t i = 0; i < n; ++i) {
        const double h = x[i + 1] - x[i];
        b[i] = (y[i + 1] - y[i]) / h - h * (c[i + 1] - c[i]) / 3 - h * c[i];
    }
    for (std::size_t i = 1; i <= n; ++i) {
        d[i - 1] = static_cast<double>((c[i] - c[i - 1]) / (x[i] - x[i - 1]) * kThird);
    }
    m_oPoints = oPoints;
    m_b = std::move(b);
    m_c = std::move(c);
    m_d = std::move(d);
    m_n = static_cast<int32_t>(n);
    return true;
}

double CubicSpline::Interpolate(double xValue) const
{
    QASSERT(m_n>0);
    const std::vector<double>& x = m_oPoints.GetXValues();
    const std::vector<double>& y = m_oPoints.GetYValues();
    std::size_t i = 0;
    if (xValue <= x.front()) {
        i = 0;
    } else if (xValue >= x[static_cast<std::size_t>(m_n)]) {
        i = static_cast<std::size_t>(m_n) - 1;
    } else {
        // The interval with x_i <= x < x_{i+1}.
        i = static_cast<std::size_t>(std::upper_bound(x.begin(), x.end(), xValue) - x.begin()) - 1;
    }
    const double t = xValue - x[i];
    return y[i] + t * m_b[i] + t * t * m_c[i] + t * t * t * m_d[i];
}
