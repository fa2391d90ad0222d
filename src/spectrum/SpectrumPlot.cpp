#include "SpectrumPlot.h"

#include <array>
#include <string>
#include <vector>

SpectrumPlot::SpectrumPlot(Canvas* pImage, const Spectrum& oSpectrum) : Graph(pImage), m_pSpectrum(&oSpectrum) {}

void SpectrumPlot::PlotAllValues()
{
    static const double fNone = 0.0;
    const bool bEmpty = m_pSpectrum->GetWavelengths().empty();
    SetData(m_pSpectrum->GetNumberValues(), bEmpty ? &fNone : m_pSpectrum->GetWavelengths().data(), bEmpty ? &fNone : m_pSpectrum->GetIntensities().data());
}

void SpectrumPlot::SetLevel(bool bShow, double fLevel, int32_t lLevelMax)
{
    m_bShowLevel = bShow;
    m_fLevel = fLevel;
    m_lLevelMax = lLevelMax;
}

void SpectrumPlot::Draw(int32_t lImageHeight, int32_t lImageWidth)
{
    if (m_lNumberValues <= 0 || m_pImage == nullptr) {
        return;
    }
    SetImageSize(lImageWidth, lImageHeight);
    SetDrawStyle(0);
    DrawAxes(m_sXAxisLabel, m_sYAxisLabel, m_fYMax, m_fYMin, m_fXMax, m_fXMin);
    DrawData();
    DrawLineFits();
    DrawLineMarks();
    DrawLevel();
}

void SpectrumPlot::DrawLineMarks()
{
    const Mapping oMap = CurrentMapping();
    const int lTop = m_lImageHeight - m_lBottomMargin - oMap.lPlotHeight;
    const Rgb oPreviousPen = m_pImage->GetPenColor();
    m_pImage->SetPenColor(GraphPalette(2));
    int lFreeFrom = 0; // the first column right of the last name drawn
    for (int32_t i = 0; i < m_pSpectrum->GetSpectralLineCount(); ++i) {
        std::string sName;
        double fLaboratory = 0.0;
        int32_t lIndex = -1;
        double fCenter = 0.0;
        double fSecond = 0.0;
        bool bDouble = false;
        m_pSpectrum->GetLineData(i, &sName, fLaboratory, lIndex, fCenter, fSecond, bDouble);
        if (lIndex < 0 || !(fCenter >= oMap.oX.fLow && fCenter <= oMap.oX.fHigh)) {
            continue;
        }
        const int X = m_lLeftMargin + oMap.PixelX(fCenter, 0.5);
        m_pImage->DrawLine(X, lTop, X, lTop + 8);
        const int lWidth = m_pImage->TextWidth(sName);
        const int lTextX = X - lWidth / 2;
        if (lTextX >= lFreeFrom) {
            m_pImage->DrawText(lTextX, lTop - 16, sName);
            lFreeFrom = lTextX + lWidth + 4;
        }
    }
    m_pImage->SetPenColor(oPreviousPen);
}

void SpectrumPlot::DrawLineFits()
{
    std::vector<double> vX;
    std::vector<double> vY;
    for (int32_t i = 0; i < m_pSpectrum->GetSpectralLineCount(); ++i) {
        const double c = m_pSpectrum->GetSpectralLines().GetCenter(i);
        const double w = m_pSpectrum->GetSpectralLines().GetWidth(i);
        const bool bDouble = m_pSpectrum->GetSpectralLines().IsDoubleGaussian(i);
        const int n = bDouble ? 30 : 20;
        const double fStart = c - 2 * w;
        const double fEnd = bDouble ? c + 3 * w : c + 2 * w;
        vX.resize(static_cast<std::size_t>(n));
        vY.resize(static_cast<std::size_t>(n));
        for (int k = 0; k < n; ++k) {
            vX[static_cast<std::size_t>(k)] = fStart + k * (fEnd - fStart) / n;
            vY[static_cast<std::size_t>(k)] = m_pSpectrum->GetSpectralLines().Evaluate(i, vX[static_cast<std::size_t>(k)]);
        }
        DrawSeries(vX.data(), vY.data(), m_pSpectrum->GetSpectralLines().IsActive(i) ? 4 : 3, n);
    }
}

int32_t SpectrumPlot::FindLineAt(int lX, int lY) const
{
    if (m_pSpectrum->GetSpectralLineCount() == 0) {
        return -2;
    }
    double fWavelength = 0.0;
    if (!PixelToValue(lX, lY, fWavelength)) {
        return -1;
    }
    for (int32_t i = 0; i < m_pSpectrum->GetSpectralLineCount(); ++i) {
        const double c = m_pSpectrum->GetSpectralLines().GetCenter(i);
        const double w = m_pSpectrum->GetSpectralLines().GetWidth(i);
        if (c - 2 * w < fWavelength && fWavelength < c + 2 * w) {
            return i;
        }
    }
    return -1;
}

void SpectrumPlot::DrawLevel()
{
    if (!m_bShowLevel || m_lLevelMax == 0) {
        return;
    }
    const double fIntensity = 0 + m_fLevel * (1 - 0) / m_lLevelMax;
    const std::array<double, 2> afX = {m_fXMin, m_fXMax};
    const std::array<double, 2> afY = {fIntensity, fIntensity};
    DrawSeries(afX.data(), afY.data(), 2, 2);
}
