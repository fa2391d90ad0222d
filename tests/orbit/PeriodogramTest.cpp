// The Lomb-Scargle periodogram: the real alpha Dra velocities against astropy
// (tests/data/orbit/make_ls_reference.py), a generated sine with a known period, and refusals.
#include "orbit/Periodogram.h"
#include "support/Generators.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

TEST(PeriodogramResult, AlphaDraAgreesWithAstropy)
{
    std::vector<double> vT;
    std::vector<double> vV;
    quandrel::testing::ReadVelocities(std::string(QUANDREL_TEST_DATA_DIR) + "/alphaDra_rv.txt", vT, vV);
    std::string sError;
    const auto o = LombScargle(vT, vV, {}, 2.0, 300.0, 2000, sError);
    ASSERT_TRUE(o) << sError;
    std::ifstream oReference(std::string(QUANDREL_TEST_DATA_DIR) + "/orbit/alphaDra_ls_reference.txt");
    int lCompared = 0;
    for (std::string sLine; std::getline(oReference, sLine);) {
        if (sLine.empty() || sLine[0] == '#') {
            continue;
        }
        std::istringstream oLine(sLine);
        std::string sIndex;
        double fFrequency = 0;
        double fPower = 0;
        oLine >> sIndex;
        if (sIndex == "fap1") {
            // astropy's default level, Baluev's; the naive one of independent frequencies lay at 0.0766.
            oLine >> fPower;
            EXPECT_NEAR(o->fFalseAlarm1Percent, fPower, 1e-7 * fPower); // astropy sums t^2 at JD 2.46e6
            continue;
        }
        if (sIndex == "best") {
            oLine >> sIndex;
        }
        oLine >> fFrequency >> fPower;
        const std::size_t k = std::stoul(sIndex);
        if (sLine.rfind("best", 0) == 0) {
            EXPECT_EQ(o->lBest, k);
            EXPECT_NEAR(o->vFrequency[o->lBest], fFrequency, 1e-15);
            EXPECT_NEAR(o->vPower[o->lBest], fPower, 1e-6);
            continue;
        }
        EXPECT_NEAR(o->vFrequency[k], fFrequency, 1e-15) << k;
        EXPECT_NEAR(o->vPower[k], fPower, 1e-6) << k;
        ++lCompared;
    }
    EXPECT_EQ(lCompared, 200);
    EXPECT_NEAR(o->BestPeriod(), 51.3, 0.3);
    EXPECT_GT(o->vPower[o->lBest], o->fFalseAlarm1Percent);
    EXPECT_LT(o->fFalseAlarm1Percent, 0.2);
}

TEST(PeriodogramResult, FindsAGeneratedPeriodAndRefusesWhatItCannotUse)
{
    std::mt19937 oRandom(3);
    std::uniform_real_distribution<double> oTime(0.0, 200.0);
    std::normal_distribution<double> oNoise(0.0, 3.0);
    std::vector<double> vT;
    std::vector<double> vV;
    for (int i = 0; i < 60; ++i) {
        vT.push_back(2459000.0 + oTime(oRandom));
        vV.push_back(7.0 + 20.0 * std::sin(2 * M_PI * vT.back() / 6.37) + oNoise(oRandom));
    }
    std::string sError;
    EXPECT_EQ(DefaultPeriodogramSamples(200.0, 1.0, 100.0), 1000) << "at least 1000";
    EXPECT_EQ(DefaultPeriodogramSamples(1000.0, 0.5, 1000.0), 9995);
    const auto o = LombScargle(vT, vV, {}, 1.0, 100.0, 20000, sError);
    ASSERT_TRUE(o) << sError;
    EXPECT_NEAR(o->BestPeriod(), 6.37, 0.005);
    EXPECT_GT(o->vPower[o->lBest], 0.8);
    // Pure noise stays below the 1 % level (almost always; this seed does).
    std::vector<double> vNoise;
    for (std::size_t i = 0; i < vT.size(); ++i) {
        vNoise.push_back(oNoise(oRandom));
    }
    const auto oNoise1 = LombScargle(vT, vNoise, {}, 1.0, 100.0, 10000, sError);
    ASSERT_TRUE(oNoise1);
    EXPECT_LT(oNoise1->vPower[oNoise1->lBest], oNoise1->fFalseAlarm1Percent);

    EXPECT_FALSE(LombScargle({1, 2, 3}, {1, 2, 3}, {}, 1, 10, 100, sError));
    EXPECT_FALSE(LombScargle(vT, vV, {}, 10, 10, 100, sError));
    EXPECT_FALSE(LombScargle(vT, vV, {}, 1, 10, 1, sError));
    EXPECT_FALSE(LombScargle(vT, vV, {}, 1, 10, kMaxPeriodogramFrequencies + 1, sError));
    EXPECT_FALSE(LombScargle(vT, std::vector<double>(vT.size(), 5.0), {}, 1, 10, 100, sError));
}
