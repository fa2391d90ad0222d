// The least-squares orbit: on the real alpha Dra velocities against an independent solver (scipy,
// tests/data/orbit/make_lsq_reference.py), and on generated orbits whose truth is known.
#include "orbit/OrbitLeastSquares.h"
#include "support/Generators.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <map>
#include <random>
#include <string>

namespace {

const char* const kNames[6] = {"P", "T0", "e", "omega", "K1", "gamma"};

std::map<std::string, double> Reference()
{
    std::map<std::string, double> o;
    std::ifstream oFile(std::string(QUANDREL_TEST_DATA_DIR) + "/orbit/alphaDra_lsq_reference.txt");
    for (std::string sLine; std::getline(oFile, sLine);) {
        const std::size_t lEqual = sLine.find('=');
        if (sLine.empty() || sLine[0] == '#' || lEqual == std::string::npos) {
            continue;
        }
        o[sLine.substr(0, lEqual)] = std::stod(sLine.substr(lEqual + 1));
    }
    return o;
}

} // namespace

TEST(OrbitLeastSquares, AlphaDraAgreesWithAnIndependentSolver)
{
    std::vector<double> vT;
    std::vector<double> vV;
    quandrel::testing::ReadVelocities(std::string(QUANDREL_TEST_DATA_DIR) + "/alphaDra_rv.txt", vT, vV);
    ASSERT_EQ(vT.size(), 227U);
    // The grid search's best point with the README's ranges.
    SOrbitalElements oStart = quandrel::testing::Orbit(51.4, 2459874.525977, 0.421875, 21.375, 48.415443, -15.398438);
    std::string sError;
    const auto oFit = FitOrbitLeastSquares(vT, vV, {}, oStart, sError);
    ASSERT_TRUE(oFit) << sError;
    const auto oReference = Reference();
    ASSERT_EQ(oReference.size(), 14U);
    for (std::size_t i = 0; i < 6; ++i) {
        const double fExpected = oReference.at(kNames[i]);
        const double fError = oReference.at(std::string(kNames[i]) + ".err");
        EXPECT_NEAR(oFit->afValue[i], fExpected, 1e-6 * std::fabs(fExpected)) << kNames[i];
        EXPECT_NEAR(oFit->afValue[i], fExpected, 1e-3 * fError) << kNames[i] << ": a thousandth of its error";
        EXPECT_NEAR(oFit->afError[i], fError, 0.02 * fError) << kNames[i];
    }
    EXPECT_NEAR(oFit->fChi2Reduced, oReference.at("chi2r"), 1e-9);
    EXPECT_EQ(oFit->lPoints, 227);
    // The published orbit: P 51.4174 d, e 0.43, omega 22.4 deg, K1 48.51 km/s.
    EXPECT_NEAR(oFit->afValue[0], 51.4174, 2 * oFit->afError[0] + 0.01);
}

TEST(OrbitLeastSquares, GeneratedOrbitsComeBackWithHonestErrors)
{
    // Several truths, e up to 0.8 and omega near 0/360; 60 points with 1 km/s noise, the start off.
    std::mt19937 oRandom(11);
    std::normal_distribution<double> oNoise(0.0, 1.0);
    std::uniform_real_distribution<double> oTime(2459000.0, 2459400.0);
    int lWithinThreeSigma = 0;
    int lCount = 0;
    for (const auto& oTruth : {quandrel::testing::Orbit(12.5, 2459003.1, 0.3, 60.0, 35.0, -12.0),
                               quandrel::testing::Orbit(3.2, 2459001.0, 0.05, 355.0, 20.0, 5.0),
                               quandrel::testing::Orbit(40.0, 2459010.0, 0.8, 120.0, 15.0, 0.0)}) {
        std::vector<double> vT;
        std::vector<double> vV;
        std::vector<double> vSigma;
        for (int k = 0; k < 60; ++k) {
            vT.push_back(oTime(oRandom));
            vV.push_back(COrbitalElements::ModelVelocity(vT.back(), oTruth) + oNoise(oRandom));
            vSigma.push_back(2.0);
        }
        SOrbitalElements oStart = oTruth;
        oStart.fPeriod *= 1.0005;
        oStart.fT0 += 0.02 * oTruth.fPeriod;
        oStart.fEccentricity = std::max(0.0, oTruth.fEccentricity - 0.04);
        oStart.fOmega += 8.0;
        oStart.fGamma += 1.0;
        std::string sError;
        const auto oFit = FitOrbitLeastSquares(vT, vV, {}, oStart, sError);
        ASSERT_TRUE(oFit) << sError;
        const double afTruth[6] = {oTruth.fPeriod, oTruth.fT0, oTruth.fEccentricity,
                                   std::fmod(oTruth.fOmega, 360.0), oTruth.fK1, oTruth.fGamma};
        for (std::size_t i = 0; i < 6; ++i) {
            double fOff = oFit->afValue[i] - afTruth[i];
            if (i == 3) {
                fOff = std::remainder(fOff, 360.0);
            }
            lWithinThreeSigma += std::fabs(fOff) < 3.0 * oFit->afError[i] ? 1 : 0;
            ++lCount;
        }
        EXPECT_GE(oFit->afValue[3], 0.0);
        EXPECT_LT(oFit->afValue[3], 360.0);
        EXPECT_NEAR(oFit->fRms, 1.0, 0.25);
        EXPECT_NEAR(oFit->fChi2Reduced, 1.0, 0.5) << "unit weights, unit noise";
        // Equal uncertainties give the same elements; chi-square counts in units of them.
        const auto oWeighted = FitOrbitLeastSquares(vT, vV, vSigma, oStart, sError);
        ASSERT_TRUE(oWeighted) << sError;
        EXPECT_NEAR(oWeighted->afValue[0], oFit->afValue[0], 1e-9 * oFit->afValue[0]);
        EXPECT_NEAR(oWeighted->fChi2Reduced, oFit->fChi2Reduced / 4.0, 1e-9);
        EXPECT_NEAR(oWeighted->afError[4], oFit->afError[4], 1e-6 * oFit->afError[4]);
        // The mass function and a1 sin i follow from the fitted P, e and K1.
        EXPECT_NEAR(oFit->fA1SinI, COrbitalElements::A1SinIFromK1(oFit->afValue[4], oFit->afValue[0], oFit->afValue[2]),
                    1e-6);
        EXPECT_GT(oFit->fMassFunctionError, 0.0);
    }
    EXPECT_GE(lWithinThreeSigma, lCount - 1) << "of " << lCount << " elements";

    std::string sError;
    EXPECT_FALSE(FitOrbitLeastSquares({1, 2, 3}, {1, 2, 3}, {}, quandrel::testing::CadenceOrbit(), sError));
    const std::vector<double> vSeven{1, 2, 3, 4, 5, 6, 7};
    EXPECT_FALSE(FitOrbitLeastSquares(vSeven, vSeven, {1, 1, 1, 0, 1, 1, 1}, quandrel::testing::CadenceOrbit(), sError));
    EXPECT_NE(sError.find("uncertainty"), std::string::npos);
}
