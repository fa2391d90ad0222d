#include "SpectralLine.h"

#include "GaussianFit.h"
#include "core/Assert.h"
#include "core/DataSeries.h"
#include "core/Utils.h"

#include <algorithm>
#include <cmath>
#include <vector>

std::atomic<int32_t> SpectralLine::s_lNextId{0};

using namespace quandrel::gaussfit;

SpectralLine::SpectralLine() : m_lId(s_lNextId++) {}

bool SpectralLine::FitGaussian(const DataSeries& oSection, bool bEmission, double fScale)
{
    const int P = m_bDoubleGaussian ? 7 : 4;
    const int32_t n = oSection.GetArraySize();
    if (n < P) {
        return false;
    }
    const std::vector<double>& x = oSection.GetXValues();
    // The fit's bounds and steps are those of a normalised spectrum: a spectrum in other units (counts,
    // flux units of 1e-13, a continuum of 1.5) is fitted divided by its level and scaled back.
    if (!(fScale > 0.0) || !std::isfinite(fScale)) {
        return false; // nothing to fit: no intensity, or one that is no number
    }
    DataSeries oScaled;
    if (fScale != 1.0) {
        std::vector<double> vY = oSection.GetYValues();
        for (double& f : vY) {
            f /= fScale;
        }
        oScaled.SetValues(x.data(), vY.data(), n);
    }
    const DataSeries& oFitted = fScale != 1.0 ? oScaled : oSection;
    const std::vector<double>& y = oFitted.GetYValues();

    Parameters p{};
    p[kSigma1] = 1.0;
    p[kCenter1] = m_fCenter1;
    p[kOffset] = 1.0;
    p[kAmplitude1] = 0.0;
    p[kSigma2] = m_fSigma2;
    p[kCenter2] = m_fCenter2;
    p[kAmplitude2] = m_fAmplitude2 / fScale;

    Parameters lo{};
    Parameters hi{};
    SearchBounds(oFitted, bEmission, lo, hi);

    Search(x.data(), y.data(), static_cast<std::size_t>(n), P, lo, hi, p);
    const auto oErrors = StandardErrors(x.data(), y.data(), static_cast<std::size_t>(n), P, lo, hi, p);
    m_fCenter1Error = oErrors ? (*oErrors)[kCenter1] : 0.0;
    m_fCenter2Error = oErrors && m_bDoubleGaussian ? (*oErrors)[kCenter2] : 0.0;

    m_fSigma1 = p[kSigma1];
    m_fCenter1 = p[kCenter1];
    m_fOffset = p[kOffset] * fScale;
    m_fAmplitude1 = p[kAmplitude1] * fScale;
    if (m_bDoubleGaussian) {
        m_fSigma2 = p[kSigma2];
        m_fCenter2 = p[kCenter2];
        m_fAmplitude2 = p[kAmplitude2] * fScale;
    }
    return true;
}

double SpectralLine::FitScale(const std::vector<double>& vIntensity, bool bEmission)
{
    std::vector<double> vLevel;
    vLevel.reserve(vIntensity.size());
    for (const double f : vIntensity) {
        if (std::isfinite(f)) {
            vLevel.push_back(std::fabs(f));
        }
    }
    if (vLevel.empty()) {
        return 0.0;
    }
    if (bEmission) {
        return *std::max_element(vLevel.begin(), vLevel.end());
    }
    const auto itMiddle = vLevel.begin() + static_cast<std::ptrdiff_t>(vLevel.size() / 2);
    std::nth_element(vLevel.begin(), itMiddle, vLevel.end());
    const double fMedian = *itMiddle;
    return fMedian >= 0.5 && fMedian <= 1.0 ? 1.0 : fMedian;
}

bool SpectralLine::SetCenterAndFit(const DataSeries& oSection, double fCenter, bool bEmission)
{
    m_fCenter1 = fCenter;
    return FitGaussian(oSection, bEmission);
}

double SpectralLine::Evaluate(double x) const
{
    Parameters p{};
    p[kOffset] = m_fOffset;
    p[kAmplitude1] = m_fAmplitude1;
    p[kAmplitude2] = m_fAmplitude2;
    const bool bDouble = m_bDoubleGaussian != 0;
    const double g1 = GaussianFactor(x, m_fCenter1, m_fSigma1);
    const double g2 = bDouble ? GaussianFactor(x, m_fCenter2, m_fSigma2) : 0.0;
    return ModelValue(p, g1, g2, bDouble);
}

double SpectralLine::GetCenter() const
{
    return m_bDoubleGaussian ? (m_fCenter1 + m_fCenter2) / 2 : m_fCenter1;
}

double SpectralLine::GetWidth() const
{
    return m_bDoubleGaussian ? m_fSigma1 + m_fSigma2 : m_fSigma1;
}

double SpectralLine::GetSecondCenter(bool& bDoubleGaussian) const
{
    bDoubleGaussian = m_bDoubleGaussian != 0;
    return m_fCenter2;
}

void SpectralLine::SetGaussianType(bool bDouble)
{
    if (bDouble && !m_bDoubleGaussian) {
        m_fCenter2 = m_fCenter1;
        m_fAmplitude2 = m_fAmplitude1;
        m_fSigma2 = m_fSigma1;
    }
    m_bDoubleGaussian = bDouble ? 1 : 0;
}

void SpectralLine::SetIdentification(int32_t lIndex, double fWavelength, const char* cLineName)
{
    m_lLaboratoryLineIndex = lIndex;
    m_fLaboratoryWavelength = fWavelength;
    if (cLineName != nullptr) {
        m_cLineName = std::string(cLineName).substr(0, kMaxNameLength);
    }
}

void SpectralLine::GetIdentification(std::string* cLineName, int32_t& lIndex, double& fWavelength) const
{
    if (cLineName != nullptr) {
        *cLineName = m_cLineName;
    }
    lIndex = m_lLaboratoryLineIndex;
    fWavelength = m_fLaboratoryWavelength;
}

void SpectralLine::GetLineData(std::string* cLineName, double& fLaboratoryWavelength, int32_t& lLaboratoryIndex,
                                double& fCenter1, double& fCenter2, bool& bDoubleGaussian) const
{
    QASSERT(cLineName!=NULL);
    *cLineName = m_cLineName;
    fLaboratoryWavelength = m_fLaboratoryWavelength;
    lLaboratoryIndex = m_lLaboratoryLineIndex;
    fCenter1 = m_fCenter1;
    fCenter2 = m_fCenter2;
    bDoubleGaussian = m_bDoubleGaussian != 0;
}

