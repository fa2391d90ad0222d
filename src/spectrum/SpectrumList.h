// The loaded spectra in the order of loading; the container owns them.
#pragma once

#include "Spectrum.h"

#include <cstdint>
#include <memory>
#include <vector>

class SpectrumList {
public:
    // Appends the spectrum and takes ownership.
    void AddSpectrum(std::unique_ptr<Spectrum> pSpectrum);

    int32_t GetSpectrumCount() const { return static_cast<int32_t>(m_vSpectra.size()); }
    bool IsEmpty() const { return m_vSpectra.empty(); }

    // The spectrum at lIndex, or none (bFound false) outside the list.
    Spectrum* GetSpectrum(int32_t lIndex, bool& bFound) const;

    // Deletes the spectrum at lIndex and closes the gap; nothing outside the list.
    void RemoveSpectrum(int32_t lIndex);
    // The spectrum at lIndex taken out of the list (none outside it), and one put in at lIndex (at the
    // end beyond it): a removal that can be undone.
    std::unique_ptr<Spectrum> TakeSpectrum(int32_t lIndex);
    void InsertSpectrum(int32_t lIndex, std::unique_ptr<Spectrum> pSpectrum);
    // The place of a spectrum in the list, or -1.
    int32_t IndexOf(const Spectrum* pSpectrum) const;

private:
    std::vector<std::unique_ptr<Spectrum>> m_vSpectra;
};
