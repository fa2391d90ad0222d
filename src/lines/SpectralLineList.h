// The lines found in one spectrum, in the order of the search (ascending
// wavelength). The container owns its lines.
#pragma once

#include "ActiveLine.h"
#include "SpectralLine.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class SpectralLineList {
public:
    void AddSpectralLine(std::unique_ptr<SpectralLine> pLine);
    // Deletes every line.
    void Clear();
    // Copies of the lines, and the lines replaced by such copies (a search undone).
    std::vector<SpectralLine> CopyLines() const;
    void RestoreLines(const std::vector<SpectralLine>& vLines);
    int32_t GetSpectralLineCount() const { return static_cast<int32_t>(m_spectralLines.size()); }

    // These four give 0 (false) on an empty container.
    int32_t ToggleActive(int32_t lSpectralLineIndex);
    bool IsActive(int32_t lSpectralLineIndex) const;
    double GetCenter(int32_t lSpectralLineIndex) const;
    double GetWidth(int32_t lSpectralLineIndex) const;

    double GetFirstCenter(int32_t lSpectralLineIndex) const;
    double GetSecondCenter(int32_t lSpectralLineIndex, bool& bDoubleGaussian) const;
    int32_t GetLaboratoryLineIndex(int32_t lSpectralLineIndex) const;
    // Without a name the line keeps its name.
    void SetIdentification(int32_t lSpectralLineIndex, int32_t lIndex, double fWavelength, const char* cLineName);
    void GetIdentification(int32_t lSpectralLineIndex, std::string* cLineName, int32_t& lIndex,
                           double& fWavelength) const;
    void GetLineData(int32_t lSpectralLineIndex, std::string* cLineName, double& fLaboratoryWavelength,
                     int32_t& lLaboratoryIndex, double& fCenter1, double& fCenter2, bool& bDoubleGaussian) const;
    void SetGaussianType(int32_t lSpectralLineIndex, bool bDouble);
    bool IsDoubleGaussian(int32_t lSpectralLineIndex) const;
    void SetCombination(int32_t lSpectralLineIndex, char cCombination);
    char GetCombination(int32_t lSpectralLineIndex) const;
    double Evaluate(int32_t lSpectralLineIndex, double x) const;
    // Fits line lSpectralLineIndex to lCount samples of a spectrum of the level fScale.
    bool FitGaussian(int32_t lSpectralLineIndex, const double* pafWavelength, const double* pafIntensity,
                     int32_t lCount, bool bEmission, double fScale = 1.0);

    const SpectralLine& GetLine(int32_t lSpectralLineIndex) const;

    // The mark of the active line shared with other containers (not owned); without one the container
    // keeps a mark of its own.
    void SetActiveLineMark(ActiveLine* pMark) { m_pMark = pMark; }

private:
    SpectralLine& Line(int32_t lSpectralLineIndex) const;
    ActiveLine& Mark() const { return m_pMark != nullptr ? *m_pMark : m_oOwnMark; }

    ActiveLine* m_pMark = nullptr;
    mutable ActiveLine m_oOwnMark;

    std::vector<std::unique_ptr<SpectralLine>> m_spectralLines;
};
