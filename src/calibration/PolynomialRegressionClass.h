// A least-squares polynomial y(x) = sum c_i x^i through points, from the
// normal equations (A c = b with A_qj = sum x^(q+j), b_q = sum x^q y).
#pragma once

#include "MathMatrix.h"

#include <cstdint>

class CPolynomialRegression {
public:
    CPolynomialRegression() : m_oCoefficients(6, 6) {}

    // Fits a polynomial of degree lOrder to lArraySize points; raises
    // math::matrix_error when the normal equations are singular.
    void FitPolynomial(int32_t lOrder, const double* fXValues, const double* fYValues, int32_t lArraySize);

    // The polynomial at x (x is taken as 1e-12 when it is closer to 0).
    double EvaluatePolynomial(double x) const;

    // True once a polynomial has been fitted.
    bool IsFitted() const { return m_bFitted; }

private:
    math::matrix<double> m_oCoefficients;
    bool m_bFitted = false;
};
