// Phase dispersion minimisation and the radial-velocity graph.
#include "OrbitTestSupport.h"
#include "orbit/PDMClass.h"
#include "orbit/RVCurveClass.h"
#include "support/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(CPDM, FindsThePeriodOfAGeneratedSeries)
{
    const SOrbitalElements oTruth = Orbit(51.4, 2459700.0, 0.43, 20.0, 48.5, -13.0);
    const auto oSeries = MakeSeries(oTruth, 60, 2459700.0, 400.0, 1.0, 5);
    CPDM oPdm;
    oPdm.SetDataArray(oSeries);
    oPdm.SetPeriodRange((20.0 + 300.0) * 0.5, 20.0, 300.0);
    oPdm.SetNumberBins(60 / 3);
    oPdm.SetNumberParameters(1);
    oPdm.ScanPeriods();
    EXPECT_NEAR(oPdm.GetBestPeriod(), 51.4, 0.5);
}

TEST(CPDM, DispersionBinsAndEdgeCases)
{
    // Constant velocities within every bin at period 10: dispersion 0, and the first such period is reported.
    std::vector<double> vT;
    std::vector<double> vV;
    for (int k = 0; k < 40; ++k) {
        vT.push_back(2455000.0 + 2.5 * k);
        vV.push_back((k % 4) * 10.0);
    }
    CMeasuredDataArray oSeries;
    oSeries.SetValues(vT.data(), vV.data(), 40);
    CPDM oPdm;
    oPdm.SetDataArray(oSeries);
    oPdm.SetNumberParameters(1);
    oPdm.SetNumberBins(4);
    oPdm.SetPeriodRange(10.0, 10.0, 10.0);
    EXPECT_EQ(oPdm.ObjectiveFunction(), 0.0);
    oPdm.ScanPeriods();
    EXPECT_EQ(oPdm.GetBestPeriod(), 10.0) << "equal ends: the lower end is the only trial";
    // The first trial period of the scan with dispersion 0 is the one reported.
    oPdm.SetPeriodRange(9.0, 9.5, 10.5);
    oPdm.ScanPeriods();
    CPDM oProbe;
    oProbe.SetDataArray(oSeries);
    oProbe.SetNumberParameters(1);
    oProbe.SetNumberBins(4);
    double fFirstZero = -1.0;
    for (double P = 9.5; P < 10.5 && fFirstZero < 0; P += 0.01) {
        oProbe.SetPeriodRange(P, P, P);
        if (oProbe.ObjectiveFunction() == 0.0) {
            fFirstZero = P;
        }
    }
    ASSERT_GT(fFirstZero, 0.0);
    EXPECT_EQ(oPdm.GetBestPeriod(), fFirstZero);
    EXPECT_GT(oPdm.GetPeriod(), 10.49) << "the last trial lies just below the upper end";

    // One bin: the dispersion is the full range.
    oPdm.SetNumberBins(1);
    oPdm.SetPeriodRange(7.0, 7.0, 7.0);
    EXPECT_EQ(oPdm.ObjectiveFunction(), 30.0);
}

TEST(CRVCurve, PhasePlotStartsAtPhaseZeroAndDrawsTheFit)
{
    const SOrbitalElements oTruth = Orbit(12.5, 2455003.1, 0.3, 60.0, 35.0, -12.0);
    const auto oSeries = MakeSeries(oTruth, 20, 2455000.0, 60.0);
    COrbitalElements oOrbit;
    oOrbit.SetDataArray(oSeries);
    SetRanges(oOrbit, {{12.5, 12.5, 1}, {2455003.1, 2455003.1, 1}, {0.3, 0.3, 1}, {60.0, 60.0, 1},
                       {oTruth.fA1SinI, oTruth.fA1SinI, 1}, {-12.0, -12.0, 1}});
    CRecordingCanvas oCanvas;
    CRVCurve oPlain(&oCanvas, &oOrbit, oSeries, false);
    oPlain.Draw(300, 400);
    for (const auto& oLine : oCanvas.vLines) {
        EXPECT_FALSE(oLine.oColor == (SRgb{0, 0, 255})) << "no fitted curve before a fit";
    }
    EXPECT_TRUE(oCanvas.HasText("Julian date"));
    EXPECT_TRUE(oCanvas.HasText("radial velocity"));
    const std::size_t lPointsOnly = oCanvas.vLines.size();

    oOrbit.Optimize();
    oOrbit.RefineOptimum();
    CRecordingCanvas oPhaseCanvas;
    CRVCurve oPhase(&oPhaseCanvas, &oOrbit, oSeries, true);
    oPhase.Draw(300, 400);
    EXPECT_EQ(oPhase.PlottedX().front(), 0.0) << "the first point of the series has phase 0";
    EXPECT_LT(oPhase.PlottedX().back(), 1.0);
    EXPECT_GT(oPhaseCanvas.vLines.size(), lPointsOnly + 900) << "crosses, axes and the fitted curve";
    int lBlue = 0;
    for (const auto& oLine : oPhaseCanvas.vLines) {
        lBlue += oLine.oColor == SRgb{0, 0, 255};
    }
    EXPECT_GT(lBlue, 900);

    CRecordingCanvas oTooFew;
    CMeasuredDataArray oOne;
    const double t = 1.0;
    oOne.SetValues(&t, &t, 1);
    CRVCurve(&oTooFew, &oOrbit, oOne, false).Draw(300, 400);
    EXPECT_TRUE(oTooFew.vLines.empty());
}
