// The natural cubic spline: exact cases and agreement with the dense solve.
#include "core/DenseMatrix.h"
#include "crosscorr/CubicSpline.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

DataSeries Points(const std::vector<double>& vX, const std::vector<double>& vY)
{
    DataSeries o;
    o.SetValues(vX.data(), vY.data(), static_cast<int32_t>(vX.size()));
    return o;
}

} // namespace

TEST(CubicSpline, LinesAndEnds)
{
    CubicSpline oTwo;
    ASSERT_TRUE(oTwo.SetPoints(Points({1.0, 3.0}, {10.0, 20.0})));
    EXPECT_DOUBLE_EQ(oTwo.Interpolate(2.0), 15.0);
    EXPECT_DOUBLE_EQ(oTwo.Interpolate(-1.0), 0.0) << "extrapolated beyond both ends";
    EXPECT_DOUBLE_EQ(oTwo.Interpolate(5.0), 30.0);

    CubicSpline oLine;
    ASSERT_TRUE(oLine.SetPoints(Points({0, 1, 2.5, 4, 7}, {1, 3, 6, 9, 15})));
    for (const double c : oLine.Quadratic()) {
        EXPECT_NEAR(c, 0.0, 1e-12);
    }
    EXPECT_NEAR(oLine.Interpolate(5.5), 12.0, 1e-12);

    CubicSpline oCurve;
    const std::vector<double> vX = {0.0, 0.7, 1.5, 2.0, 3.1};
    const std::vector<double> vY = {0.0, 0.5, -0.3, 0.8, 0.1};
    ASSERT_TRUE(oCurve.SetPoints(Points(vX, vY)));
    EXPECT_EQ(oCurve.Interpolate(0.0), 0.0);
    EXPECT_NEAR(oCurve.Interpolate(3.1), 0.1, 1e-12);
    EXPECT_NEAR(oCurve.Interpolate(1.5), -0.3, 1e-12);
    EXPECT_EQ(oCurve.Quadratic().front(), 0.0) << "natural ends";
    EXPECT_EQ(oCurve.Quadratic().back(), 0.0);

    CubicSpline oEqual;
    EXPECT_FALSE(oEqual.SetPoints(Points({0, 1, 1, 2}, {0, 1, 2, 3})));
    EXPECT_TRUE(oEqual.IsEmpty());
    EXPECT_DEATH(oEqual.Interpolate(0.5), "Assertion failed: m_n>0, file CubicSpline\\.cpp");
}

TEST(CubicSpline, TridiagonalSolveAgreesWithTheDenseSolve)
{
    std::mt19937 oRandom(31);
    std::uniform_real_distribution<double> oUnit(0.0, 1.0);
    for (int n : {3, 4, 10, 60, 300}) {
        std::vector<double> vX(static_cast<std::size_t>(n));
        std::vector<double> vY(static_cast<std::size_t>(n));
        double x = 6000.0;
        for (int i = 0; i < n; ++i) {
            x += 0.05 + oUnit(oRandom);
            vX[static_cast<std::size_t>(i)] = x;
            vY[static_cast<std::size_t>(i)] = std::sin(x) + oUnit(oRandom);
        }
        CubicSpline oSpline;
        ASSERT_TRUE(oSpline.SetPoints(Points(vX, vY)));
        // The system of the program's description, solved densely.
        const auto q = static_cast<uint32_t>(n - 2);
        math::DenseMatrix<double> A(q, q);
        math::DenseMatrix<double> r(q, 1);
        for (uint32_t k = 1; k <= q; ++k) {
            for (uint32_t j = 0; j < q; ++j) {
                A(k - 1, j) = 0.0;
            }
            if (k > 1) {
                A(k - 1, k - 2) = vX[k] - vX[k - 1];
            }
            A(k - 1, k - 1) = 2 * (vX[k + 1] - vX[k - 1]);
            if (k < q) {
                A(k - 1, k) = vX[k + 1] - vX[k];
            }
            r(k - 1, 0) = 3 * ((vY[k + 1] - vY[k]) / (vX[k + 1] - vX[k]) - (vY[k] - vY[k - 1]) / (vX[k] - vX[k - 1]));
        }
        const math::DenseMatrix<double> s = *A.Solve(r);
        for (uint32_t k = 1; k <= q; ++k) {
            const double fDense = s(k - 1, 0);
            EXPECT_NEAR(oSpline.Quadratic()[k], fDense, 1e-10 * (1.0 + std::fabs(fDense))) << n << " " << k;
        }
    }
}
