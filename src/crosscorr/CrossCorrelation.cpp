#include "CrossCorrelation.h"

#include "CubicSpline.h"
#include "core/AtomicFile.h"
#include "core/Assert.h"
#include "core/BinaryStream.h"
#include "core/FileHandle.h"
#include "core/NumberText.h"
#include "core/Utils.h"
#include "spectrum/Spectrum.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

std::unique_ptr<DataSeries> CopyOf(const Spectrum* pSpectrum)
{
    auto pArray = std::make_unique<DataSeries>();
    if (pSpectrum->GetNumberValues() > 0) {
        pArray->SetValues(pSpectrum->GetWavelengths().data(), pSpectrum->GetIntensities().data(),
                          pSpectrum->GetNumberValues());
    }
    return pArray;
}

// The array resampled at f (n - 1) + 1 points evenly between its ends, through its spline.
bool Oversample(DataSeries& oArray, int32_t f)
{
    const int32_t n = oArray.GetArraySize();
    if (n < 2) {
        return true;
    }
    CubicSpline oSpline;
    if (!oSpline.SetPoints(oArray)) {
        return false;
    }
    const int64_t lNew = static_cast<int64_t>(f) * (n - 1) + 1;
    const double x0 = oArray.GetX(0);
    const double x1 = oArray.GetX(n - 1);
    DataSeries oNew;
    oNew.SetSize(static_cast<int32_t>(lNew));
    for (int32_t k = 0; k < lNew; ++k) {
        const double x = x0 + k * (x1 - x0) / static_cast<double>(lNew - 1);
        oNew.SetX(k, x);
        oNew.SetY(k, oSpline.Interpolate(x));
    }
    oArray = std::move(oNew);
    return true;
}

// The velocity of one lag of a grid uniform in ln(lambda) whose first two points are x0 and x1.
double LagVelocity(double x0, double x1)
{
    const double fLambda0 = std::exp(x0);
    const double fLambda1 = std::exp(x1);
    return (fLambda1 - fLambda0) / ((fLambda1 + fLambda0) * 0.5) * CrossCorrelation::kSpeedOfLight;
}

// Keeps the samples nearest to the window's ends and those between.
void CutToWindow(DataSeries& oArray, double fFrom, double fTo)
{
    if (oArray.GetArraySize() == 0) {
        return;
    }
    const int32_t a = oArray.FindNearestIndex(fFrom);
    const int32_t b = oArray.FindNearestIndex(fTo);
    oArray.Clip(a, b);
}

} // namespace

void CrossCorrelation::SetSpectrum(const Spectrum* pSpectrum)
{
    QASSERT(pSpectrum!=NULL);
    m_pSpectrumInput = CopyOf(pSpectrum);
}

void CrossCorrelation::SetTemplate(const Spectrum* pTemplate)
{
    QASSERT(pTemplate!=NULL);
    m_pTemplateInput = CopyOf(pTemplate);
}

void CrossCorrelation::SetParameters(double fFrom, double fTo, int32_t lSupportingPoints, int32_t lCorrelationSpan,
                                      double fAccuracy)
{
    m_fWavelengthFrom = fFrom;
    m_fWavelengthTo = fTo;
    m_lSupportingPoints = lSupportingPoints;
    m_lCorrelationSpan = lCorrelationSpan;
    m_fAccuracy = fAccuracy;
    m_bParametersSet = true;
}

void CrossCorrelation::GetParameters(double& fFrom, double& fTo, int32_t& lSupportingPoints,
                                      int32_t& lCorrelationSpan, double& fAccuracy) const
{
    fFrom = m_fWavelengthFrom;
    fTo = m_fWavelengthTo;
    lSupportingPoints = m_lSupportingPoints;
    lCorrelationSpan = m_lCorrelationSpan;
    fAccuracy = m_fAccuracy;
}

bool CrossCorrelation::Fail(const std::string& sWhy)
{
    m_sLastError = sWhy;
    return false;
}

bool CrossCorrelation::Calculate(Progress* pProgress)
{
    QASSERT(m_pSpectrumInput!=NULL && m_pTemplateInput!=NULL);
    if (!m_bParametersSet) {
        return Fail("Please specify CC parameters first before running cross correlation.");
    }
    const int32_t f = m_lSupportingPoints;
    const int32_t m = m_lCorrelationSpan;
    if (f < 1 || f > 1000) {
        return Fail("The supporting points per pixel must lie between 1 and 1000.");
    }
    if (m < 1) {
        return Fail("The correlation span must be at least 1.");
    }
    if (!(m_fAccuracy > 0) || !std::isfinite(m_fAccuracy)) {
        return Fail("The accuracy must be a velocity step greater than 0.");
    }
    // 1. and 2.: fresh copies cut to the window.
    DataSeries oSpectrum = *m_pSpectrumInput;
    DataSeries oTemplate = *m_pTemplateInput;
    CutToWindow(oSpectrum, m_fWavelengthFrom, m_fWavelengthTo);
    CutToWindow(oTemplate, m_fWavelengthFrom, m_fWavelengthTo);
    if (oSpectrum.GetArraySize() < 2 || oTemplate.GetArraySize() < 2) {
        return Fail("The wavelength window holds fewer than 2 samples of the spectrum or the template.");
    }
    const int64_t L = static_cast<int64_t>(f) * (oSpectrum.GetArraySize() - 1) + 1;
    if (2 * static_cast<int64_t>(m) >= L) {
        return Fail("The correlation span is too wide for the wavelength window (2 x span must stay below " +
                    std::to_string(L) + " supporting points).");
    }
    if (L > 50000000) {
        return Fail("The wavelength window and the supporting points give too many points.");
    }
    // Each of the 2 span + 1 lags sums over L - 2 span products.
    if ((2.0 * m + 1.0) * static_cast<double>(L - 2 * static_cast<int64_t>(m)) > kMaxProducts) {
        return Fail("The correlation span and the wavelength window ask for more than " +
                    quandrel::FormatGeneral(kMaxProducts, 3) +
                    " products. Narrow the span, the window or the supporting points per pixel.");
    }
    const DataSeries oWindow = oSpectrum;

    // 3.: ln(lambda), the template on the spectrum's samples.
    for (int32_t i = 0; i < oSpectrum.GetArraySize(); ++i) {
        if (!(oSpectrum.GetX(i) > 0)) {
            return Fail("The wavelengths in the window must be greater than 0.");
        }
    }
    for (int32_t i = 0; i < oTemplate.GetArraySize(); ++i) {
        if (!(oTemplate.GetX(i) > 0)) {
            return Fail("The template's wavelengths in the window must be greater than 0.");
        }
    }
    oSpectrum.ConvertXToLn();
    oTemplate.ConvertXToLn();
    CubicSpline oTemplateSpline;
    if (!oTemplateSpline.SetPoints(oTemplate)) {
        return Fail("The template's wavelengths must rise from sample to sample.");
    }
    DataSeries oResampled;
    oResampled.SetSize(oSpectrum.GetArraySize());
    for (int32_t i = 0; i < oSpectrum.GetArraySize(); ++i) {
        oResampled.SetX(i, oSpectrum.GetX(i));
        oResampled.SetY(i, oTemplateSpline.Interpolate(oSpectrum.GetX(i)));
    }
    oTemplate = std::move(oResampled);

    // 4.: oversampling.
    if (!Oversample(oSpectrum, f) || !Oversample(oTemplate, f)) {
        return Fail("The spectrum's wavelengths must rise from sample to sample.");
    }

    // 5.: the normalised correlation over lags 0 .. 2m.
    const std::vector<double>& S = oSpectrum.GetYValues();
    const std::vector<double>& T = oTemplate.GetYValues();
    const auto lLength = static_cast<int64_t>(T.size());
    const int64_t lCount = lLength - 2 * static_cast<int64_t>(m);
    double fTemplateMean = 0.0;
    for (const double t : T) {
        fTemplateMean += t;
    }
    fTemplateMean /= static_cast<double>(lLength);
    const auto WindowMean = [&](int64_t l) {
        double fSum = 0.0;
        for (int64_t i = 0; i < lCount; ++i) {
            fSum += S[static_cast<std::size_t>(l + i)];
        }
        return fSum / static_cast<double>(lCount);
    };
    const double fMean0 = WindowMean(0);
    double tt = 0.0;
    for (int64_t i = 0; i < lCount; ++i) {
        const double dt = T[static_cast<std::size_t>(m + i)] - fTemplateMean;
        tt += dt * dt;
    }
    DataSeries oFunction;
    oFunction.SetSize(2 * m + 1);
    const double dv = LagVelocity(oSpectrum.GetX(0), oSpectrum.GetX(1));
    for (int32_t l = 0; l <= 2 * m; ++l) {
        if (Cancelled(pProgress)) {
            return Fail("The correlation was cancelled.");
        }
        if (pProgress != nullptr) {
            pProgress->Set(static_cast<double>(l) / (2.0 * m + 1.0));
        }
        const double fMean = WindowMean(l);
        double num = 0.0;
        double ss = 0.0;
        for (int64_t i = 0; i < lCount; ++i) {
            const double s = S[static_cast<std::size_t>(l + i)];
            num += (s - fMean) * (T[static_cast<std::size_t>(m + i)] - fTemplateMean);
            ss += (s - fMean0) * (s - fMean0);
        }
        const double r = num / std::sqrt(tt) / std::sqrt(ss);
        if (!std::isfinite(r)) {
            return Fail(tt == 0.0 ? "The template has no variance in the wavelength window."
                                  : "The spectrum has no variance in the wavelength window.");
        }
        // 6.: lag m is 0 km/s.
        oFunction.SetX(l, dv * (l - m));
        oFunction.SetY(l, r);
    }

    // 7.: the fine velocity grid.
    const double fFirst = oFunction.GetX(0);
    const double fLast = oFunction.GetX(2 * m);
    const double fSteps = std::trunc((fLast - fFirst) / m_fAccuracy);
    if (!(fSteps >= 1) || fSteps > 50000000) {
        return Fail("The accuracy must be finer than the correlation span (and give at most 50 million points).");
    }
    CubicSpline oFunctionSpline;
    if (!oFunctionSpline.SetPoints(oFunction)) {
        return Fail("The spectrum's wavelengths must rise from sample to sample.");
    }
    const auto N = static_cast<int32_t>(fSteps);
    DataSeries oFine;
    oFine.SetSize(N);
    for (int32_t k = 0; k < N; ++k) {
        const double x = fFirst + k * (fLast - fFirst) / N;
        oFine.SetX(k, x);
        oFine.SetY(k, oFunctionSpline.Interpolate(x));
    }
    // The peak's curvature from the lags around the largest coefficient (second differences).
    int32_t lPeak = 0;
    for (int32_t l = 1; l <= 2 * m; ++l) {
        if (oFunction.GetY(l) > oFunction.GetY(lPeak)) {
            lPeak = l;
        }
    }
    m_fPeakCurvature = lPeak > 0 && lPeak < 2 * m ? (oFunction.GetY(lPeak - 1) - 2.0 * oFunction.GetY(lPeak) +
                                                      oFunction.GetY(lPeak + 1)) / (dv * dv)
                                                   : 0.0;
    m_oSpectrumWindow = oWindow;
    m_oCorrelationFunction = std::move(oFine);
    m_sLastError.clear();
    return true;
}

double CrossCorrelation::VelocityReach(std::span<const double> vWavelength, double fFrom, double fTo,
                                        int32_t lSupportingPoints, int32_t lSpan)
{
    if (vWavelength.size() < 2 || lSupportingPoints < 1 || lSpan < 1) {
        return 0.0;
    }
    const int32_t a = std::max(FindNearestIndexIn(vWavelength, fFrom), 0);
    const int32_t b = std::min(FindNearestIndexIn(vWavelength, fTo), static_cast<int32_t>(vWavelength.size()) - 1);
    if (b <= a || !(vWavelength[static_cast<std::size_t>(a)] > 0) ||
        !(vWavelength[static_cast<std::size_t>(b)] > vWavelength[static_cast<std::size_t>(a)])) {
        return 0.0;
    }
    // The oversampled grid runs evenly in ln(lambda) from the window's first to its last sample.
    const double x0 = std::log(vWavelength[static_cast<std::size_t>(a)]);
    const double xn = std::log(vWavelength[static_cast<std::size_t>(b)]);
    const double fIntervals = static_cast<double>(lSupportingPoints) * (b - a);
    return lSpan * LagVelocity(x0, x0 + (xn - x0) / fIntervals);
}

double CrossCorrelation::GetPeakVelocity() const
{
    if (m_oCorrelationFunction.GetArraySize() == 0) {
        return 0.0;
    }
    int32_t lBest = 0;
    for (int32_t i = 1; i < m_oCorrelationFunction.GetArraySize(); ++i) {
        if (m_oCorrelationFunction.GetY(i) > m_oCorrelationFunction.GetY(lBest)) {
            lBest = i;
        }
    }
    return m_oCorrelationFunction.GetX(lBest);
}

std::optional<double> CrossCorrelation::GetPeakVelocityError() const
{
    const int32_t n = m_oCorrelationFunction.GetArraySize();
    if (n < 2 || !PeakAtEdgeMessage().empty()) {
        return std::nullopt;
    }
    double fPeak = m_oCorrelationFunction.GetY(0);
    for (int32_t i = 1; i < n; ++i) {
        fPeak = std::max(fPeak, m_oCorrelationFunction.GetY(i));
    }
    const double c = std::min(fPeak, 1.0);
    const auto N = static_cast<double>(m_oSpectrumWindow.GetArraySize());
    if (!(c > 0.0) || !(m_fPeakCurvature < 0.0) || N < 1) {
        return std::nullopt;
    }
    return std::sqrt(-(1.0 - c * c) / (N * c * m_fPeakCurvature));
}

std::string CrossCorrelation::PeakAtEdgeMessage() const
{
    const int32_t n = m_oCorrelationFunction.GetArraySize();
    if (n < 2) {
        return std::string();
    }
    const double fPeak = GetPeakVelocity();
    if (fPeak != m_oCorrelationFunction.GetX(0) && fPeak != m_oCorrelationFunction.GetX(n - 1)) {
        return std::string();
    }
    const double fReach = std::max(std::fabs(m_oCorrelationFunction.GetX(0)), std::fabs(m_oCorrelationFunction.GetX(n - 1)));
    return "The correlation peaks at the edge of the searched range (\u00B1" + quandrel::FormatFixed(fReach, 1) +
           " km/s): the velocity lies beyond it. Let the correlation span grow.";
}

bool CrossCorrelation::SaveParameters(const std::string& sFileName) const
{
    BinaryWriter oWriter;
    oWriter.WriteDouble(m_fWavelengthFrom);
    oWriter.WriteDouble(m_fWavelengthTo);
    oWriter.WriteDouble(m_fAccuracy);
    oWriter.WriteInt32(m_lSupportingPoints);
    oWriter.WriteInt32(m_lCorrelationSpan);
    return quandrel::WriteFileAtomically(sFileName, oWriter.Bytes());
}

bool CrossCorrelation::LoadParameters(const std::string& sFileName)
{
    std::string sBytes;
    if (quandrel::ReadRegularFile(sFileName, 1024, sBytes) != quandrel::ReadFile::Read || sBytes.size() < 32) {
        // A short file is no parameter set.
        return false;
    }
    BinaryReader oReader(sBytes);
    double fFrom = 0, fTo = 0, fAccuracy = 0;
    int32_t lPoints = 0, lSpan = 0;
    oReader.ReadDouble(fFrom);
    oReader.ReadDouble(fTo);
    oReader.ReadDouble(fAccuracy);
    oReader.ReadInt32(lPoints);
    oReader.ReadInt32(lSpan);
    // Values no dialog would take are no parameter set either.
    if (!std::isfinite(fFrom) || !std::isfinite(fTo) || !(fAccuracy > 0) ||
        !std::isfinite(fAccuracy) || lPoints < 1 || lPoints > 1000 || lSpan < 1) {
        return false;
    }
    SetParameters(fFrom, fTo, lPoints, lSpan, fAccuracy);
    return true;
}
