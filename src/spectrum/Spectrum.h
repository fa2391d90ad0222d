// One loaded one-dimensional spectrum: wavelengths and intensities, its flags, its observation time,
// what its file said about it, and its lines. What a window shows of it is a SpectrumPlot.
#pragma once

#include "core/SpectrumMetadata.h"
#include "lines/SpectralLineList.h"

#include <cstdint>
#include <string>
#include <vector>

class DataSeries;

class Spectrum {
public:
    // Replaces the values by copies of lCount wavelengths and intensities.
    // The plot copy stays as it was until the caller reloads it.
    void SetValues(int32_t lCount, const double* fValues1, const double* fValues2);
    void SetValues(const DataSeries& oValues);
    // New values of the same observation (a calibration, or one undone): as SetValues, but the spectrum
    // keeps its key, and so its row in the table.
    void ReplaceValues(int32_t lCount, const double* fWavelengths, const double* fIntensities);

    // Takes the arrays over (no copy); the intensities are cut or padded with 0 to the wavelengths.
    void TakeValues(std::vector<double>&& vWavelength, std::vector<double>&& vIntensity);
    // Copies the first lCount wavelengths and intensities out.
    void GetValues(int32_t lCount, double* fValues1, double* fValues2) const;

    int32_t GetNumberValues() const { return static_cast<int32_t>(m_wavelengths.size()); }
    const std::vector<double>& GetWavelengths() const { return m_wavelengths; }
    const std::vector<double>& GetIntensities() const { return m_intensities; }

    // Frees the values.
    void ClearValues();

    // Divides the intensities by a continuum (one value per sample). The intensities before the first
    // division are kept for RestoreIntensities; the lines go, since their fits no longer match.
    void DivideByContinuum(const std::vector<double>& vContinuum);
    bool HasOriginalIntensities() const { return !m_vOriginalIntensity.empty(); }
    void RestoreIntensities();

    // Julian date (UT) of the observation.
    void SetObservationTime(double fJulianDate);
    bool GetObservationTime(double& fJulianDate) const;

    // What the spectrum's file said about the observation (FITS headers); empty for text files.
    void SetMetadata(SpectrumMetadata oMetadata) { m_oMetadata = std::move(oMetadata); }
    const SpectrumMetadata& GetMetadata() const { return m_oMetadata; }

    void SetReferenceSpectrum(bool bIsReference) { m_bIsReferenceSpectrum = bIsReference; }
    bool IsReferenceSpectrum() const { return m_bIsReferenceSpectrum; }
    void SetEmissionSpectrum(bool bIsEmission) { m_bIsEmissionSpectrum = bIsEmission; }
    bool IsEmissionSpectrum() const { return m_bIsEmissionSpectrum; }

    // The spectrum's key in the table of radial velocities (its row there carries it): the sum of its
    // intensities, from index 0 upwards, as they were set or read. Normalising and restoring the
    // intensities keep it, so the spectrum keeps its row.
    double Key() const { return m_fKey; }

    // Index of the wavelength nearest to fWavelength; the upper index on a tie.
    int32_t FindNearestIndex(double fWavelength) const;

    // --- Lines ---

    // Replaces the lines by those found with a window of lWidth samples and
    // the depth threshold fSensitivity, each fitted to the samples around it.
    // With fMinDepthSigma > 0 only lines of the searched kind are kept whose
    // depth (the fitted continuum against the mean of the three samples nearest
    // the centre) is fMinDepthSigma times the noise (EstimateNoiseSigma) or more.
    void FindSpectralLines(int32_t lWidth, double fSensitivity, double fMinDepthSigma = 0.0);

    // The samples lIndex - lHalf .. lIndex + lHalf that exist.
    DataSeries GetSection(int32_t lIndex, int32_t lHalf) const;

    int32_t GetSpectralLineCount() const { return m_oSpectralLineContainer.GetSpectralLineCount(); }
    // The lines as copies, and put back from copies (a search undone).
    std::vector<SpectralLine> CopyLines() const { return m_oSpectralLineContainer.CopyLines(); }
    void RestoreLines(const std::vector<SpectralLine>& vLines) { m_oSpectralLineContainer.RestoreLines(vLines); }
    const SpectralLineList& GetSpectralLines() const { return m_oSpectralLineContainer; }

    int32_t ToggleActiveLine(int32_t lSpectralLineIndex);
    // The mark of the active line shared by the spectra of a session (not owned).
    void SetActiveLineMark(ActiveLine* pMark) { m_oSpectralLineContainer.SetActiveLineMark(pMark); }
    bool IsActiveLine(int32_t lSpectralLineIndex) const;
    // The first active line, or -2.
    int32_t GetActiveLineIndex() const;

    double GetLineCenter(int32_t lSpectralLineIndex) const;
    double GetLineWidth(int32_t lSpectralLineIndex) const;
    double GetLineFirstCenter(int32_t lSpectralLineIndex) const;
    double GetLineSecondCenter(int32_t lSpectralLineIndex, bool& bDoubleGaussian) const;
    int32_t GetLineLaboratoryIndex(int32_t lSpectralLineIndex) const;
    // The fitted profile of line lSpectralLineIndex at a wavelength.
    double EvaluateLine(int32_t lSpectralLineIndex, double fWavelength) const;

    // Stores a laboratory line in line lSpectralLineIndex.
    void SetLineIdentification(int32_t lSpectralLineIndex, int32_t lLaboratoryIndex, double fLaboratoryWavelength,
                               const char* cLineName);
    // The laboratory line of line lSpectralLineIndex; lCount is -1 when it is
    // not identified, otherwise the number of lines carrying the same one.
    void GetLineIdentification(int32_t lSpectralLineIndex, int32_t& lLaboratoryIndex, double& fLaboratoryWavelength,
                               std::string* cLineName, int32_t& lCount) const;
    // Name, laboratory wavelength and index, both centres and the double flag.
    void GetLineData(int32_t lSpectralLineIndex, std::string* cLineName, double& fLaboratoryWavelength,
                     int32_t& lLaboratoryIndex, double& fCenter1, double& fCenter2, bool& bDoubleGaussian) const;

    // Refits the active line on the samples around its centre that lie below the intensity fLevel.
    void OptimizeFit(double fLevel);

    void SetGaussianType(int32_t lSpectralLineIndex, bool bDouble);
    bool IsDoubleGaussian(int32_t lSpectralLineIndex) const;
    // Stores the combination state; combining copies the neighbour's laboratory index and wavelength.
    void SetCombination(int32_t lSpectralLineIndex, char cCombination);
    char GetCombination(int32_t lSpectralLineIndex) const;

private:
    SpectrumMetadata m_oMetadata;
    std::vector<double> m_vOriginalIntensity;
    void CheckLineIndex(int32_t lSpectralLineIndex) const;
    bool StandsOutOfNoise(const SpectralLine& oLine, double fNoise, double fMinDepthSigma) const;

    std::vector<double> m_wavelengths;
    std::vector<double> m_intensities;
    double m_fKey = 0.0;
    void TakeKey();
    SpectralLineList m_oSpectralLineContainer;
    bool m_bIsReferenceSpectrum = false;
    bool m_bIsEmissionSpectrum = false;
    bool m_bHasObservationTime = false;
    double m_fObservationTime = 0.0;
};
