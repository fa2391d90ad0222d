// One loaded one-dimensional spectrum: wavelengths and intensities, its
// flags, its observation time and the remembered view of its plot. A
// spectrum is also its own plot.
#pragma once

#include "plot/GraphClass.h"

#include <cstdint>
#include <vector>

class CMeasuredDataArray;

class CSpectrum : public CGraph {
public:
    // The canvas the spectrum is drawn on; not owned.
    explicit CSpectrum(ICanvas* pImage);

    // Replaces the values by copies of lCount wavelengths and intensities.
    // The plot copy stays as it was until the caller reloads it.
    void SetValues(int32_t lCount, const double* fValues1, const double* fValues2);
    void SetValues(const CMeasuredDataArray& oValues);

    // Copies the first lCount wavelengths and intensities out.
    void GetValues(int32_t lCount, double* fValues1, double* fValues2) const;

    int32_t GetNumberValues() const { return static_cast<int32_t>(m_pafWavelength.size()); }
    const std::vector<double>& GetWavelengths() const { return m_pafWavelength; }
    const std::vector<double>& GetIntensities() const { return m_pafIntensity; }

    // Frees the values.
    void ClearValues();

    void SetClipping(int32_t lPageSize, int32_t lPosition, int32_t lStart, int32_t lCount);
    void GetClipping(int32_t& lPageSize, int32_t& lPosition, int32_t& lStart, int32_t& lCount) const;

    // The horizontal level line at intensity fLevel / lLevelMax.
    void SetLevel(bool bShow, double fLevel, int32_t lLevelMax);

    // Julian date (UT) of the observation.
    void SetObservationTime(double fJulianDate);
    bool GetObservationTime(double& fJulianDate) const;

    void SetReferenceSpectrum(bool bIsReference) { m_bIsReferenceSpectrum = bIsReference; }
    bool IsReferenceSpectrum() const { return m_bIsReferenceSpectrum; }
    void SetEmissionSpectrum(bool bIsEmission) { m_bIsEmissionSpectrum = bIsEmission; }
    bool IsEmissionSpectrum() const { return m_bIsEmissionSpectrum; }

    // Sum of all intensities from index 0 upwards; identifies the spectrum's
    // row in the table of radial velocities by exact match.
    double GetIntensitySum() const;

    // Index of the wavelength nearest to fWavelength; the upper index on a tie.
    int32_t FindNearestIndex(double fWavelength) const;

    // Draws axes, values and level line on an image of the given size;
    // nothing when there is nothing to plot.
    void Draw(int32_t lImageHeight, int32_t lImageWidth);

    // The level line over the visible range, when it is shown.
    void DrawLevel();

private:
    std::vector<double> m_pafWavelength;
    std::vector<double> m_pafIntensity;
    int32_t m_lClipPageSize = 0;
    int32_t m_lClipPosition = 0;
    int32_t m_lClipStart = 0;
    int32_t m_lClipCount = 0;
    bool m_bShowLevel = false;
    double m_fLevel = 0.0;
    int32_t m_lLevelMax = 0;
    bool m_bIsReferenceSpectrum = false;
    bool m_bIsEmissionSpectrum = false;
    bool m_bHasObservationTime = false;
    double m_fObservationTime = 0.0;
};
