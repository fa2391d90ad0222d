#include "SpectralLineContainerClass.h"

#include "core/Assert.h"
#include "core/MeasuredDataArrayClass.h"

void CSpectralLineContainer::AddSpectralLine(std::unique_ptr<CSpectralLine> pLine)
{
    if (pLine) {
        m_oSpectralLineVector.push_back(std::move(pLine));
    }
}

std::vector<CSpectralLine> CSpectralLineContainer::CopyLines() const
{
    std::vector<CSpectralLine> vLines;
    vLines.reserve(m_oSpectralLineVector.size());
    for (const auto& pLine : m_oSpectralLineVector) {
        vLines.push_back(*pLine);
    }
    return vLines;
}

void CSpectralLineContainer::RestoreLines(const std::vector<CSpectralLine>& vLines)
{
    m_oSpectralLineVector.clear();
    for (const CSpectralLine& o : vLines) {
        m_oSpectralLineVector.push_back(std::make_unique<CSpectralLine>(o));
    }
}

void CSpectralLineContainer::Clear()
{
    while (!m_oSpectralLineVector.empty()) {
        m_oSpectralLineVector.pop_back();
    }
}

CSpectralLine& CSpectralLineContainer::Line(int32_t lSpectralLineIndex) const
{
    QASSERT(lSpectralLineIndex>=0 && lSpectralLineIndex<(long) m_oSpectralLineVector.size());
    return *m_oSpectralLineVector[static_cast<std::size_t>(lSpectralLineIndex)];
}

const CSpectralLine& CSpectralLineContainer::GetLine(int32_t lSpectralLineIndex) const
{
    return Line(lSpectralLineIndex);
}

int32_t CSpectralLineContainer::ToggleActive(int32_t lSpectralLineIndex)
{
    return m_oSpectralLineVector.empty() ? 0 : Mark().Toggle(Line(lSpectralLineIndex).GetId());
}

bool CSpectralLineContainer::IsActive(int32_t lSpectralLineIndex) const
{
    return !m_oSpectralLineVector.empty() && Mark().Is(Line(lSpectralLineIndex).GetId());
}

double CSpectralLineContainer::GetCenter(int32_t lSpectralLineIndex) const
{
    return m_oSpectralLineVector.empty() ? 0.0 : Line(lSpectralLineIndex).GetCenter();
}

double CSpectralLineContainer::GetWidth(int32_t lSpectralLineIndex) const
{
    return m_oSpectralLineVector.empty() ? 0.0 : Line(lSpectralLineIndex).GetWidth();
}

double CSpectralLineContainer::GetFirstCenter(int32_t lSpectralLineIndex) const
{
    return Line(lSpectralLineIndex).GetFirstCenter();
}

double CSpectralLineContainer::GetSecondCenter(int32_t lSpectralLineIndex, bool& bDoubleGaussian) const
{
    return Line(lSpectralLineIndex).GetSecondCenter(bDoubleGaussian);
}

int32_t CSpectralLineContainer::GetInertialLineIndex(int32_t lSpectralLineIndex) const
{
    return Line(lSpectralLineIndex).GetInertialLineIndex();
}

void CSpectralLineContainer::SetIdentification(int32_t lSpectralLineIndex, int32_t lIndex, double fWavelength,
                                               const char* cLineName)
{
    Line(lSpectralLineIndex).SetIdentification(lIndex, fWavelength, cLineName);
}

void CSpectralLineContainer::GetIdentification(int32_t lSpectralLineIndex, std::string* cLineName, int32_t& lIndex,
                                               double& fWavelength) const
{
    Line(lSpectralLineIndex).GetIdentification(cLineName, lIndex, fWavelength);
}

void CSpectralLineContainer::GetLineData(int32_t lSpectralLineIndex, std::string* cLineName,
                                         double& fInertialWavelength, int32_t& lInertialIndex, double& fCenter1,
                                         double& fCenter2, bool& bDoubleGaussian) const
{
    Line(lSpectralLineIndex)
        .GetLineData(cLineName, fInertialWavelength, lInertialIndex, fCenter1, fCenter2, bDoubleGaussian);
}

void CSpectralLineContainer::SetGaussianType(int32_t lSpectralLineIndex, bool bDouble)
{
    Line(lSpectralLineIndex).SetGaussianType(bDouble);
}

bool CSpectralLineContainer::IsDoubleGaussian(int32_t lSpectralLineIndex) const
{
    return Line(lSpectralLineIndex).IsDoubleGaussian();
}

void CSpectralLineContainer::SetCombination(int32_t lSpectralLineIndex, char cCombination)
{
    Line(lSpectralLineIndex).SetCombination(cCombination);
}

char CSpectralLineContainer::GetCombination(int32_t lSpectralLineIndex) const
{
    return Line(lSpectralLineIndex).GetCombination();
}

double CSpectralLineContainer::Evaluate(int32_t lSpectralLineIndex, double x) const
{
    return Line(lSpectralLineIndex).Evaluate(x);
}

bool CSpectralLineContainer::FitGaussian(int32_t lSpectralLineIndex, const double* pafWavelength,
                                         const double* pafIntensity, int32_t lCount, bool bEmission, double fScale)
{
    if (lCount <= 0) {
        return Line(lSpectralLineIndex).FitGaussian(CMeasuredDataArray(), bEmission, fScale);
    }
    CMeasuredDataArray oSection;
    oSection.SetValues(pafWavelength, pafIntensity, lCount);
    return Line(lSpectralLineIndex).FitGaussian(oSection, bEmission, fScale);
}
