// A natural cubic spline through points of strictly increasing x: on
// interval i, S(t) = y_i + b_i t + c_i t^2 + d_i t^3 with t = x - x_i, the
// second derivative 0 at both ends. The tridiagonal system of the c_i is
// solved in linear time and memory (Thomas algorithm), and the interval of
// an abscissa is found by bisection.
#pragma once

#include "core/DataSeries.h"

#include <cstdint>
#include <vector>

class CubicSpline {
public:
    // Takes the points (N > 1). False, leaving the spline empty, when
    // neighbouring x values are equal or the system cannot be solved.
    bool SetPoints(const DataSeries& oPoints);

    // S(x); below the first point the first cubic, above the last the last one.
    double Interpolate(double x) const;

    bool IsEmpty() const { return m_n == 0; }
    const std::vector<double>& Quadratic() const { return m_c; }

private:
    void Clear();

    DataSeries m_oPoints;
    int32_t m_n = 0;
    std::vector<double> m_d;
    std::vector<double> m_c;
    std::vector<double> m_b;
};
