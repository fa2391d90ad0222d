// Phase dispersion minimisation and the radial-velocity graph.
#include "OrbitTestSupport.h"
#include "orbit/PhaseDispersion.h"
#include "orbit/RvCurvePlot.h"
#include "support/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

TEST(PhaseDispersion, FindsThePeriodOfAGeneratedSeries)
{
    const OrbitElements oTruth = Orbit(51.4, 2459700.0, 0.43, 20.0, 48.5, -13.0);
    const auto oSeries = MakeSeries(oTruth, 60, 2459700.0, 400.0, 1.0, 5);
    PhaseDispersion oPdm;
    oPdm.SetDataArray(oSeries);
    oPdm.SetPeriodRange((20.0 + 300.0) * 0.5, 20.0, 300.0);
    oPdm.SetNumberBins(60 / 3);
    oPdm.SetNumberParameters(1);
    oPdm.ScanPeriods();
    EXPECT_NEAR(oPdm.GetBestPeriod(), 51.4, 0.5);
}

namespace {

// The scan as a plain loop: each period stepped to from the last, each dispersion computed afresh.
std::vector<std::pair<double, double>> PlainScan(const DataSeries& oSeries, double fLower, double fUpper,
                                                 int32_t lBins)
{
    std::vector<std::pair<double, double>> vScan;
    for (double P = fLower;; P += PhaseDispersion::kPeriodStep) {
        std::vector<double> vMin(static_cast<std::size_t>(lBins));
        std::vector<double> vMax(static_cast<std::size_t>(lBins));
        std::vector<bool> vUsed(static_cast<std::size_t>(lBins));
        for (int32_t k = 0; k < oSeries.GetArraySize(); ++k) {
            const double q = (oSeries.GetX(k) - oSeries.GetX(0)) / P;
            const double fBin = std::floor(P * (q - std::floor(q)) / P * lBins);
            const auto b = static_cast<std::size_t>(fBin >= lBins - 1 ? lBins - 1 : (fBin >= 0 ? fBin : 0));
            const double v = oSeries.GetY(k);
            vMin[b] = vUsed[b] ? std::min(vMin[b], v) : v;
            vMax[b] = vUsed[b] ? std::max(vMax[b], v) : v;
            vUsed[b] = true;
        }
        double fSum = 0.0;
        for (std::size_t b = 0; b < vMin.size(); ++b) {
            fSum += vUsed[b] ? vMax[b] - vMin[b] : 0.0;
        }
        vScan.emplace_back(P, fSum);
        if (!(P + PhaseDispersion::kPeriodStep < fUpper)) {
            return vScan;
        }
    }
}

} // namespace

TEST(PhaseDispersion, EveryThreadCountGivesTheScanOfThePlainLoop)
{
    const OrbitElements oTruth = Orbit(51.4, 2459700.0, 0.43, 20.0, 48.5, -13.0);
    const auto oSeries = MakeSeries(oTruth, 60, 2459700.0, 400.0, 1.0, 5);
    // 140,000 periods: more than two blocks of the scan, fewer scan points than periods.
    const auto vPlain = PlainScan(oSeries, 20.0, 1420.0, 20);
    ASSERT_GT(vPlain.size(), PhaseDispersion::kMaxScanPoints);
    for (const unsigned lThreads : {1U, 2U, 3U}) {
        PhaseDispersion oPdm;
        oPdm.SetDataArray(oSeries);
        oPdm.SetPeriodRange(20.0, 20.0, 1420.0);
        oPdm.SetNumberBins(20);
        oPdm.SetNumberParameters(1);
        oPdm.SetThreads(lThreads);
        oPdm.ScanPeriods();
        // Each scan point is the lowest dispersion of its stretch of two periods.
        const auto& vScan = oPdm.GetScan();
        ASSERT_EQ(vScan.size(), (vPlain.size() + 1) / 2) << lThreads;
        for (std::size_t i = 0; i < vScan.size(); ++i) {
            const auto oFirst = vPlain[2 * i];
            const auto oBest = 2 * i + 1 < vPlain.size() && vPlain[2 * i + 1].second < oFirst.second ? vPlain[2 * i + 1] : oFirst;
            ASSERT_EQ(vScan[i], oBest) << lThreads << " threads, point " << i;
        }
        const auto itBest = std::min_element(vPlain.begin(), vPlain.end(),
                                             [](const auto& a, const auto& b) { return a.second < b.second; });
        EXPECT_EQ(oPdm.GetBestPeriod(), itBest->first) << lThreads;
    }
}

TEST(PhaseDispersion, DispersionBinsAndEdgeCases)
{
    // Constant velocities within every bin at period 10: dispersion 0, and the first such period is reported.
    std::vector<double> vT;
    std::vector<double> vV;
    for (int k = 0; k < 40; ++k) {
        vT.push_back(2455000.0 + 2.5 * k);
        vV.push_back((k % 4) * 10.0);
    }
    DataSeries oSeries;
    oSeries.SetValues(vT.data(), vV.data(), 40);
    PhaseDispersion oPdm;
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
    PhaseDispersion oProbe;
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

TEST(RvCurvePlot, PhaseZeroIsPeriastronAndTheFitDrawnIsTheRefinedOne)
{
    const OrbitElements oTruth = Orbit(12.5, 2455003.1, 0.3, 60.0, 35.0, -12.0);
    const auto oSeries = MakeSeries(oTruth, 20, 2455000.0, 60.0);
    OrbitGridSearch oOrbit;
    oOrbit.SetDataArray(oSeries);
    SetRanges(oOrbit, {{12.5, 12.5, 1}, {2455003.1, 2455003.1, 1}, {0.3, 0.3, 1}, {60.0, 60.0, 1},
                       {oTruth.fA1SinI, oTruth.fA1SinI, 1}, {-12.0, -12.0, 1}});
    RecordingCanvas oCanvas;
    RvCurvePlot oPlain(&oCanvas, &oOrbit, oSeries, false);
    oPlain.Draw(300, 400);
    for (const auto& oLine : oCanvas.vLines) {
        EXPECT_FALSE(oLine.oColor == (Rgb{0, 0, 255})) << "no fitted curve before a fit";
    }
    EXPECT_TRUE(oCanvas.HasText("Julian date [d]"));
    EXPECT_TRUE(oCanvas.HasText("Radial velocity [km/s]"));
    const std::size_t lPointsOnly = oCanvas.vLines.size();

    oOrbit.Optimize();
    oOrbit.RefineOptimum();
    RecordingCanvas oPhaseCanvas;
    RvCurvePlot oPhase(&oPhaseCanvas, &oOrbit, oSeries, true);
    oPhase.Draw(300, 400);
    // Phase 0 is T0, the passage through periastron (not the first observation); and once refined
    // elements are set (the least-squares orbit), they are what is folded and drawn.
    const OrbitElements oBest = oOrbit.FittedElements();
    std::vector<double> vPhases;
    for (const double t : oSeries.GetXValues()) {
        const double d = (t - oBest.fT0) / oBest.fPeriod;
        vPhases.push_back(d - std::floor(d));
    }
    std::sort(vPhases.begin(), vPhases.end());
    ASSERT_EQ(oPhase.PlottedX().size(), vPhases.size());
    for (std::size_t i = 0; i < vPhases.size(); ++i) {
        EXPECT_NEAR(oPhase.PlottedX()[i], vPhases[i], 1e-12);
    }
    EXPECT_LT(oPhase.PlottedX().back(), 1.0);
    OrbitElements oRefined = oBest;
    oRefined.fT0 += 0.25 * oRefined.fPeriod;
    oOrbit.SetRefinedElements(oRefined);
    RecordingCanvas oRefinedCanvas;
    RvCurvePlot oRefinedPhase(&oRefinedCanvas, &oOrbit, oSeries, true);
    oRefinedPhase.Draw(300, 400);
    for (double& f : vPhases) {
        f = f < 0.25 ? f + 0.75 : f - 0.25;
    }
    std::sort(vPhases.begin(), vPhases.end());
    ASSERT_EQ(oRefinedPhase.PlottedX().size(), vPhases.size());
    for (std::size_t i = 0; i < vPhases.size(); ++i) {
        EXPECT_NEAR(oRefinedPhase.PlottedX()[i], vPhases[i], 1e-9);
    }
    // The fitted curve of 1000 points: a stroke in every pixel column it crosses.
    EXPECT_GT(oPhaseCanvas.vLines.size(), lPointsOnly + 250) << "crosses, axes and the fitted curve";
    int lBlue = 0;
    for (const auto& oLine : oPhaseCanvas.vLines) {
        lBlue += oLine.oColor == Rgb{0, 0, 255};
    }
    EXPECT_GT(lBlue, 250);

    RecordingCanvas oTooFew;
    DataSeries oOne;
    const double t = 1.0;
    oOne.SetValues(&t, &t, 1);
    RvCurvePlot(&oTooFew, &oOrbit, oOne, false).Draw(300, 400);
    EXPECT_TRUE(oTooFew.vLines.empty());
}
