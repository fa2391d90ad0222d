#include "PolynomialRegression.h"

#include "core/Assert.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

bool PolynomialRegression::FitPolynomial(int32_t lOrder, const double* fXValues, const double* fYValues,
                                          int32_t lArraySize)
{
    QASSERT(fXValues!=NULL && fYValues!=NULL && lOrder>0 && lArraySize>0);
    const auto n = static_cast<uint32_t>(lOrder);
    const auto [itMin, itMax] = std::minmax_element(fXValues, fXValues + lArraySize);
    const double fCentre = (*itMin + *itMax) / 2;
    double fHalfWidth = (*itMax - *itMin) / 2;
    if (!(fHalfWidth > 0) || !std::isfinite(fHalfWidth)) {
        // All points at one position: the normal equations are singular and say so.
        fHalfWidth = 1.0;
    }
    std::vector<double> vU(static_cast<std::size_t>(lArraySize));
    for (int32_t k = 0; k < lArraySize; ++k) {
        vU[static_cast<std::size_t>(k)] = (fXValues[k] - fCentre) / fHalfWidth;
    }
    math::DenseMatrix<double> A(n + 1, n + 1);
    math::DenseMatrix<double> b(n + 1, 1);
    for (uint32_t q = 0; q <= n; ++q) {
        for (uint32_t j = 0; j <= n; ++j) {
            double fSum = 0.0;
            for (int32_t k = 0; k < lArraySize; ++k) {
                fSum += std::pow(vU[static_cast<std::size_t>(k)], static_cast<double>(q + j));
            }
            A(q, j) = fSum;
        }
        double fSum = 0.0;
        for (int32_t k = 0; k < lArraySize; ++k) {
            fSum += std::pow(vU[static_cast<std::size_t>(k)], static_cast<double>(q)) * fYValues[k];
        }
        b(q, 0) = fSum;
    }
    const std::optional<math::DenseMatrix<double>> oInverse = A.Inverse();
    if (!oInverse) {
        return false;
    }
    m_oCoefficients = *oInverse * b;
    m_fCentre = fCentre;
    m_fHalfWidth = fHalfWidth;
    m_bFitted = true;
    return true;
}

double PolynomialRegression::EvaluatePolynomial(double x) const
{
    const double xx = std::fabs(x) < 1e-12 ? 1e-12 : x;
    double fSum = 0.0;
    if (!m_bFitted) {
        return fSum;
    }
    const double u = (xx - m_fCentre) / m_fHalfWidth;
    for (uint32_t i = 0; i < m_oCoefficients.RowNo(); ++i) {
        fSum += m_oCoefficients(i, 0) * std::pow(u, static_cast<double>(i));
    }
    return fSum;
}
