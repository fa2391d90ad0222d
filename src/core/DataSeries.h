// Paired x and y values of equal count: the input of line fits, regression,
// spline resampling, cross-correlation and the parameter searches.
#pragma once

#include <cstdint>
#include <vector>

class DataSeries {
public:
    DataSeries() = default;

    // Discards the contents; n > 0 makes room for n pairs (zero), n <= 0 leaves the array empty.
    void SetSize(int32_t n);

    void SetX(int32_t lIndex, double fValue);
    void SetY(int32_t lIndex, double fValue);
    double GetX(int32_t lIndex) const;
    double GetY(int32_t lIndex) const;

    int32_t GetArraySize() const { return m_lArraySize; }

    // Copies lArraySize pairs in.
    void SetValues(const double* pfaValuesX, const double* pfaValuesY, int32_t lArraySize);

    // Keeps the pairs lStart .. lEnd (inclusive, clamped to the array); an
    // empty range leaves the array empty.
    void Clip(int32_t lStart, int32_t lEnd);

    // Every x becomes its natural logarithm.
    void ConvertXToLn();

    // Index of the x nearest to x (x ascending); the upper index on a tie.
    int32_t FindNearestIndex(double x) const;

    const std::vector<double>& GetXValues() const { return m_x; }
    const std::vector<double>& GetYValues() const { return m_y; }

private:
    std::vector<double> m_x;
    std::vector<double> m_y;
    int32_t m_lArraySize = 0;
};
