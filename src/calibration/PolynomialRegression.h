// A least-squares polynomial through points, from the normal equations
// (A c = b with A_qj = sum u^(q+j), b_q = sum u^q y). The polynomial is kept
// in u = (x - centre) / half-width of the points' x range, so that the
// normal equations stay well conditioned for positions far from 0 (pixels
// in the thousands, wavelengths in angstrom) at every degree up to 4.
#pragma once

#include "core/DenseMatrix.h"

#include <cstdint>

class PolynomialRegression {
public:
    PolynomialRegression() : m_oCoefficients(6, 6) {}

    // Fits a polynomial of degree lOrder to lArraySize points; false (the polynomial as it was) when
    // the normal equations are singular.
    bool FitPolynomial(int32_t lOrder, const double* fXValues, const double* fYValues, int32_t lArraySize);

    // The polynomial at x (x is taken as 1e-12 when it is closer to 0).
    double EvaluatePolynomial(double x) const;

    // True once a polynomial has been fitted.
    bool IsFitted() const { return m_bFitted; }

private:
    math::DenseMatrix<double> m_oCoefficients;
    double m_fCentre = 0.0;
    double m_fHalfWidth = 1.0;
    bool m_bFitted = false;
};
