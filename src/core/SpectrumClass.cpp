#include "SpectrumClass.h"

#include "Assert.h"
#include "MeasuredDataArrayClass.h"
#include "UtilsClass.h"

#include <algorithm>
#include <array>

CSpectrum::CSpectrum(ICanvas* pImage) : CGraph(pImage) {}

void CSpectrum::SetValues(int32_t lCount, const double* fValues1, const double* fValues2)
{
    QASSERT(fValues1!=NULL && fValues2!=NULL);
    ClearValues();
    lCount = std::max<int32_t>(lCount, 0);
    m_pafWavelength.assign(fValues1, fValues1 + lCount);
    m_pafIntensity.assign(fValues2, fValues2 + lCount);
}

void CSpectrum::SetValues(const CMeasuredDataArray& oValues)
{
    SetValues(oValues.GetArraySize(), oValues.GetXValues().data(), oValues.GetYValues().data());
}

void CSpectrum::GetValues(int32_t lCount, double* fValues1, double* fValues2) const
{
    QASSERT(fValues1!=NULL && fValues2!=NULL);
    QASSERT(lCount>=0 && lCount<=GetNumberValues());
    std::copy_n(m_pafWavelength.begin(), lCount, fValues1);
    std::copy_n(m_pafIntensity.begin(), lCount, fValues2);
}

void CSpectrum::ClearValues()
{
    m_pafWavelength.clear();
    m_pafIntensity.clear();
}

void CSpectrum::SetClipping(int32_t lPageSize, int32_t lPosition, int32_t lStart, int32_t lCount)
{
    m_lClipPageSize = lPageSize;
    m_lClipPosition = lPosition;
    m_lClipStart = lStart;
    m_lClipCount = lCount;
}

void CSpectrum::GetClipping(int32_t& lPageSize, int32_t& lPosition, int32_t& lStart, int32_t& lCount) const
{
    lPageSize = m_lClipPageSize;
    lPosition = m_lClipPosition;
    lStart = m_lClipStart;
    lCount = m_lClipCount;
}

void CSpectrum::SetLevel(bool bShow, double fLevel, int32_t lLevelMax)
{
    m_bShowLevel = bShow;
    m_fLevel = fLevel;
    m_lLevelMax = lLevelMax;
}

void CSpectrum::SetObservationTime(double fJulianDate)
{
    m_fObservationTime = fJulianDate;
    m_bHasObservationTime = true;
}

bool CSpectrum::GetObservationTime(double& fJulianDate) const
{
    fJulianDate = m_fObservationTime;
    return m_bHasObservationTime;
}

double CSpectrum::GetIntensitySum() const
{
    double fSum = 0.0;
    for (const double fIntensity : m_pafIntensity) {
        fSum += fIntensity;
    }
    return fSum;
}

int32_t CSpectrum::FindNearestIndex(double fWavelength) const
{
    QASSERT(GetNumberValues()>0);
    return FindNearestIndexIn(m_pafWavelength, fWavelength);
}

void CSpectrum::Draw(int32_t lImageHeight, int32_t lImageWidth)
{
    if (m_lNumberValues <= 0 || m_pImage == nullptr) {
        return;
    }
    SetImageSize(lImageWidth, lImageHeight);
    SetDrawStyle(0);
    DrawAxes(m_sXAxisLabel, m_sYAxisLabel, m_fYMax, m_fYMin, m_fXMax, m_fXMin);
    DrawData();
    DrawLevel();
}

void CSpectrum::DrawLevel()
{
    if (!m_bShowLevel || m_lLevelMax == 0) {
        return;
    }
    const double fIntensity = 0 + m_fLevel * (1 - 0) / m_lLevelMax;
    const std::array<double, 2> afX = {m_fXMin, m_fXMax};
    const std::array<double, 2> afY = {fIntensity, fIntensity};
    DrawSeries(afX.data(), afY.data(), 2, 2);
}
