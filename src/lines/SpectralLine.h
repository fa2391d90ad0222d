// One spectral line of a spectrum: a single or double Gaussian profile on a
// constant continuum, fitted by least squares to the samples around the
// line, and the laboratory line it has been identified with.
//
// Model (wavelengths in the unit of the spectrum, usually angstrom):
//   g_i(x) = exp(-(x - c_i)^2 / (2 s_i^2))
//   single: f(x) = offset + a1 g1(x);  double: f(x) = offset + a1 g1(x) + a2 g2(x)
// Fit parameters, in search order: s1, c1, offset, a1 (and s2, c2, a2).
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

class DataSeries;

class SpectralLine {
public:
    // Names of laboratory lines keep at most this many characters.
    static constexpr std::size_t kMaxNameLength = 31;

    SpectralLine();

    // Bounded coordinate search on the sum of squared residuals over the
    // section (x wavelengths, y intensities) divided by fScale, the level of
    // the spectrum (1 for a normalised one; see FitScale). False, leaving the
    // line as it was, when the section has fewer points than the model has
    // parameters, or the scale is no positive number.
    bool FitGaussian(const DataSeries& oSection, bool bEmission, double fScale = 1.0);
    bool SetCenterAndFit(const DataSeries& oSection, double fCenter, bool bEmission);
    void SetFirstCenter(double fCenter) { m_fCenter1 = fCenter; }
    // The level a spectrum's lines are fitted in: the median intensity of an absorption spectrum (about
    // its continuum), the largest of an emission spectrum; 1 for a normalised spectrum (a median from
    // 0.5 to 1), so that it is fitted as it is; 0 when there is none.
    static double FitScale(const std::vector<double>& vIntensity, bool bEmission);

    // The model at x.
    double Evaluate(double x) const;
    // The centre (mean of both centres for a double Gaussian) and the width (sum of both sigmas).
    double GetCenter() const;
    double GetWidth() const;
    double GetFirstCenter() const { return m_fCenter1; }
    double GetSecondCenter(bool& bDoubleGaussian) const;

    // Switching to double starts component 2 as a copy of component 1.
    void SetGaussianType(bool bDouble);
    bool IsDoubleGaussian() const { return m_bDoubleGaussian != 0; }

    void SetIdentification(int32_t lIndex, double fWavelength, const char* cLineName);
    void GetIdentification(std::string* cLineName, int32_t& lIndex, double& fWavelength) const;
    // Name, laboratory wavelength and index, both centres and the double flag.
    void GetLineData(std::string* cLineName, double& fLaboratoryWavelength, int32_t& lLaboratoryIndex, double& fCenter1,
                     double& fCenter2, bool& bDoubleGaussian) const;
    int32_t GetLaboratoryLineIndex() const { return m_lLaboratoryLineIndex; }

    // 0 combined with the left neighbour, 1 with the right one, 2 not combined.
    void SetCombination(char cCombination) { m_cCombination = cCombination; }
    char GetCombination() const { return m_cCombination; }

    // Unique among all lines of the program.
    int32_t GetId() const { return m_lId; }

    double GetSigma1() const { return m_fSigma1; }
    double GetSigma2() const { return m_fSigma2; }
    double GetAmplitude1() const { return m_fAmplitude1; }
    double GetAmplitude2() const { return m_fAmplitude2; }
    double GetOffset() const { return m_fOffset; }
    // The standard errors of the centres from the last fit (the fit's covariance scaled by the scatter
    // of its window); 0 when the fit could not tell them (too few points, a line of no depth, a centre
    // at the window's edge).
    double GetCenter1Error() const { return m_fCenter1Error; }
    double GetCenter2Error() const { return m_fCenter2Error; }

private:
    static std::atomic<int32_t> s_lNextId; // lines are found on several threads at once

    int32_t m_lId;
    uint8_t m_bDoubleGaussian = 0;
    char m_cCombination = 2;
    double m_fCenter1 = 0.0;
    double m_fCenter2 = 0.0;
    double m_fSigma1 = 1.0;
    double m_fSigma2 = 1.0;
    double m_fAmplitude1 = 0.0;
    double m_fAmplitude2 = 0.0;
    double m_fOffset = 0.0;
    double m_fCenter1Error = 0.0;
    double m_fCenter2Error = 0.0;
    int32_t m_lLaboratoryLineIndex = -1;
    double m_fLaboratoryWavelength = 0.0;
    std::string m_cLineName;
};
