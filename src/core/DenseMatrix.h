// The program's dense linear algebra: a small matrix with a shared representation (copy on write),
// element access with range checking, the Gauss-Jordan inverse, the product and the solution of
// linear systems by Gaussian elimination with partial pivoting. The wavelength calibration, the
// continuum and the orbit's least squares all solve through it. A singular matrix gives no inverse
// or solution (an empty optional); misuse (an index out of range, sizes that do not fit) raises
// math::DenseMatrixError.
#pragma once

#include <cmath>
#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace math {

class DenseMatrixError : public std::logic_error {
public:
    explicit DenseMatrixError(const std::string& sWhat) : std::logic_error(sWhat) {}
};

template <typename T>
class DenseMatrix {
public:
    // The shared representation: rows of values, shared by copies until one of them is changed.
    struct Storage {
        std::vector<std::vector<T>> Val;
        uint32_t Row = 0;
        uint32_t Col = 0;
        Storage(uint32_t lRows, uint32_t lColumns)
            : Val(lRows, std::vector<T>(lColumns, T(0))), Row(lRows), Col(lColumns)
        {
        }
    };

    DenseMatrix(uint32_t lRows, uint32_t lColumns) : m_pRep(std::make_shared<Storage>(lRows, lColumns)) {}

    // Element (row, column). Detaches a shared representation first.
    T& operator()(uint32_t lRow, uint32_t lColumn)
    {
        if (lRow >= m_pRep->Row || lColumn >= m_pRep->Col) {
            throw DenseMatrixError("matrixT::operator(): Index out of range!");
        }
        Detach();
        return m_pRep->Val[lRow][lColumn];
    }

    // Reading an element of a constant matrix never needs a private copy.
    T operator()(uint32_t lRow, uint32_t lColumn) const
    {
        if (lRow >= m_pRep->Row || lColumn >= m_pRep->Col) {
            throw DenseMatrixError("matrixT::operator(): Index out of range!");
        }
        return m_pRep->Val[lRow][lColumn];
    }

    uint32_t RowNo() const { return m_pRep->Row; }
    uint32_t ColNo() const { return m_pRep->Col; }

    // True while this matrix shares its representation with another.
    bool IsShared() const { return m_pRep.use_count() > 1; }

    // Makes the matrix square (the smaller size) and the identity.
    void Unit()
    {
        Detach();
        const uint32_t n = std::min(m_pRep->Row, m_pRep->Col);
        Storage oUnit(n, n);
        for (uint32_t i = 0; i < n; ++i) {
            oUnit.Val[i][i] = T(1);
        }
        *m_pRep = std::move(oUnit);
    }

    // The inverse (Gauss-Jordan with partial pivoting); none when the matrix is singular.
    std::optional<DenseMatrix> Inverse() const
    {
        if (RowNo() != ColNo()) {
            throw DenseMatrixError("DenseMatrix::Inverse: not a square matrix");
        }
        const uint32_t n = RowNo();
        Storage oA = *m_pRep;
        DenseMatrix oResult(n, n);
        oResult.Unit();
        Storage& oR = *oResult.m_pRep;
        for (uint32_t i = 0; i < n; ++i) {
            const int64_t lPivot = Pivot(oA, i);
            if (lPivot < 0) {
                return std::nullopt;
            }
            if (lPivot > 0) {
                std::swap(oR.Val[i], oR.Val[static_cast<uint32_t>(lPivot)]);
            }
            const T fPivot = oA.Val[i][i];
            for (uint32_t j = 0; j < n; ++j) {
                oA.Val[i][j] /= fPivot;
                oR.Val[i][j] /= fPivot;
            }
            for (uint32_t k = 0; k < n; ++k) {
                if (k == i) {
                    continue;
                }
                const T f = oA.Val[k][i];
                for (uint32_t j = 0; j < n; ++j) {
                    oA.Val[k][j] -= f * oA.Val[i][j];
                    oR.Val[k][j] -= f * oR.Val[i][j];
                }
            }
        }
        return oResult;
    }

    DenseMatrix& operator*=(const DenseMatrix& oOther)
    {
        if (ColNo() != oOther.RowNo()) {
            throw DenseMatrixError("matrixT::operator*= : Inconsistent matrix sizes in multiplication!");
        }
        const Storage& oA = *m_pRep;
        const Storage& oB = *oOther.m_pRep;
        auto pProduct = std::make_shared<Storage>(oA.Row, oB.Col);
        for (uint32_t i = 0; i < oA.Row; ++i) {
            for (uint32_t j = 0; j < oB.Col; ++j) {
                T fSum = T(0);
                for (uint32_t k = 0; k < oA.Col; ++k) {
                    fSum += oA.Val[i][k] * oB.Val[k][j];
                }
                pProduct->Val[i][j] = fSum;
            }
        }
        m_pRep = std::move(pProduct);
        return *this;
    }

    friend DenseMatrix operator*(const DenseMatrix& oLeft, const DenseMatrix& oRight)
    {
        DenseMatrix oProduct = oLeft;
        oProduct *= oRight;
        return oProduct;
    }

    // X with this * X = oRight; none when the matrix is singular.
    std::optional<DenseMatrix> Solve(const DenseMatrix& oRight) const
    {
        const uint32_t n = RowNo();
        if (ColNo() != n || oRight.RowNo() != n) {
            throw DenseMatrixError("matrixT::Solve():Inconsistent matrices!");
        }
        const uint32_t m = oRight.ColNo();
        Storage oT(n, n + m);
        for (uint32_t i = 0; i < n; ++i) {
            for (uint32_t j = 0; j < n; ++j) {
                oT.Val[i][j] = m_pRep->Val[i][j];
            }
            for (uint32_t j = 0; j < m; ++j) {
                oT.Val[i][n + j] = oRight.m_pRep->Val[i][j];
            }
        }
        // Forward elimination without scaling the pivot row, then back substitution.
        for (uint32_t k = 0; k < n; ++k) {
            if (Pivot(oT, k) < 0) {
                return std::nullopt;
            }
            for (uint32_t i = k + 1; i < n; ++i) {
                const T f = oT.Val[i][k] / oT.Val[k][k];
                for (uint32_t j = k; j < n + m; ++j) {
                    oT.Val[i][j] -= f * oT.Val[k][j];
                }
            }
        }
        DenseMatrix oX(n, m);
        Storage& oXRep = *oX.m_pRep;
        for (uint32_t c = 0; c < m; ++c) {
            for (uint32_t r = n; r-- > 0;) {
                T fSum = oT.Val[r][n + c];
                for (uint32_t j = r + 1; j < n; ++j) {
                    fSum -= oT.Val[r][j] * oXRep.Val[j][c];
                }
                oXRep.Val[r][c] = fSum / oT.Val[r][r];
            }
        }
        return oX;
    }

private:
    // Row with the largest non-zero |a[i][r]| among rows r .., the first on
    // ties, swapped into row r. -1: singular; k: swapped with row k; 0: no swap.
    static int64_t Pivot(Storage& oA, uint32_t r)
    {
        uint32_t k = r;
        T fMax = T(0);
        for (uint32_t i = r; i < oA.Row; ++i) {
            const T fAbs = std::fabs(oA.Val[i][r]);
            if (fAbs != T(0) && fAbs > fMax) {
                fMax = fAbs;
                k = i;
            }
        }
        if (oA.Val[k][r] == T(0)) {
            return -1;
        }
        if (k != r) {
            std::swap(oA.Val[k], oA.Val[r]);
            return k;
        }
        return 0;
    }

    void Detach()
    {
        if (m_pRep.use_count() > 1) {
            m_pRep = std::make_shared<Storage>(*m_pRep);
        }
    }

    std::shared_ptr<Storage> m_pRep;
};

} // namespace math
