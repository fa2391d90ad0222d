#include "SpectrumContainerClass.h"

void CSpectrumContainer::AddSpectrum(std::unique_ptr<CSpectrum> pSpectrum)
{
    if (pSpectrum) {
        m_vSpectra.push_back(std::move(pSpectrum));
    }
}

CSpectrum* CSpectrumContainer::GetSpectrum(int32_t lIndex, bool& bFound) const
{
    bFound = lIndex >= 0 && lIndex < GetSpectrumCount();
    return bFound ? m_vSpectra[static_cast<std::size_t>(lIndex)].get() : nullptr;
}

void CSpectrumContainer::RemoveSpectrum(int32_t lIndex)
{
    if (lIndex >= 0 && lIndex < GetSpectrumCount()) {
        m_vSpectra.erase(m_vSpectra.begin() + lIndex);
    }
}
