// The loaded spectra in the order of loading; the container owns them.
#pragma once

#include "SpectrumClass.h"

#include <cstdint>
#include <memory>
#include <vector>

class CSpectrumContainer {
public:
    // Appends the spectrum and takes ownership.
    void AddSpectrum(std::unique_ptr<CSpectrum> pSpectrum);

    int32_t GetSpectrumCount() const { return static_cast<int32_t>(m_vSpectra.size()); }
    bool IsEmpty() const { return m_vSpectra.empty(); }

    // The spectrum at lIndex, or none (bFound false) outside the list.
    CSpectrum* GetSpectrum(int32_t lIndex, bool& bFound) const;

    // Deletes the spectrum at lIndex and closes the gap; nothing outside the list.
    void RemoveSpectrum(int32_t lIndex);

private:
    std::vector<std::unique_ptr<CSpectrum>> m_vSpectra;
};
