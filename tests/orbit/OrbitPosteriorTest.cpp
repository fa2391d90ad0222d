// The orbit's posterior by the ensemble sampler, on the real alpha Dra velocities: where the least
// squares are well determined (227 epochs) the posterior must agree with them.
#include "orbit/OrbitPosterior.h"
#include "support/Generators.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>

TEST(OrbitPosterior, AlphaDraAgreesWithTheLeastSquaresWithinTheirErrors)
{
    std::vector<double> vT;
    std::vector<double> vV;
    quandrel::testing::ReadVelocities(std::string(QUANDREL_TEST_DATA_DIR) + "/alphaDra_rv.txt", vT, vV);
    const OrbitElements oStart = quandrel::testing::Orbit(51.4, 2459874.525977, 0.421875, 21.375, 48.415443, -15.398438);
    std::string sError;
    const auto oFit = FitOrbitLeastSquares(vT, vV, {}, oStart, sError);
    ASSERT_TRUE(oFit) << sError;
    PosteriorOptions oOptions;
    oOptions.lSteps = 800;
    oOptions.lThreads = 2;
    oOptions.lSeed = 7;
    const auto oPosterior = SampleOrbitPosterior(vT, vV, {}, nullptr, *oFit, oOptions, sError);
    ASSERT_TRUE(oPosterior) << sError;
    std::map<std::string, PosteriorSummary> mSummary;
    for (const PosteriorSummary& o : oPosterior->vSummaries) {
        mSummary[o.sName] = o;
    }
    const std::pair<const char*, LeastSquaresElements::Element> aoCompared[] = {
        {"P", LeastSquaresElements::kPeriod}, {"T0", LeastSquaresElements::kT0},
        {"e", LeastSquaresElements::kEccentricity}, {"omega", LeastSquaresElements::kOmega},
        {"K1", LeastSquaresElements::kK1}, {"gamma", LeastSquaresElements::kGamma}};
    for (const auto& [pcName, eElement] : aoCompared) {
        const PosteriorSummary& o = mSummary.at(pcName);
        const double fError = oFit->afError[eElement];
        EXPECT_NEAR(o.fMedian, oFit->afValue[eElement], fError) << pcName;
        // The 68 % interval as wide as twice the error, within a third.
        EXPECT_NEAR((o.fHigh - o.fLow) / (2.0 * fError), 1.0, 1.0 / 3.0) << pcName;
    }
    // Without uncertainties the scatter is a jitter: the least squares' RMS.
    EXPECT_NEAR(mSummary.at("jitter.all").fMedian, oFit->fRms, 0.1 * oFit->fRms);
    EXPECT_GT(oPosterior->fAcceptance, 0.2);
    EXPECT_LT(oPosterior->fAcceptance, 0.8);
    EXPECT_EQ(oPosterior->lLikelihoodCalls, 2 * 24 * (800 + 1)) << "two ensembles of 24 walkers, their starts and steps";
    // The same seed, the same samples.
    const auto oAgain = SampleOrbitPosterior(vT, vV, {}, nullptr, *oFit, oOptions, sError);
    EXPECT_EQ(oAgain->vSummaries[0].fMedian, oPosterior->vSummaries[0].fMedian);
}

// Five epochs of a generated 3.2-day orbit: the rejection sampler keeps the true period among its
// modes (with its aliases beside it); without uncertainties it refuses.
TEST(OrbitPosterior, FiveEpochsKeepTheTruePeriodAmongTheModes)
{
    const OrbitElements oTruth = quandrel::testing::Orbit(3.2, 2459000.3, 0.2, 40.0, 25.0, 5.0);
    const std::vector<double> vT{2459001.13, 2459006.42, 2459013.87, 2459019.05, 2459027.61};
    std::vector<double> vV;
    for (const double t : vT) {
        vV.push_back(OrbitGridSearch::ModelVelocity(t, oTruth));
    }
    const std::vector<double> vSigma(vT.size(), 1.0);
    SparseOptions oOptions;
    oOptions.lPriorSamples = 1 << 20;
    oOptions.fShortest = 1.0;
    oOptions.fLongest = 100.0;
    oOptions.lThreads = 2;
    std::string sError;
    const auto oSparse = SampleSparseOrbits(vT, vV, vSigma, oOptions, sError);
    ASSERT_TRUE(oSparse) << sError;
    EXPECT_EQ(oSparse->lDrawn, 1 << 20);
    ASSERT_GE(oSparse->lAccepted, 3);
    bool bFound = false;
    for (const PeriodMode& o : oSparse->vModes) {
        bFound = bFound || std::fabs(o.fPeriod - 3.2) < 0.03;
    }
    EXPECT_TRUE(bFound) << oSparse->vModes.size() << " modes, the first at " << oSparse->vModes.front().fPeriod;
    EXPECT_FALSE(SampleSparseOrbits(vT, vV, {}, oOptions, sError));
}
