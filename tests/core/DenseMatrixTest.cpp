// The dense matrix: range checks, copy on write, inverse, product and solve, none of them for a
// singular matrix, with the messages of misuse.
#include "core/DenseMatrix.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

using Matrix = math::DenseMatrix<double>;

namespace {

Matrix Make(const std::vector<std::vector<double>>& vRows)
{
    Matrix o(static_cast<uint32_t>(vRows.size()), static_cast<uint32_t>(vRows.empty() ? 0 : vRows[0].size()));
    for (uint32_t i = 0; i < o.RowNo(); ++i) {
        for (uint32_t j = 0; j < o.ColNo(); ++j) {
            o(i, j) = vRows[i][j];
        }
    }
    return o;
}

std::string ErrorOf(const std::function<void()>& fnAction)
{
    try {
        fnAction();
    } catch (const math::DenseMatrixError& oError) {
        return oError.what();
    }
    return "no error";
}

} // namespace

TEST(MathMatrix, ElementAccessIsRangeChecked)
{
    Matrix o(2, 3);
    EXPECT_EQ(ErrorOf([&] { o(2, 0); }), "matrixT::operator(): Index out of range!");
    EXPECT_EQ(ErrorOf([&] { o(0, 3); }), "matrixT::operator(): Index out of range!");
    EXPECT_EQ(ErrorOf([&] { o(static_cast<uint32_t>(-1), 0); }), "matrixT::operator(): Index out of range!");
    const Matrix& oConst = o;
    EXPECT_EQ(ErrorOf([&] { oConst(0, 5); }), "matrixT::operator(): Index out of range!");
    EXPECT_NO_THROW(o(1, 2) = 5.0);
    const math::DenseMatrixError oError("x");
    const std::logic_error& oBase = oError;
    EXPECT_STREQ(oBase.what(), "x");
}

TEST(MathMatrix, CopiesShareUntilOneIsWritten)
{
    Matrix oA = Make({{1, 2}, {3, 4}});
    Matrix oB = oA;
    EXPECT_TRUE(oA.IsShared());
    oB(0, 0) = 99.0;
    EXPECT_FALSE(oA.IsShared());
    EXPECT_EQ(oA(0, 0), 1.0);
    EXPECT_EQ(oB(0, 0), 99.0);

    Matrix oC(1, 1);
    oC = oA;
    EXPECT_TRUE(oA.IsShared());
    oA(1, 1) = -4.0;
    EXPECT_EQ(oC(1, 1), 4.0);

    Matrix oD = oC;
    oD.Unit();
    EXPECT_EQ(oC(0, 1), 2.0);
    EXPECT_EQ(oD(0, 1), 0.0);
    EXPECT_EQ(oD(1, 1), 1.0);

    Matrix oWide = Make({{1, 2, 3}, {4, 5, 6}});
    oWide.Unit();
    EXPECT_EQ(oWide.RowNo(), 2U);
    EXPECT_EQ(oWide.ColNo(), 2U);
}

TEST(MathMatrix, InverseSwapsRowsAndReportsSingularAndNonSquare)
{
    const Matrix oSwap = Make({{0, 1}, {1, 0}});
    const Matrix oInverse = *oSwap.Inverse();
    EXPECT_EQ(oInverse(0, 0), 0.0);
    EXPECT_EQ(oInverse(0, 1), 1.0);
    EXPECT_EQ(oInverse(1, 0), 1.0);
    EXPECT_EQ(oInverse(1, 1), 0.0);
    EXPECT_EQ(oSwap(0, 1), 1.0) << "the operand is left alone";

    EXPECT_FALSE(Make({{1, 2}, {2, 4}}).Inverse());
    EXPECT_EQ(ErrorOf([] { Make({{1, 2, 3}, {4, 5, 6}}).Inverse(); }), "DenseMatrix::Inverse: not a square matrix");
}

TEST(MathMatrix, InverseTimesMatrixIsTheIdentity)
{
    std::mt19937 oRandom(11);
    std::uniform_real_distribution<double> oValue(-10.0, 10.0);
    for (uint32_t n : {1U, 3U, 5U, 8U}) {
        Matrix oA(n, n);
        for (uint32_t i = 0; i < n; ++i) {
            for (uint32_t j = 0; j < n; ++j) {
                oA(i, j) = oValue(oRandom);
            }
        }
        const Matrix oProduct = oA * *oA.Inverse();
        for (uint32_t i = 0; i < n; ++i) {
            for (uint32_t j = 0; j < n; ++j) {
                EXPECT_NEAR(oProduct(i, j), i == j ? 1.0 : 0.0, 1e-10) << n << ": " << i << "," << j;
            }
        }
    }
}

TEST(MathMatrix, ProductSumsInOrderAndChecksSizes)
{
    const Matrix oA = Make({{1, 2, 3}, {4, 5, 6}});
    const Matrix oB = Make({{7, 8}, {9, 10}, {11, 12}});
    const Matrix oC = oA * oB;
    ASSERT_EQ(oC.RowNo(), 2U);
    ASSERT_EQ(oC.ColNo(), 2U);
    EXPECT_EQ(oC(0, 0), 58.0);
    EXPECT_EQ(oC(0, 1), 64.0);
    EXPECT_EQ(oC(1, 0), 139.0);
    EXPECT_EQ(oC(1, 1), 154.0);
    EXPECT_EQ(oA(0, 0), 1.0);

    Matrix oLeft = oA;
    EXPECT_EQ(ErrorOf([&] { oLeft *= oA; }), "matrixT::operator*= : Inconsistent matrix sizes in multiplication!");
    EXPECT_EQ(oLeft.RowNo(), 2U) << "a failed product leaves the matrix as it was";
    EXPECT_EQ(oLeft(1, 2), 6.0);
}

TEST(MathMatrix, SolveEliminatesWithPivotingAndChecksShapes)
{
    const Matrix oX = *Make({{2, 0}, {0, 4}}).Solve(Make({{2}, {8}}));
    EXPECT_EQ(oX(0, 0), 1.0);
    EXPECT_EQ(oX(1, 0), 2.0);

    // Needs a row swap; two right-hand sides.
    const Matrix oA = Make({{0, 2, 1}, {1, 1, 1}, {2, 1, 0}});
    const Matrix oB = Make({{7, 1}, {6, 2}, {4, 3}});
    const Matrix oSolution = *oA.Solve(oB);
    const Matrix oCheck = oA * oSolution;
    for (uint32_t i = 0; i < 3; ++i) {
        for (uint32_t j = 0; j < 2; ++j) {
            EXPECT_NEAR(oCheck(i, j), oB(i, j), 1e-12);
        }
    }
    EXPECT_NEAR(oSolution(0, 0), 1.0, 1e-12);
    EXPECT_NEAR(oSolution(1, 0), 2.0, 1e-12);
    EXPECT_NEAR(oSolution(2, 0), 3.0, 1e-12);

    EXPECT_FALSE(Make({{1, 2}, {2, 4}}).Solve(Make({{1}, {2}})));
    EXPECT_EQ(ErrorOf([] { Make({{1, 2}, {2, 4}}).Solve(Make({{1}, {2}, {3}})); }),
              "matrixT::Solve():Inconsistent matrices!");
    EXPECT_EQ(ErrorOf([] { Make({{1, 2, 3}, {4, 5, 6}}).Solve(Make({{1}, {2}})); }),
              "matrixT::Solve():Inconsistent matrices!");
}
