// The Doppler shift of a spectrum against a template by cross-correlation:
// both cut to a common window, put on one grid uniform in ln(lambda)
// (where a Doppler shift is a constant shift), oversampled, correlated
// over +-m lags with a normalised coefficient, and the correlation function
// resampled on a fine velocity grid whose maximum gives the velocity
// (km/s; positive when the spectrum lies at longer wavelengths).
#pragma once

#include "core/Constants.h"
#include "core/DataSeries.h"
#include "core/Progress.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

class Spectrum;

class CrossCorrelation {
public:
    // Speed of light used by the correlation's velocity axis, km/s.
    static constexpr double kSpeedOfLight = quandrel::kSpeedOfLightCorrelationGrid;
    // The most products of spectrum and template one correlation computes (a few seconds).
    static constexpr double kMaxProducts = 2e9;

    void SetSpectrum(const Spectrum* pSpectrum);
    void SetTemplate(const Spectrum* pTemplate);
    bool HasSpectrum() const { return m_pSpectrumInput != nullptr; }
    bool HasTemplate() const { return m_pTemplateInput != nullptr; }

    void SetParameters(double fFrom, double fTo, int32_t lSupportingPoints, int32_t lCorrelationSpan,
                       double fAccuracy);
    void GetParameters(double& fFrom, double& fTo, int32_t& lSupportingPoints, int32_t& lCorrelationSpan,
                       double& fAccuracy) const;
    bool AreParametersSet() const { return m_bParametersSet; }
    void SetHeliocentricCorrection(double fCorrection) { m_fHeliocentricCorrection = fCorrection; }
    double GetHeliocentricCorrection() const { return m_fHeliocentricCorrection; }

    // Runs the correlation. False, keeping the previous result, when the
    // parameters are not set or cannot be used with these spectra; then
    // GetLastError says why.
    // With pProgress the share of lags done is reported, and a cancel ends it like a refusal.
    bool Calculate(Progress* pProgress = nullptr);
    const std::string& GetLastError() const { return m_sLastError; }

    // The velocity the correlation searches on either side of 0 km/s (span lags of the oversampled
    // grid) for a spectrum of these wavelengths; 0 when the window holds fewer than 2 usable samples.
    static double VelocityReach(std::span<const double> vWavelength, double fFrom, double fTo,
                                int32_t lSupportingPoints, int32_t lSpan);

    // The velocity of the largest coefficient (the first on a tie).
    double GetPeakVelocity() const;
    // Its standard error (km/s) by Zucker's (2003) maximum-likelihood formula,
    // sigma^2 = -(1 - C^2) / (N C C''), from the peak's height C and curvature C'' and the N samples of
    // the spectrum's window (the template taken as noise-free). Nothing without a result, for a peak
    // at the edge of the range or one that is no maximum (C'' >= 0, C <= 0).
    std::optional<double> GetPeakVelocityError() const;
    // A largest coefficient on the first or last velocity of the searched range is the edge of the
    // range, not a velocity: the velocity lies beyond it. Then the message says so (with the range
    // the span reaches) and that the span must grow; empty otherwise.
    std::string PeakAtEdgeMessage() const;
    const DataSeries& GetCorrelationFunction() const { return m_oCorrelationFunction; }
    const DataSeries& GetSpectrumWindow() const { return m_oSpectrumWindow; }

    // The 32-byte parameter file: from, to, accuracy (doubles), supporting
    // points, span (32-bit), little-endian. False when the file cannot be
    // written or read completely; a short file changes nothing.
    bool SaveParameters(const std::string& sFileName) const;
    bool LoadParameters(const std::string& sFileName);

private:
    bool Fail(const std::string& sWhy);

    double m_fWavelengthFrom = 0.0;
    double m_fWavelengthTo = 0.0;
    int32_t m_lSupportingPoints = 0;
    int32_t m_lCorrelationSpan = 0;
    double m_fAccuracy = 0.0;
    bool m_bParametersSet = false;
    double m_fHeliocentricCorrection = 0.0;
    // Copies of the inputs, shared by copies of the correlation (a job's copy reads the same samples).
    std::shared_ptr<const DataSeries> m_pSpectrumInput;
    std::shared_ptr<const DataSeries> m_pTemplateInput;
    DataSeries m_oSpectrumWindow;
    DataSeries m_oCorrelationFunction;
    double m_fPeakCurvature = 0.0; // d^2 C / dv^2 at the largest coefficient of the lags, per (km/s)^2
    std::string m_sLastError;
};
