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
