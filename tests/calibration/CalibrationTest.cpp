// Calibration points, the polynomial and the sampling point mappings, and a
// generated lamp spectrum calibrated from its own lines.
#include "calibration/WavelengthCalibration.h"
#include "spectrum/Spectrum.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

std::vector<double> Measured(const WavelengthCalibration& o)
{
    std::vector<double> v;
    for (const auto& p : o.Points()) {
        v.push_back(p.fMeasured);
    }
    return v;
}

// The lamp's true pixel-to-wavelength relation.
double TrueLambda(double p)
{
    return 5800.0 + 0.65 * p + 2e-5 * p * p - 3e-9 * p * p * p;
}

} // namespace

TEST(WavelengthCalibration, PointsStaySortedAndTheSameLineReplacesItsPosition)
{
    WavelengthCalibration o;
    o.AddCalibrationPoint(100.0, 4990.0);
    o.AddCalibrationPoint(300.0, 5100.0);
    o.AddCalibrationPoint(200.0, 5050.0);
    EXPECT_EQ(Measured(o), (std::vector<double>{100.0, 200.0, 300.0}));
    // Close positions of different lines (the neon pair 5974.63 / 5975.53 A) are two points.
    o.AddCalibrationPoint(102.0, 5000.0);
    ASSERT_EQ(o.GetCalibrationPointCount(), 4);
    EXPECT_EQ(o.Points()[1].fLambda, 5000.0);
    // The same line identified again: its newer position replaces the older, in order.
    o.AddCalibrationPoint(250.0, 4990.0);
    EXPECT_EQ(Measured(o), (std::vector<double>{102.0, 200.0, 250.0, 300.0}));
    EXPECT_EQ(o.Points()[2].fLambda, 4990.0);
    o.DeleteCalibrationPoint(1);
    o.DeleteCalibrationPoint(9);
    EXPECT_EQ(Measured(o), (std::vector<double>{102.0, 250.0, 300.0}));
    o.ClearCalibrationPoints();
    bool bReduced = true;
    EXPECT_EQ(o.FitCalibration(bReduced), WavelengthCalibration::FitResult::kNoPoints);
}

TEST(WavelengthCalibration, PolynomialDegreeDropsToThePoints)
{
    WavelengthCalibration o;
    o.AddCalibrationPoint(100.0, 5000.0);
    o.AddCalibrationPoint(200.0, 5120.0);
    o.AddCalibrationPoint(300.0, 5260.0);
    o.SetCalibrationMode(2); // degree 3
    bool bReduced = false;
    ASSERT_EQ(o.FitCalibration(bReduced), WavelengthCalibration::FitResult::kFitted);
    EXPECT_TRUE(bReduced);
    double fMeanSquare = -1;
    double fMax = -1;
    ASSERT_TRUE(o.GetResiduals(fMeanSquare, fMax));
    EXPECT_LT(fMax, 1e-6) << "the quadratic passes through the three points";
    EXPECT_NEAR(o.CalibrateValue(250.0), 5187.5, 1e-6);

    // One point: no fit; no residuals before any polynomial was fitted.
    WavelengthCalibration oSingle;
    oSingle.AddCalibrationPoint(100.0, 5000.0);
    oSingle.SetCalibrationMode(0);
    ASSERT_EQ(oSingle.FitCalibration(bReduced), WavelengthCalibration::FitResult::kFitted);
    EXPECT_TRUE(bReduced);
    EXPECT_FALSE(oSingle.GetResiduals(fMeanSquare, fMax));
    double afX[] = {1.0, 2.0};
    EXPECT_FALSE(oSingle.Calibrate(2, afX));
    EXPECT_EQ(afX[0], 1.0);
}

TEST(WavelengthCalibration, SamplingPointsInterpolateAndExtrapolateAlongTheEnds)
{
    WavelengthCalibration o;
    o.AddCalibrationPoint(10, 100);
    o.AddCalibrationPoint(20, 200);
    o.AddCalibrationPoint(30, 400);
    o.SetCalibrationMode(WavelengthCalibration::kSamplingPoints);
    bool bReduced = true;
    ASSERT_EQ(o.FitCalibration(bReduced), WavelengthCalibration::FitResult::kFitted);
    EXPECT_FALSE(bReduced);
    EXPECT_EQ(o.CalibrateValue(15), 150);
    EXPECT_EQ(o.CalibrateValue(25), 300);
    EXPECT_EQ(o.CalibrateValue(5), 50);
    EXPECT_EQ(o.CalibrateValue(35), 500);
    for (const auto& p : o.Points()) {
        EXPECT_EQ(o.CalibrateValue(p.fMeasured), p.fLambda) << "the points themselves are reproduced";
    }
    double fMeanSquare = -1;
    double fMax = -1;
    EXPECT_FALSE(o.GetResiduals(fMeanSquare, fMax));
    EXPECT_EQ(fMeanSquare, 0.0);
    o.SetCalibrationMode(7);
    EXPECT_EQ(o.CalibrateValue(35), 35) << "no calibration";
}

TEST(PolynomialRegression, FitsExactlyAndGuardsZero)
{
    PolynomialRegression o;
    EXPECT_FALSE(o.IsFitted());
    const double afX[] = {0.0, 1.0, 2.0, 3.0, 4.0};
    double afY[5];
    for (int i = 0; i < 5; ++i) {
        afY[i] = 3.0 - 2.0 * afX[i] + 0.5 * afX[i] * afX[i];
    }
    o.FitPolynomial(2, afX, afY, 5);
    EXPECT_NEAR(o.EvaluatePolynomial(0.0), 3.0, 1e-9) << "0 is taken as 1e-12";
    EXPECT_NEAR(o.EvaluatePolynomial(10.0), 33.0, 1e-8);
    const double afSame[] = {5.0, 5.0, 5.0};
    EXPECT_FALSE(o.FitPolynomial(1, afSame, afY, 3)) << "all points at one position";
}

TEST(WavelengthCalibration, AGeneratedLampCalibratesEveryPixelWithinAHundredthOfAnAngstrom)
{
    TempDir oDir;
    WavelengthCalibration oCalibration;
    ASSERT_TRUE(oCalibration.Lines().Load(std::string(QUANDREL_SAMPLE_DATA_DIR) + "/Neon.txt"));
    // The lamp in pixels: every neon line without a neighbour within 10 A (no blends) as a Gaussian of
    // 1.5 pixels at the position of its wavelength.
    std::vector<double> vPixel(2048);
    std::vector<double> vIntensity(2048, 0.02);
    for (int32_t i = 0; i < oCalibration.Lines().GetLineCount(); ++i) {
        std::string sName;
        double fLambda = 0;
        oCalibration.Lines().GetLine(i, fLambda, &sName);
        bool bIsolated = true;
        for (int32_t j = 0; j < oCalibration.Lines().GetLineCount(); ++j) {
            double fOther = 0;
            oCalibration.Lines().GetLine(j, fOther, &sName);
            bIsolated = bIsolated && (i == j || std::fabs(fOther - fLambda) > 10.0);
        }
        if (!bIsolated) {
            continue;
        }
        double p = (fLambda - 5800.0) / 0.65;
        for (int k = 0; k < 30; ++k) {
            p -= (TrueLambda(p) - fLambda) / (0.65 + 4e-5 * p - 9e-9 * p * p);
        }
        for (int x = 0; x < 2048; ++x) {
            vIntensity[static_cast<std::size_t>(x)] += 0.8 * std::exp(-(x - p) * (x - p) / (2 * 1.5 * 1.5));
        }
    }
    for (int x = 0; x < 2048; ++x) {
        vPixel[static_cast<std::size_t>(x)] = x;
    }
    Spectrum oLamp;
    oLamp.SetValues(2048, vPixel.data(), vIntensity.data());
    oLamp.SetEmissionSpectrum(true);
    oLamp.FindSpectralLines(12, 0.2);
    ASSERT_GE(oLamp.GetSpectralLineCount(), 15);
    // Identify each found line with the nearest reference line to its true wavelength.
    for (int32_t i = 0; i < oLamp.GetSpectralLineCount(); ++i) {
        int32_t lIndex = 0;
        double fLambda = 0;
        std::string sName;
        ASSERT_TRUE(oCalibration.Lines().FindNearestLine(TrueLambda(oLamp.GetLineCenter(i)), lIndex, fLambda, &sName));
        if (std::fabs(TrueLambda(oLamp.GetLineCenter(i)) - fLambda) < 0.5) {
            oCalibration.AddCalibrationPoint(oLamp.GetLineCenter(i), fLambda);
        }
    }
    ASSERT_GE(oCalibration.GetCalibrationPointCount(), 12);
    oCalibration.SetCalibrationMode(2);
    bool bReduced = true;
    ASSERT_EQ(oCalibration.FitCalibration(bReduced), WavelengthCalibration::FitResult::kFitted);
    EXPECT_FALSE(bReduced);
    double fWorst = 0;
    for (int x = 0; x < 2048; ++x) {
        fWorst = std::max(fWorst, std::fabs(oCalibration.CalibrateValue(x) - TrueLambda(x)));
    }
    EXPECT_LT(fWorst, 0.01);
    double fMeanSquare = 0;
    double fMax = 0;
    ASSERT_TRUE(oCalibration.GetResiduals(fMeanSquare, fMax));
    EXPECT_LT(fMax, 0.01);
}

TEST(PolynomialRegression, StaysExactFarFromZeroAtEveryDegree)
{
    // Positions in angstrom (a spectrum recalibrated against lamp lines): the normal equations of x
    // itself would lose the cubic; the fit reproduces it at degrees 3 and 4.
    for (char cMode : {2, 3}) {
        WavelengthCalibration o;
        for (int i = 0; i < 15; ++i) {
            const double x = 5800.0 + 90.0 * i;
            o.AddCalibrationPoint(x, TrueLambda(x - 5800.0));
        }
        o.SetCalibrationMode(cMode);
        bool bReduced = true;
        ASSERT_EQ(o.FitCalibration(bReduced), WavelengthCalibration::FitResult::kFitted);
        double fMeanSquare = 0;
        double fMax = 1;
        ASSERT_TRUE(o.GetResiduals(fMeanSquare, fMax));
        EXPECT_LT(fMax, 1e-6) << "degree " << cMode + 1;
        EXPECT_NEAR(o.CalibrateValue(6500.0), TrueLambda(700.0), 1e-6);
    }
}
