// Lines of a spectrum: the search, identifications, combinations, the
// level refit, drawing and the hit test.
#include "core/DataSeries.h"
#include "lines/SliderScale.h"
#include "spectrum/SpectrumPlot.h"
#include "support/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

struct Line {
    double fCenter;
    double fSigma;
    double fDepth;
};

// An absorption spectrum on a continuum of 1.0, sampled every fStep from fStart.
void FillSpectrum(Spectrum& oSpectrum, double fStart, double fStep, int n, const std::vector<Line>& vLines)
{
    std::vector<double> vW(static_cast<std::size_t>(n));
    std::vector<double> vI(static_cast<std::size_t>(n));
    for (int k = 0; k < n; ++k) {
        const double x = fStart + k * fStep;
        double y = 1.0;
        for (const auto& o : vLines) {
            y -= o.fDepth * std::exp(-(x - o.fCenter) * (x - o.fCenter) / (2 * o.fSigma * o.fSigma));
        }
        vW[static_cast<std::size_t>(k)] = x;
        vI[static_cast<std::size_t>(k)] = y;
    }
    oSpectrum.SetValues(n, vW.data(), vI.data());
}

} // namespace

TEST(CSpectrumLines, SearchFindsAndFitsEveryLine)
{
    Spectrum oSpectrum;
    const std::vector<Line> vTruth = {{4861.33, 1.2, 0.5}, {5889.95, 0.4, 0.6}, {6562.8, 1.5, 0.4}};
    FillSpectrum(oSpectrum, 4800.0, 0.2, 10000, vTruth);
    // Width 60: sections of 61 samples, +-6 A around each line.
    oSpectrum.FindSpectralLines(60, 0.1);
    ASSERT_EQ(oSpectrum.GetSpectralLineCount(), 3);
    for (int32_t i = 0; i < 3; ++i) {
        EXPECT_NEAR(oSpectrum.GetLineCenter(i), vTruth[static_cast<std::size_t>(i)].fCenter, 0.01) << i;
        EXPECT_NEAR(oSpectrum.GetLineWidth(i), vTruth[static_cast<std::size_t>(i)].fSigma, 0.02) << i;
        EXPECT_NEAR(oSpectrum.EvaluateLine(i, vTruth[static_cast<std::size_t>(i)].fCenter),
                    1.0 - vTruth[static_cast<std::size_t>(i)].fDepth, 0.01)
            << i;
    }
    // A second search replaces the lines; within +-2.4 A the 1.5 A wide line rises only 0.29.
    oSpectrum.FindSpectralLines(24, 0.35);
    EXPECT_EQ(oSpectrum.GetSpectralLineCount(), 2);
    oSpectrum.SetEmissionSpectrum(true);
    oSpectrum.FindSpectralLines(24, 0.1);
    EXPECT_EQ(oSpectrum.GetSpectralLineCount(), 0) << "no emission lines in an absorption spectrum";
}

TEST(CSpectrumLines, ZeroPaddingHoldsNoLines)
{
    // A spectrum padded with zeros before its data, as pipelines write them, and one line.
    Spectrum oSpectrum;
    FillSpectrum(oSpectrum, 6500.0, 0.2, 600, {{6560.0, 1.0, 0.5}});
    std::vector<double> vW = oSpectrum.GetWavelengths();
    std::vector<double> vI = oSpectrum.GetIntensities();
    std::fill(vI.begin(), vI.begin() + 50, 0.0);
    oSpectrum.SetValues(static_cast<int32_t>(vW.size()), vW.data(), vI.data());
    // The narrowest window and the lowest sensitivity of the sliders.
    const auto oSearch = SliderScale::SearchOf(20, 0, 0);
    ASSERT_TRUE(oSearch);
    for (const bool bEmission : {false, true}) {
        oSpectrum.SetEmissionSpectrum(bEmission);
        oSpectrum.FindSpectralLines(oSearch->lWindow, oSearch->fMinDepth);
        for (int32_t i = 0; i < oSpectrum.GetSpectralLineCount(); ++i) {
            // Only the step at the end of the zeros may show as a line.
            EXPECT_GT(oSpectrum.GetLineCenter(i), vW[44]) << "a line in the zeros, emission " << bEmission;
        }
    }
    oSpectrum.SetEmissionSpectrum(false);
    oSpectrum.FindSpectralLines(20, 0.1);
    ASSERT_GE(oSpectrum.GetSpectralLineCount(), 1);
    EXPECT_NEAR(oSpectrum.GetLineCenter(oSpectrum.GetSpectralLineCount() - 1), 6560.0, 0.05);
}

TEST(CSpectrumLines, IdentificationCountsLinesOfTheSameLaboratoryLine)
{
    Spectrum oSpectrum;
    FillSpectrum(oSpectrum, 6540.0, 0.1, 600, {{6550.0, 0.5, 0.5}, {6560.0, 0.5, 0.5}, {6580.0, 0.5, 0.5}});
    oSpectrum.FindSpectralLines(20, 0.1);
    ASSERT_EQ(oSpectrum.GetSpectralLineCount(), 3);
    std::string sName;
    int32_t lIndex = 0;
    double fWavelength = 0;
    int32_t lCount = 0;
    oSpectrum.GetLineIdentification(0, lIndex, fWavelength, &sName, lCount);
    EXPECT_EQ(lCount, -1) << "not identified";
    oSpectrum.SetLineIdentification(0, 7, 6562.8, "H-alpha");
    oSpectrum.SetLineIdentification(2, 7, 6562.8, "H-alpha");
    oSpectrum.GetLineIdentification(2, lIndex, fWavelength, &sName, lCount);
    EXPECT_EQ(lCount, 2);
    EXPECT_EQ(sName, "H-alpha");
    EXPECT_EQ(lIndex, 7);
    EXPECT_EQ(oSpectrum.GetLineLaboratoryIndex(1), -1);
}

TEST(CSpectrumLines, CombiningCopiesTheNeighboursIdentificationButNotItsName)
{
    Spectrum oSpectrum;
    FillSpectrum(oSpectrum, 6540.0, 0.1, 600, {{6550.0, 0.5, 0.5}, {6560.0, 0.5, 0.5}, {6580.0, 0.5, 0.5}});
    oSpectrum.FindSpectralLines(20, 0.1);
    ASSERT_EQ(oSpectrum.GetSpectralLineCount(), 3);
    oSpectrum.SetLineIdentification(0, 1, 6549.9, "first");
    oSpectrum.SetLineIdentification(1, 2, 6560.1, "second");
    oSpectrum.SetCombination(0, 1);
    EXPECT_EQ(oSpectrum.GetCombination(0), 1);
    std::string sName;
    int32_t lIndex = 0;
    double fWavelength = 0;
    int32_t lCount = 0;
    oSpectrum.GetLineIdentification(0, lIndex, fWavelength, &sName, lCount);
    EXPECT_EQ(lIndex, 2);
    EXPECT_EQ(fWavelength, 6560.1);
    EXPECT_EQ(sName, "first");
    oSpectrum.SetCombination(1, 0);
    EXPECT_EQ(oSpectrum.GetCombination(1), 0);
    oSpectrum.SetCombination(1, 2);
    EXPECT_EQ(oSpectrum.GetCombination(1), 2);
    oSpectrum.SetCombination(0, 0); // no left neighbour of line 0: the state only
    EXPECT_EQ(oSpectrum.GetCombination(0), 0);
    EXPECT_EQ(oSpectrum.GetLineLaboratoryIndex(0), 2);
}

TEST(CSpectrumLines, LevelRefitUsesTheSamplesBelowTheLevel)
{
    Spectrum oSpectrum;
    FillSpectrum(oSpectrum, 6540.0, 0.05, 800, {{6560.0, 0.8, 0.6}});
    oSpectrum.FindSpectralLines(60, 0.1);
    ASSERT_EQ(oSpectrum.GetSpectralLineCount(), 1);
    const double fBefore = oSpectrum.GetLineWidth(0);
    oSpectrum.OptimizeFit(90.0 / 100);
    EXPECT_EQ(oSpectrum.GetLineWidth(0), fBefore) << "no active line: nothing happens";

    // The samples below 0.9 around the centre: 0.6 g > 0.1, |x - 6560| < 1.893 sigma = 1.514 A.
    const int32_t lCentre = oSpectrum.FindNearestIndex(oSpectrum.GetLineCenter(0));
    int32_t e = lCentre;
    int32_t j = lCentre;
    const auto& vI = oSpectrum.GetIntensities();
    while (e > 0 && vI[static_cast<std::size_t>(e - 1)] < 0.9) {
        --e;
    }
    while (j + 1 < 800 && vI[static_cast<std::size_t>(j + 1)] < 0.9) {
        ++j;
    }
    EXPECT_EQ(j - e + 1, 61);
    SpectralLine oExpected;
    oExpected.SetFirstCenter(oSpectrum.GetLineCenter(0));
    DataSeries oSection;
    oSection.SetValues(oSpectrum.GetWavelengths().data() + e, vI.data() + e, j - e + 1);
    ASSERT_TRUE(oExpected.FitGaussian(oSection, false));

    oSpectrum.ToggleActiveLine(0);
    EXPECT_EQ(oSpectrum.GetActiveLineIndex(), 0);
    oSpectrum.OptimizeFit(90.0 / 100);
    EXPECT_EQ(oSpectrum.GetLineWidth(0), oExpected.GetWidth());
    EXPECT_EQ(oSpectrum.GetLineCenter(0), oExpected.GetCenter());
    EXPECT_NEAR(oSpectrum.GetLineCenter(0), 6560.0, 0.01);
    oSpectrum.ToggleActiveLine(0);
    EXPECT_EQ(oSpectrum.GetActiveLineIndex(), -2);
}

TEST(CSpectrumLines, FitsAreDrawnAndHitByTheirRegion)
{
    RecordingCanvas oCanvas;
    Spectrum oSpectrum;
    FillSpectrum(oSpectrum, 0.0, 0.1, 401, {{10.0, 0.5, 0.5}, {30.0, 0.5, 0.5}});
    SpectrumPlot oPlot(&oCanvas, oSpectrum);
    oPlot.PlotAllValues();
    EXPECT_EQ(oPlot.FindLineAt(100, 100), -2);
    oSpectrum.FindSpectralLines(20, 0.1);
    ASSERT_EQ(oSpectrum.GetSpectralLineCount(), 2);
    oSpectrum.ToggleActiveLine(1);
    oPlot.Draw(300, 400);
    int lGreen = 0;
    int lBlue = 0;
    for (const auto& oLine : oCanvas.vLines) {
        lGreen += oLine.oColor == Rgb{0, 128, 0};
        lBlue += oLine.oColor == Rgb{0, 0, 255};
    }
    EXPECT_EQ(lGreen, 19) << "20 samples of the active line";
    EXPECT_EQ(lBlue, 19);

    // x 0 .. 40 over a plot 265 wide from column 60: the centre 30 lies at column 60 + 198.75.
    EXPECT_EQ(oPlot.FindLineAt(259, 150), 1);
    EXPECT_EQ(oPlot.FindLineAt(60 + 66, 150), 0);
    EXPECT_EQ(oPlot.FindLineAt(60 + 132, 150), -1) << "between the lines";
    EXPECT_EQ(oPlot.FindLineAt(10, 150), -1) << "outside the data";
    oSpectrum.ToggleActiveLine(1);
}
