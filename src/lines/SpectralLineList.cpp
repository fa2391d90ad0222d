#include "SpectralLineList.h"

#include "core/Assert.h"
#include "core/DataSeries.h"

void SpectralLineList::AddSpectralLine(std::unique_ptr<SpectralLine> pLine)
{
    if (pLine) {
        m_spectralLines.push_back(std::move(pLine));
    }
}

std::vector<SpectralLine> SpectralLineList::CopyLines() const
{
    std::vector<SpectralLine> vLines;
    vLines.reserve(m_spectralLines.size());
    for (const auto& pLine : m_spectralLines) {
        vLines.push_back(*pLine);
    }
    return vLines;
}

void SpectralLineList::RestoreLines(const std::vector<SpectralLine>& vLines)
{
    m_spectralLines.clear();
    for (const SpectralLine& o : vLines) {
        m_spectralLines.push_back(std::make_unique<SpectralLine>(o));
    }
}

void SpectralLineList::Clear()
{
    while (!m_spectralLines.empty()) {
        m_spectralLines.pop_back();
    }
}

SpectralLine& SpectralLineList::Line(int32_t lSpectralLineIndex) const
{
    QASSERT(lSpectralLineIndex>=0 && lSpectralLineIndex<(long) m_spectralLines.size());
    return *m_spectralLines[static_cast<std::size_t>(lSpectralLineIndex)];
}

const SpectralLine& SpectralLineList::GetLine(int32_t lSpectralLineIndex) const
{
    return Line(lSpectralLineIndex);
}

int32_t SpectralLineList::ToggleActive(int32_t lSpectralLineIndex)
{
    return m_spectralLines.empty() ? 0 : Mark().Toggle(Line(lSpectralLineIndex).GetId());
}

bool SpectralLineList::IsActive(int32_t lSpectralLineIndex) const
{
    return !m_spectralLines.empty() && Mark().Is(Line(lSpectralLineIndex).GetId());
}

double SpectralLineList::GetCenter(int32_t lSpectralLineIndex) const
{
    return m_spectralLines.empty() ? 0.0 : Line(lSpectralLineIndex).GetCenter();
}

double SpectralLineList::GetWidth(int32_t lSpectralLineIndex) const
{
    return m_spectralLines.empty() ? 0.0 : Line(lSpectralLineIndex).GetWidth();
}

double SpectralLineList::GetFirstCenter(int32_t lSpectralLineIndex) const
{
    return Line(lSpectralLineIndex).GetFirstCenter();
}

double SpectralLineList::GetSecondCenter(int32_t lSpectralLineIndex, bool& bDoubleGaussian) const
{
    return Line(lSpectralLineIndex).GetSecondCenter(bDoubleGaussian);
}

int32_t SpectralLineList::GetLaboratoryLineIndex(int32_t lSpectralLineIndex) const
{
    return Line(lSpectralLineIndex).GetLaboratoryLineIndex();
}

void SpectralLineList::SetIdentification(int32_t lSpectralLineIndex, int32_t lIndex, double fWavelength,
                                               const char* cLineName)
{
    Line(lSpectralLineIndex).SetIdentification(lIndex, fWavelength, cLineName);
}

void SpectralLineList::GetIdentification(int32_t lSpectralLineIndex, std::string* cLineName, int32_t& lIndex,
                                               double& fWavelength) const
{
    Line(lSpectralLineIndex).GetIdentification(cLineName, lIndex, fWavelength);
}

void SpectralLineList::GetLineData(int32_t lSpectralLineIndex, std::string* cLineName,
                                         double& fLaboratoryWavelength, int32_t& lLaboratoryIndex, double& fCenter1,
                                         double& fCenter2, bool& bDoubleGaussian) const
{
    Line(lSpectralLineIndex)
        .GetLineData(cLineName, fLaboratoryWavelength, lLaboratoryIndex, fCenter1, fCenter2, bDoubleGaussian);
}

void SpectralLineList::SetGaussianType(int32_t lSpectralLineIndex, bool bDouble)
{
    Line(lSpectralLineIndex).SetGaussianType(bDouble);
}

bool SpectralLineList::IsDoubleGaussian(int32_t lSpectralLineIndex) const
{
    return Line(lSpectralLineIndex).IsDoubleGaussian();
}

void SpectralLineList::SetCombination(int32_t lSpectralLineIndex, char cCombination)
{
    Line(lSpectralLineIndex).SetCombination(cCombination);
}

char SpectralLineList::GetCombination(int32_t lSpectralLineIndex) const
{
    return Line(lSpectralLineIndex).GetCombination();
}

double SpectralLineList::Evaluate(int32_t lSpectralLineIndex, double x) const
{
    return Line(lSpectralLineIndex).Evaluate(x);
}

bool SpectralLineList::FitGaussian(int32_t lSpectralLineIndex, const double* pafWavelength,
                                         const double* pafIntensity, int32_t lCount, bool bEmission, double fScale)
{
    if (lCount <= 0) {
        return Line(lSpectralLineIndex).FitGaussian(DataSeries(), bEmission, fScale);
    }
    DataSeries oSection;
    oSection.SetValues(pafWavelength, pafIntensity, lCount);
    return Line(lSpectralLineIndex).FitGaussian(oSection, bEmission, fScale);
}
