#include "Spectrum.h"

#include "core/Assert.h"
#include "core/DataSeries.h"
#include "core/Utils.h"
#include "lines/LocalExtrema.h"
#include "lines/NoiseFloor.h"

#include <algorithm>
#include <cmath>

void Spectrum::SetValues(int32_t lCount, const double* fValues1, const double* fValues2)
{
    QASSERT(fValues1!=NULL && fValues2!=NULL);
    ClearValues();
    lCount = std::max<int32_t>(lCount, 0);
    m_wavelengths.assign(fValues1, fValues1 + lCount);
    m_intensities.assign(fValues2, fValues2 + lCount);
    TakeKey();
}

void Spectrum::TakeValues(std::vector<double>&& vWavelength, std::vector<double>&& vIntensity)
{
    ClearValues();
    vIntensity.resize(vWavelength.size(), 0.0);
    m_wavelengths = std::move(vWavelength);
    m_intensities = std::move(vIntensity);
    TakeKey();
}

void Spectrum::ReplaceValues(int32_t lCount, const double* fWavelengths, const double* fIntensities)
{
    const double fKey = m_fKey;
    SetValues(lCount, fWavelengths, fIntensities);
    m_fKey = fKey;
}

void Spectrum::SetValues(const DataSeries& oValues)
{
    SetValues(oValues.GetArraySize(), oValues.GetXValues().data(), oValues.GetYValues().data());
}

void Spectrum::GetValues(int32_t lCount, double* fValues1, double* fValues2) const
{
    QASSERT(fValues1!=NULL && fValues2!=NULL);
    QASSERT(lCount>=0 && lCount<=GetNumberValues());
    std::copy_n(m_wavelengths.begin(), lCount, fValues1);
    std::copy_n(m_intensities.begin(), lCount, fValues2);
}

void Spectrum::DivideByContinuum(const std::vector<double>& vContinuum)
{
    QASSERT(vContinuum.size()==m_intensities.size());
    if (m_vOriginalIntensity.empty()) {
        m_vOriginalIntensity = m_intensities;
    }
    for (std::size_t i = 0; i < m_intensities.size(); ++i) {
        m_intensities[i] /= vContinuum[i];
    }
    m_oSpectralLineContainer.Clear();
}

void Spectrum::RestoreIntensities()
{
    if (m_vOriginalIntensity.size() == m_intensities.size()) {
        m_intensities = std::move(m_vOriginalIntensity);
        m_oSpectralLineContainer.Clear();
    }
    m_vOriginalIntensity.clear();
}

void Spectrum::ClearValues()
{
    m_wavelengths.clear();
    m_intensities.clear();
    m_vOriginalIntensity.clear();
    m_fKey = 0.0;
}

void Spectrum::SetObservationTime(double fJulianDate)
{
    m_fObservationTime = fJulianDate;
    m_bHasObservationTime = true;
}

bool Spectrum::GetObservationTime(double& fJulianDate) const
{
    fJulianDate = m_fObservationTime;
    return m_bHasObservationTime;
}

void Spectrum::TakeKey()
{
    double fSum = 0.0;
    for (const double fIntensity : m_intensities) {
        fSum += fIntensity;
    }
    m_fKey = fSum;
}

int32_t Spectrum::FindNearestIndex(double fWavelength) const
{
    QASSERT(GetNumberValues()>0);
    return FindNearestIndexIn(m_wavelengths, fWavelength);
}

bool Spectrum::StandsOutOfNoise(const SpectralLine& oLine, double fNoise, double fMinDepthSigma) const
{
    // A line of the searched kind: a dip in absorption, a peak in emission.
    const double fAmplitude = oLine.GetAmplitude1();
    if ((fAmplitude > 0.0) != m_bIsEmissionSpectrum || fAmplitude == 0.0) {
        return false;
    }
    // The depth in the data: the fitted continuum against the mean of the three samples nearest the
    // centre. A single sample's noise (or a hit on the detector) that the fit followed does not carry
    // its neighbours with it; a line does.
    const auto N = static_cast<std::ptrdiff_t>(m_wavelengths.size());
    if (N < 3) {
        return false;
    }
    const auto itCenter = std::lower_bound(m_wavelengths.begin(), m_wavelengths.end(), oLine.GetFirstCenter());
    std::ptrdiff_t lAt = itCenter - m_wavelengths.begin();
    if (lAt > 0 && (lAt == N || oLine.GetFirstCenter() - m_wavelengths[static_cast<std::size_t>(lAt - 1)] <
                                     m_wavelengths[static_cast<std::size_t>(lAt)] - oLine.GetFirstCenter())) {
        --lAt;
    }
    lAt = std::clamp<std::ptrdiff_t>(lAt, 1, N - 2);
    double fCore = 0.0;
    for (std::ptrdiff_t i = lAt - 1; i <= lAt + 1; ++i) {
        fCore += m_intensities[static_cast<std::size_t>(i)] / 3.0;
    }
    const double fDepth = m_bIsEmissionSpectrum ? fCore - oLine.GetOffset() : oLine.GetOffset() - fCore;
    return fDepth >= fMinDepthSigma * fNoise && fDepth > 0.0;
}

void Spectrum::FindSpectralLines(int32_t lWidth, double fSensitivity, double fMinDepthSigma)
{
    const int32_t N = GetNumberValues();
    std::vector<int32_t> vExtrema(static_cast<std::size_t>(N));
    DataSeries oSeries;
    if (N > 0) {
        oSeries.SetValues(m_wavelengths.data(), m_intensities.data(), N);
    }
    int32_t lCount = 0;
    LocalExtrema::Find(lWidth, fSensitivity, oSeries, vExtrema, lCount,
                                                    m_bIsEmissionSpectrum);
    m_oSpectralLineContainer.Clear();
    const double fNoise = fMinDepthSigma > 0.0 ? EstimateNoiseSigma(m_intensities) : 0.0;
    const double fScale = SpectralLine::FitScale(m_intensities, m_bIsEmissionSpectrum);
    const int32_t lHalf = lWidth / 2;
    for (int32_t j = 0; j < lCount; ++j) {
        const int32_t k = vExtrema[static_cast<std::size_t>(j)];
        const DataSeries oSection = GetSection(k, lHalf);
        // A window of zeros (padding before or after the data, a gap) holds no line.
        bool bAllZero = true;
        for (int32_t i = 0; i < oSection.GetArraySize() && bAllZero; ++i) {
            bAllZero = std::fabs(oSection.GetY(i)) <= 1e-12;
        }
        if (bAllZero) {
            continue;
        }
        auto pLine = std::make_unique<SpectralLine>();
        pLine->SetFirstCenter(m_wavelengths[static_cast<std::size_t>(k)]);
        if (pLine->FitGaussian(oSection, m_bIsEmissionSpectrum, fScale) && (fMinDepthSigma <= 0.0 || StandsOutOfNoise(*pLine, fNoise, fMinDepthSigma))) {
            m_oSpectralLineContainer.AddSpectralLine(std::move(pLine));
        }
    }
}

DataSeries Spectrum::GetSection(int32_t lIndex, int32_t lHalf) const
{
    const int32_t N = GetNumberValues();
    const int32_t lFirst = std::max<int32_t>(lIndex - lHalf, 0);
    const int32_t lLast = static_cast<int32_t>(std::min<int64_t>(static_cast<int64_t>(lIndex) + lHalf, N - 1));
    DataSeries oSection;
    if (lFirst <= lLast) {
        oSection.SetValues(m_wavelengths.data() + lFirst, m_intensities.data() + lFirst, lLast - lFirst + 1);
    }
    return oSection;
}

void Spectrum::CheckLineIndex(int32_t lSpectralLineIndex) const
{
    QASSERT(lSpectralLineIndex>=0 && lSpectralLineIndex<m_oSpectralLineContainer.GetSpectralLineCount());
}

int32_t Spectrum::ToggleActiveLine(int32_t lSpectralLineIndex)
{
    CheckLineIndex(lSpectralLineIndex);
    return m_oSpectralLineContainer.ToggleActive(lSpectralLineIndex);
}

bool Spectrum::IsActiveLine(int32_t lSpectralLineIndex) const
{
    CheckLineIndex(lSpectralLineIndex);
    return m_oSpectralLineContainer.IsActive(lSpectralLineIndex);
}

int32_t Spectrum::GetActiveLineIndex() const
{
    for (int32_t i = 0; i < GetSpectralLineCount(); ++i) {
        if (m_oSpectralLineContainer.IsActive(i)) {
            return i;
        }
    }
    return -2;
}

double Spectrum::GetLineCenter(int32_t lSpectralLineIndex) const
{
    CheckLineIndex(lSpectralLineIndex);
    return m_oSpectralLineContainer.GetCenter(lSpectralLineIndex);
}

double Spectrum::GetLineWidth(int32_t lSpectralLineIndex) const
{
    CheckLineIndex(lSpectralLineIndex);
    return m_oSpectralLineContainer.GetWidth(lSpectralLineIndex);
}

double Spectrum::GetLineFirstCenter(int32_t lSpectralLineIndex) const
{
    CheckLineIndex(lSpectralLineIndex);
    return m_oSpectralLineContainer.GetFirstCenter(lSpectralLineIndex);
}

double Spectrum::GetLineSecondCenter(int32_t lSpectralLineIndex, bool& bDoubleGaussian) const
{
    CheckLineIndex(lSpectralLineIndex);
    return m_oSpectralLineContainer.GetSecondCenter(lSpectralLineIndex, bDoubleGaussian);
}

int32_t Spectrum::GetLineLaboratoryIndex(int32_t lSpectralLineIndex) const
{
    CheckLineIndex(lSpectralLineIndex);
    return m_oSpectralLineContainer.GetLaboratoryLineIndex(lSpectralLineIndex);
}

double Spectrum::EvaluateLine(int32_t lSpectralLineIndex, double fWavelength) const
{
    CheckLineIndex(lSpectralLineIndex);
    return m_oSpectralLineContainer.Evaluate(lSpectralLineIndex, fWavelength);
}

void Spectrum::SetLineIdentification(int32_t lSpectralLineIndex, int32_t lLaboratoryIndex, double fLaboratoryWavelength,
                                      const char* cLineName)
{
    QASSERT(cLineName!=NULL);
    CheckLineIndex(lSpectralLineIndex);
    m_oSpectralLineContainer.SetIdentification(lSpectralLineIndex, lLaboratoryIndex, fLaboratoryWavelength, cLineName);
}

void Spectrum::GetLineIdentification(int32_t lSpectralLineIndex, int32_t& lLaboratoryIndex,
                                      double& fLaboratoryWavelength, std::string* cLineName, int32_t& lCount) const
{
    QASSERT(cLineName!=NULL);
    QASSERT(lSpectralLineIndex>=0);
    CheckLineIndex(lSpectralLineIndex);
    m_oSpectralLineContainer.GetIdentification(lSpectralLineIndex, cLineName, lLaboratoryIndex, fLaboratoryWavelength);
    if (lLaboratoryIndex < 0) {
        lCount = -1;
        return;
    }
    lCount = 0;
    for (int32_t i = 0; i < GetSpectralLineCount(); ++i) {
        if (m_oSpectralLineContainer.GetLaboratoryLineIndex(i) == lLaboratoryIndex) {
            ++lCount;
        }
    }
}

void Spectrum::GetLineData(int32_t lSpectralLineIndex, std::string* cLineName, double& fLaboratoryWavelength,
                            int32_t& lLaboratoryIndex, double& fCenter1, double& fCenter2, bool& bDoubleGaussian) const
{
    QASSERT(cLineName!=NULL);
    QASSERT(lSpectralLineIndex>=0);
    CheckLineIndex(lSpectralLineIndex);
    m_oSpectralLineContainer.GetLineData(lSpectralLineIndex, cLineName, fLaboratoryWavelength, lLaboratoryIndex, fCenter1,
                                         fCenter2, bDoubleGaussian);
}

void Spectrum::OptimizeFit(double fLevel)
{
    const int32_t lActive = GetActiveLineIndex();
    const int32_t N = GetNumberValues();
    if (lActive < 0 || N == 0) {
        return;
    }
    int32_t j = FindNearestIndex(m_oSpectralLineContainer.GetCenter(lActive));
    const double d = fLevel;
    int32_t e = j;
    while (e - 1 >= 0 && m_intensities[static_cast<std::size_t>(e - 1)] < d) {
        --e;
    }
    while (j + 1 < N && m_intensities[static_cast<std::size_t>(j + 1)] < d) {
        ++j;
    }
    m_oSpectralLineContainer.FitGaussian(lActive, m_wavelengths.data() + e, m_intensities.data() + e, j - e + 1,
                                         m_bIsEmissionSpectrum,
                                         SpectralLine::FitScale(m_intensities, m_bIsEmissionSpectrum));
}

void Spectrum::SetGaussianType(int32_t lSpectralLineIndex, bool bDouble)
{
    CheckLineIndex(lSpectralLineIndex);
    m_oSpectralLineContainer.SetGaussianType(lSpectralLineIndex, bDouble);
}

bool Spectrum::IsDoubleGaussian(int32_t lSpectralLineIndex) const
{
    CheckLineIndex(lSpectralLineIndex);
    return m_oSpectralLineContainer.IsDoubleGaussian(lSpectralLineIndex);
}

void Spectrum::SetCombination(int32_t lSpectralLineIndex, char cCombination)
{
    CheckLineIndex(lSpectralLineIndex);
    m_oSpectralLineContainer.SetCombination(lSpectralLineIndex, cCombination);
    const int32_t lNeighbour = cCombination == 1 ? lSpectralLineIndex + 1
                             : cCombination == 0 ? lSpectralLineIndex - 1
                                                 : -1;
    if (cCombination == 2 || lNeighbour < 0 || lNeighbour >= GetSpectralLineCount()) {
        return;
    }
    int32_t lIndex = -1;
    double fWavelength = 0.0;
    m_oSpectralLineContainer.GetIdentification(lNeighbour, nullptr, lIndex, fWavelength);
    m_oSpectralLineContainer.SetIdentification(lSpectralLineIndex, lIndex, fWavelength, nullptr);
}

char Spectrum::GetCombination(int32_t lSpectralLineIndex) const
{
    CheckLineIndex(lSpectralLineIndex);
    return m_oSpectralLineContainer.GetCombination(lSpectralLineIndex);
}

