// The orbit model, Kepler's equation, the grid search (fast and plain) and
// the recovery of known orbits.
#include "OrbitTestSupport.h"
#include "core/Utils.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {

constexpr double kPi = 3.141592653589793;

bool SameBits(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

} // namespace

TEST(OrbitGridSearch, KeplerAndTheModel)
{
    double fNu = -1;
    // e = 0: the true anomaly is the mean anomaly within one turn.
    ASSERT_TRUE(OrbitGridSearch::SolveKepler(2455002.5, 2455000.0, 10.0, 0.0, fNu));
    EXPECT_NEAR(fNu, 0.25 * 2 * kPi, 1e-12);
    ASSERT_TRUE(OrbitGridSearch::SolveKepler(2455013.0, 2455000.0, 10.0, 0.0, fNu));
    EXPECT_NEAR(fNu, 0.3 * 2 * kPi, 1e-9);
    // At periastron and half a period later: shifted by 1e-8 degree, no 0/0 and no infinite tangent.
    ASSERT_TRUE(OrbitGridSearch::SolveKepler(2455000.0, 2455000.0, 10.0, 0.3, fNu));
    EXPECT_NEAR(fNu, 0.0, 1e-9);
    ASSERT_TRUE(OrbitGridSearch::SolveKepler(2455005.0, 2455000.0, 10.0, 0.3, fNu));
    EXPECT_NEAR(fNu, kPi, 1e-9);
    // High eccentricity starts at E = pi and still converges; E - e sin E = M holds.
    for (double e : {0.8, 0.9, 0.95}) {
        ASSERT_TRUE(OrbitGridSearch::SolveKepler(2455000.7, 2455000.0, 10.0, e, fNu)) << e;
        const double E = 2 * std::atan(std::sqrt((1 - e) / (1 + e)) * std::tan(fNu / 2));
        EXPECT_NEAR(E - e * std::sin(E), 0.07 * 2 * kPi, 1e-8) << e;
    }
    EXPECT_FALSE(OrbitGridSearch::SolveKepler(2455000.7, 2455000.0, 10.0, 1.5, fNu)) << "e > 1 has no ellipse";
    EXPECT_FALSE(OrbitGridSearch::SolveKepler(2455000.7, 2455000.0, 0.0, 0.3, fNu)) << "no period";

    OrbitElements o = Orbit(1.0, 0.0, 0.0, 0.0, 1.0, 0.0);
    EXPECT_NEAR(o.fA1SinI, 86400.0 / (2 * kPi), 1e-9);
    EXPECT_NEAR(o.fK1, 1.0, 1e-12);
    // e = 0: v = K1 cos(omega + nu) + gamma.
    o = Orbit(10.0, 2455000.0, 0.0, 30.0, 20.0, -5.0);
    EXPECT_NEAR(OrbitGridSearch::ModelVelocity(2455002.5, o), 20.0 * std::cos(kPi / 6 + kPi / 2) - 5.0, 1e-9);
    o.fEccentricity = 2.0;
    EXPECT_EQ(OrbitGridSearch::ModelVelocity(2455002.5, o), 0.0) << "a failed solution gives 0";
}

TEST(OrbitGridSearch, KeplerConvergesForEveryEccentricityBelowOne)
{
    // Mean anomalies over many turns, either side of T0, near periastron and apastron.
    const double afPhases[] = {0.0, 1e-9, 0.003, 0.07, 0.25, 0.4999, 0.5, 0.73, 0.9999, 17.31, -3.2, 1234.56};
    for (const double e : {0.0, 0.3, 0.8, 0.9, 0.97, 0.99, 0.999}) {
        for (const double fPhase : afPhases) {
            double fNu = -1;
            ASSERT_TRUE(OrbitGridSearch::SolveKepler(2455000.0 + 10.0 * fPhase, 2455000.0, 10.0, e, fNu))
                << "e " << e << " phase " << fPhase;
            ASSERT_GE(fNu, 0.0);
            ASSERT_LE(fNu, 2 * kPi);
            // Back to the eccentric and the mean anomaly: Kepler's equation holds within one turn.
            const double E = 2 * std::atan2(std::sqrt(1 - e) * std::sin(fNu / 2), std::sqrt(1 + e) * std::cos(fNu / 2));
            const double M = std::remainder(E - e * std::sin(E) - 2 * kPi * fPhase, 2 * kPi);
            EXPECT_NEAR(M, 0.0, 1e-9) << "e " << e << " phase " << fPhase;
        }
    }
    // Where plain Newton's method from M (or pi) converges, both give the same true anomaly.
    const auto PlainNewton = [](double fMeanDegrees, double e, double& fNu) {
        const double M = fMeanDegrees / 180.0 * kPi;
        double E = e >= 0.8 ? kPi : M;
        for (int i = 0; i < 50; ++i) {
            const double fNext = E - (E - e * std::sin(E) - M) / (1 - e * std::cos(E));
            if (std::fabs((E - fNext) / fNext) <= 1e-8) {
                fNu = std::fmod(2 * std::atan(std::sqrt((1 + e) / (1 - e)) * std::tan(fNext / 2)) + 2 * kPi, 2 * kPi);
                return true;
            }
            E = fNext;
        }
        return false;
    };
    std::mt19937 oRandom(5);
    std::uniform_real_distribution<double> oUnit(0.0, 1.0);
    int lCompared = 0;
    for (int k = 0; k < 2000; ++k) {
        const double e = 0.95 * oUnit(oRandom);
        const double t = 2455000.0 + (1 + 358 * oUnit(oRandom)) / 36.0;
        const double fDegrees = (t - 2455000.0) * 360 / 10.0;
        double fPlain = 0;
        double fNu = 0;
        if (PlainNewton(fDegrees, e, fPlain)) {
            ASSERT_TRUE(OrbitGridSearch::SolveKepler(t, 2455000.0, 10.0, e, fNu));
            EXPECT_NEAR(fNu, fPlain, 1e-12) << "e " << e << " M " << fDegrees;
            ++lCompared;
        }
    }
    EXPECT_GT(lCompared, 1000);

    // A generated orbit of e = 0.9 comes back with its eccentricity and amplitude.
    const OrbitElements oTruth = Orbit(10.0, 2455002.0, 0.9, 30.0, 40.0, 0.0);
    OrbitGridSearch oOrbit;
    oOrbit.SetDataArray(MakeSeries(oTruth, 400, 2455000.0, 40.0));
    SetRanges(oOrbit, {{9.95, 10.05, 4}, {2455001.5, 2455002.5, 20}, {0.8, 0.95, 6}, {0.0, 60.0, 6},
                       {1e6, 1e7, 10}, {-5.0, 5.0, 4}});
    oOrbit.Optimize();
    oOrbit.RefineOptimum();
    OrbitElements oFound;
    oOrbit.GetBestElements(oFound);
    EXPECT_NEAR(oFound.fEccentricity, 0.9, 0.01);
    EXPECT_NEAR(oFound.fK1, 40.0, 1.0);
    EXPECT_LT(oFound.fRMS, 0.5);
}

TEST(OrbitGridSearch, OmegaCrossesZeroAndIsReportedWithinOneTurn)
{
    // Truths either side of 0 / 360 degrees; the grid over the whole circle lands on 0 or 360.
    for (const double fOmega : {358.0, 2.0, 355.0}) {
        const OrbitElements oTruth = Orbit(12.5, 2455003.1, 0.4, fOmega, 35.0, -12.0);
        OrbitGridSearch oOrbit;
        oOrbit.SetDataArray(MakeSeries(oTruth, 40, 2455000.0, 90.0));
        SetRanges(oOrbit, {{12.4, 12.6, 4}, {2455002.5, 2455003.5, 10}, {0.3, 0.5, 4}, {0.0, 360.0, 10},
                           {1e6, 1e7, 10}, {-20.0, -4.0, 8}});
        oOrbit.Optimize();
        oOrbit.RefineOptimum();
        OrbitElements oFound;
        oOrbit.GetBestElements(oFound);
        EXPECT_GE(oFound.fOmega, 0.0) << fOmega;
        EXPECT_LT(oFound.fOmega, 360.0) << fOmega;
        EXPECT_NEAR(std::remainder(oFound.fOmega - fOmega, 360.0), 0.0, 0.5) << fOmega;
        EXPECT_NEAR(oFound.fK1, 35.0, 0.5) << fOmega;
    }
}

TEST(OrbitGridSearch, RangeCheck)
{
    OrbitElements o = Orbit(10, 2455000, 0.3, 90, 30, 0);
    EXPECT_TRUE(OrbitGridSearch::CheckRange(o));
    o.fEccentricity = 1.0;
    EXPECT_FALSE(OrbitGridSearch::CheckRange(o)) << "e must stay below 1";
    o.fEccentricity = 0.3;
    o.fOmega = 360;
    EXPECT_TRUE(OrbitGridSearch::CheckRange(o));
    o.fA1SinI = 99;
    EXPECT_FALSE(OrbitGridSearch::CheckRange(o));
    o.fA1SinI = 1e15;
    EXPECT_TRUE(OrbitGridSearch::CheckRange(o));
    o.fGamma = 10000;
    EXPECT_FALSE(OrbitGridSearch::CheckRange(o));
    o.fGamma = -10000;
    EXPECT_TRUE(OrbitGridSearch::CheckRange(o));
    o.fPeriod = -1;
    EXPECT_FALSE(OrbitGridSearch::CheckRange(o));
}

TEST(OrbitGridSearch, FastGridEqualsThePlainGridBitForBit)
{
    std::mt19937 oRandom(404);
    std::uniform_real_distribution<double> oUnit(0.0, 1.0);
    for (int lCase = 0; lCase < 25; ++lCase) {
        const double P = 2.0 + 40.0 * oUnit(oRandom);
        const OrbitElements oTruth =
            Orbit(P, 2455000.0 + P * oUnit(oRandom), 0.85 * oUnit(oRandom), 360 * oUnit(oRandom),
                  5 + 60 * oUnit(oRandom), -40 + 80 * oUnit(oRandom));
        const auto oSeries =
            MakeSeries(oTruth, 8 + lCase % 20, 2455000.0, 3 * P, 2.0 * oUnit(oRandom), static_cast<unsigned>(lCase));
        // Ranges of every kind, some reaching e up to 0.98 where Kepler's equation fails at times.
        const std::vector<Range> vRanges = {
            {P * (0.7 + 0.2 * oUnit(oRandom)), P * (1.1 + 0.3 * oUnit(oRandom)), 3 + lCase % 4},
            {2455000.0, 2455000.0 + P, 3 + lCase % 3},
            {0.0, 0.5 + 0.48 * oUnit(oRandom), 4},
            {0.0, 360.0, 4 + lCase % 2},
            {1e5, 2e7 * (0.5 + oUnit(oRandom)), 3},
            {-50.0, 50.0, 4}};
        OrbitGridSearch oFast;
        OrbitGridSearch oPlain;
        for (OrbitGridSearch* p : {&oFast, &oPlain}) {
            p->SetDataArray(oSeries);
            SetRanges(*p, vRanges);
        }
        oFast.Optimize();
        oPlain.Optimizer::Optimize();
        ASSERT_TRUE(SameBits(oFast.GetBestValue(), oPlain.GetBestValue())) << "case " << lCase;
        for (int32_t i = 0; i < 6; ++i) {
            ASSERT_TRUE(SameBits(oFast.GetParameter(i).fBest, oPlain.GetParameter(i).fBest))
                << "case " << lCase << " parameter " << i;
        }
        oFast.RefineOptimum();
        oPlain.RefineOptimum();
        ASSERT_TRUE(SameBits(oFast.GetBestValue(), oPlain.GetBestValue())) << "case " << lCase;
        for (int32_t i = 0; i < 6; ++i) {
            ASSERT_TRUE(SameBits(oFast.GetParameter(i).fBest, oPlain.GetParameter(i).fBest))
                << "case " << lCase << " parameter " << i;
        }
    }
}

TEST(OrbitGridSearch, RecoversKnownOrbitsWithinTheirRanges)
{
    struct Case {
        double e;
        double fNoise;
    };
    for (const Case& c : {Case{0.0, 0.0}, Case{0.2, 0.0}, Case{0.4, 1.0}, Case{0.6, 0.0}, Case{0.8, 0.5}}) {
        const OrbitElements oTruth = Orbit(12.5, 2455003.1, c.e, 60.0, 35.0, -12.0);
        const auto oSeries = MakeSeries(oTruth, 30, 2455000.0, 90.0, c.fNoise, 7);
        OrbitGridSearch oOrbit;
        oOrbit.SetDataArray(oSeries);
        // Ranges that hold the truth; the short periastron passage of a very eccentric orbit needs a
        // finer grid in P and T0 and narrower ranges of e and omega.
        const bool bSteep = c.e > 0.7;
        SetRanges(oOrbit, {{12.0, 13.0, bSteep ? 20 : 10},
                           {2455000.0, 2455012.5, bSteep ? 25 : 10},
                           {bSteep ? 0.5 : 0.0, 0.9, 10},
                           {0.0, bSteep ? 180.0 : 360.0, 10},
                           {1e6, 1e7, 10},
                           {-30.0, 10.0, 10}});
        oOrbit.Optimize();
        oOrbit.RefineOptimum();
        OrbitElements oFound;
        oOrbit.GetBestElements(oFound);
        const std::string sCase = "e " + std::to_string(c.e) + " noise " + std::to_string(c.fNoise);
        EXPECT_NEAR(oFound.fPeriod, 12.5, bSteep ? 0.03 : 0.01) << sCase;
        EXPECT_NEAR(oFound.fEccentricity, c.e, 0.02 + 0.02 * c.fNoise) << sCase;
        EXPECT_NEAR(oFound.fK1, 35.0, 0.3 + c.fNoise) << sCase;
        EXPECT_NEAR(oFound.fGamma, -12.0, 0.3 + c.fNoise) << sCase;
        if (c.e > 0.1) {
            // Omega and T0 are only defined for an eccentric orbit.
            EXPECT_NEAR(oFound.fOmega, 60.0, 2.0 + 3 * c.fNoise) << sCase;
            EXPECT_NEAR(std::remainder(oFound.fT0 - 2455003.1, 12.5), 0.0, bSteep ? 0.1 : 0.05 + 0.05 * c.fNoise)
                << sCase;
        }
        EXPECT_NEAR(oFound.fRMS, c.fNoise, 0.3 + 0.3 * c.fNoise) << sCase;
    }
}

TEST(OrbitGridSearch, ResidualsOfTheBestElements)
{
    const OrbitElements oTruth = Orbit(12.5, 2455003.1, 0.3, 60.0, 35.0, -12.0);
    const auto oSeries = MakeSeries(oTruth, 12, 2455000.0, 40.0);
    OrbitGridSearch oOrbit;
    std::vector<double> vJd;
    std::vector<double> vResidual;
    oOrbit.GetVelocityResiduals(vJd, vResidual);
    EXPECT_TRUE(vJd.empty());
    oOrbit.SetDataArray(oSeries);
    // The truth itself as the only grid point.
    SetRanges(oOrbit, {{12.5, 12.5, 1}, {2455003.1, 2455003.1, 1}, {0.3, 0.3, 1}, {60.0, 60.0, 1},
                       {oTruth.fA1SinI, oTruth.fA1SinI, 1}, {-12.0, -12.0, 1}});
    oOrbit.Optimize();
    oOrbit.GetVelocityResiduals(vJd, vResidual);
    ASSERT_EQ(vResidual.size(), 12U);
    for (const double r : vResidual) {
        EXPECT_NEAR(r, 0.0, 1e-9);
    }
    EXPECT_EQ(vJd[0], oSeries.GetX(0));
}

TEST(OrbitGridSearch, EveryThreadCountFindsTheSameBestPointAndACancelStops)
{
    const DataSeries oSeries = quandrel::testing::CadenceSeries(quandrel::testing::CadenceOrbit(), 30);
    const auto Search = [&](unsigned lThreads, Progress* pProgress) {
        OrbitGridSearch oOrbit;
        oOrbit.SetDataArray(oSeries);
        oOrbit.SetParameter(0, false, 9, 10.0, 10.0, 15.0);
        oOrbit.SetParameter(1, false, 6, oSeries.GetX(0), oSeries.GetX(0), oSeries.GetX(0) + 15.0);
        oOrbit.SetParameter(2, false, 5, 0.0, 0.0, 0.6);
        oOrbit.SetParameter(3, false, 6, 0.0, 0.0, 360.0);
        oOrbit.SetParameter(4, false, 5, 1e6, 1e6, 1e7);
        // Gamma held: many points of equal cost differ only in what the held element does not change.
        oOrbit.SetParameter(5, false, 4, -12.0, -12.0, -12.0);
        oOrbit.SetNumberParameters(6);
        oOrbit.SetThreads(lThreads);
        oOrbit.Optimize(pProgress);
        return oOrbit;
    };
    const OrbitGridSearch oOne = Search(1, nullptr);
    OrbitElements oExpected;
    oOne.GetBestElements(oExpected);
    for (const unsigned lThreads : {2U, 3U, 7U, 0U}) {
        Progress oProgress;
        const OrbitGridSearch oMany = Search(lThreads, &oProgress);
        OrbitElements o;
        oMany.GetBestElements(o);
        EXPECT_EQ(o.fPeriod, oExpected.fPeriod) << lThreads;
        EXPECT_EQ(o.fT0, oExpected.fT0) << lThreads;
        EXPECT_EQ(o.fEccentricity, oExpected.fEccentricity) << lThreads;
        EXPECT_EQ(o.fOmega, oExpected.fOmega) << lThreads;
        EXPECT_EQ(o.fA1SinI, oExpected.fA1SinI) << lThreads;
        EXPECT_EQ(oMany.GetBestValue(), oOne.GetBestValue()) << lThreads;
        EXPECT_EQ(oProgress.Get(), 1.0);
    }
    Progress oCancelled;
    oCancelled.Cancel();
    EXPECT_FALSE(Search(0, &oCancelled).IsOptimized());
}
