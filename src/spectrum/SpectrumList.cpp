#include "SpectrumList.h"

#include <algorithm>

void SpectrumList::AddSpectrum(std::unique_ptr<Spectrum> pSpectrum)
{
    if (pSpectrum) {
        m_vSpectra.push_back(std::move(pSpectrum));
    }
}

Spectrum* SpectrumList::GetSpectrum(int32_t lIndex, bool& bFound) const
{
    bFound = lIndex >= 0 && lIndex < GetSpectrumCount();
    return bFound ? m_vSpectra[static_cast<std::size_t>(lIndex)].get() : nullptr;
}

std::unique_ptr<Spectrum> SpectrumList::TakeSpectrum(int32_t lIndex)
{
    if (lIndex < 0 || lIndex >= GetSpectrumCount()) {
        return nullptr;
    }
    std::unique_ptr<Spectrum> pSpectrum = std::move(m_vSpectra[static_cast<std::size_t>(lIndex)]);
    m_vSpectra.erase(m_vSpectra.begin() + lIndex);
    return pSpectrum;
}

void SpectrumList::InsertSpectrum(int32_t lIndex, std::unique_ptr<Spectrum> pSpectrum)
{
    const int32_t lAt = std::clamp(lIndex, 0, GetSpectrumCount());
    m_vSpectra.insert(m_vSpectra.begin() + lAt, std::move(pSpectrum));
}

int32_t SpectrumList::IndexOf(const Spectrum* pSpectrum) const
{
    for (std::size_t i = 0; i < m_vSpectra.size(); ++i) {
        if (m_vSpectra[i].get() == pSpectrum) {
            return static_cast<int32_t>(i);
        }
    }
    return -1;
}

void SpectrumList::RemoveSpectrum(int32_t lIndex)
{
    if (lIndex >= 0 && lIndex < GetSpectrumCount()) {
        m_vSpectra.erase(m_vSpectra.begin() + lIndex);
    }
}
