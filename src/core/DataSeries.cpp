#include "DataSeries.h"

#include "Assert.h"
#include "Utils.h"

#include <algorithm>
#include <cmath>

void DataSeries::SetSize(int32_t n)
{
    m_lArraySize = std::max<int32_t>(n, 0);
    m_x.assign(static_cast<std::size_t>(m_lArraySize), 0.0);
    m_y.assign(static_cast<std::size_t>(m_lArraySize), 0.0);
}

void DataSeries::SetX(int32_t lIndex, double fValue)
{
    QASSERT(lIndex>=0 && lIndex<m_lArraySize);
    m_x[static_cast<std::size_t>(lIndex)] = fValue;
}

void DataSeries::SetY(int32_t lIndex, double fValue)
{
    QASSERT(lIndex>=0 && lIndex<m_lArraySize);
    m_y[static_cast<std::size_t>(lIndex)] = fValue;
}

double DataSeries::GetX(int32_t lIndex) const
{
    QASSERT(lIndex>=0 && lIndex<m_lArraySize);
    return m_x[static_cast<std::size_t>(lIndex)];
}

double DataSeries::GetY(int32_t lIndex) const
{
    QASSERT(lIndex>=0 && lIndex<m_lArraySize);
    return m_y[static_cast<std::size_t>(lIndex)];
}

void DataSeries::SetValues(const double* pfaValuesX, const double* pfaValuesY, int32_t lArraySize)
{
    QASSERT(pfaValuesX!=NULL && pfaValuesY!=0 && lArraySize>0);
    SetSize(lArraySize);
    std::copy(pfaValuesX, pfaValuesX + lArraySize, m_x.begin());
    std::copy(pfaValuesY, pfaValuesY + lArraySize, m_y.begin());
}

void DataSeries::Clip(int32_t lStart, int32_t lEnd)
{
    QASSERT(m_lArraySize>0);
    lStart = std::max<int32_t>(lStart, 0);
    lEnd = std::min<int32_t>(lEnd, m_lArraySize - 1);
    if (lStart > lEnd) {
        SetSize(0);
        return;
    }
    m_x = std::vector<double>(m_x.begin() + lStart, m_x.begin() + lEnd + 1);
    m_y = std::vector<double>(m_y.begin() + lStart, m_y.begin() + lEnd + 1);
    m_lArraySize = lEnd - lStart + 1;
}

void DataSeries::ConvertXToLn()
{
    for (double& x : m_x) {
        x = std::log(x);
    }
}

int32_t DataSeries::FindNearestIndex(double x) const
{
    QASSERT(m_lArraySize>0);
    return FindNearestIndexIn(m_x, x);
}
