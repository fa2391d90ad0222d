// The lines found in one spectrum, in the order of the search (ascending
// wavelength). The container owns its lines.
#pragma once

#include "ActiveLineClass.h"
#include "SpectralLineClass.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CSpectralLineContainer {
public:
    void AddSpectralLine(std::unique_ptr<CSpectralLine> pLine);
    // Deletes every line.
    void Clear();
    // Copies of the lines, and the lines replaced by such copies (a search undone).
    std::vector<CSpectralLine> CopyLines() const;
    void RestoreLines(const std::vector<CSpectralLine>& vLines);
    int32_t GetSpectralLineCount() const { return static_cast<int32_t>(m_oSpectralLineVector.size()); }

    // These four give 0 (false) on an empty container.
    int32_t ToggleActive(int32_t lSpectralLineIndex);
    bool IsActive(int32_t lSpectralLineIndex) const;
    double GetCenter(int32_t lSpectralLineIndex) const;
    double GetWidth(int32_t lSpectralLineIndex) const;

    double GetFirstCenter(int32_t lSpectralLineIndex) const;
    double GetSecondCenter(int32_t lSpectralLineIndex, bool& bDoubleGaussian) const;
    int32_t GetInertialLineIndex(int32_t lSpectralLineIndex) const;
    // Without a name the line keeps its name.
    void SetIdentification(int32_t lSpectralLineIndex, int32_t lIndex, double fWavelength, const char* cLineName);
    void GetIdentification(int32_t lSpectralLineIndex, std::string* cLineName, int32_t& lIndex,
                           double& fWavelength) const;
    void GetLineData(int32_t lSpectralLineIndex, std::string* cLineName, double& fInertialWavelength,
                     int32_t& lInertialIndex, double& fCenter1, double& fCenter2, bool& bDoubleGaussian) const;
    void SetGaussianType(int32_t lSpectralLineIndex, bool bDouble);
    bool IsDoubleGaussian(int32_t lSpectralLineIndex) const;
    void SetCombination(int32_t lSpectralLineIndex, char cCombination);
    char GetCombination(int32_t lSpectralLineIndex) const;
    double Evaluate(int32_t lSpectralLineIndex, double x) const;
    // Fits line lSpectralLineIndex to lCount samples of a spectrum of the level fScale.
    bool FitGaussian(int32_t lSpectralLineIndex, const double* pafWavelength, const double* pafIntensity,
                     int32_t lCount, bool bEmission, double fScale = 1.0);

    const CSpectralLine& GetLine(int32_t lSpectralLineIndex) const;

    // The mark of the active line shared with other containers (not owned); without one the container
    // keeps a mark of its own.
    void SetActiveLineMark(CActiveLine* pMark) { m_pMark = pMark; }

private:
    CSpectralLine& Line(int32_t lSpectralLineIndex) const;
    CActiveLine& Mark() const { return m_pMark != nullptr ? *m_pMark : m_oOwnMark; }

    CActiveLine* m_pMark = nullptr;
    mutable CActiveLine m_oOwnMark;

    std::vector<std::unique_ptr<CSpectralLine>> m_oSpectralLineVector;
};
