// The least-squares orbit: on the real alpha Dra velocities against an independent solver (scipy,
// tests/data/orbit/make_lsq_reference.py), and on generated orbits whose truth is known.
#include "orbit/OrbitLeastSquares.h"
#include "support/Generators.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
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
    OrbitElements oStart = quandrel::testing::Orbit(51.4, 2459874.525977, 0.421875, 21.375, 48.415443, -15.398438);
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
            vV.push_back(OrbitGridSearch::ModelVelocity(vT.back(), oTruth) + oNoise(oRandom));
            vSigma.push_back(2.0);
        }
        OrbitElements oStart = oTruth;
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
        EXPECT_NEAR(oFit->fA1SinI, OrbitGridSearch::A1SinIFromK1(oFit->afValue[4], oFit->afValue[0], oFit->afValue[2]),
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

namespace {

struct ThroughCircularCase {
    const char* pcName;
    OrbitElements oTruth;
    bool bStartCircularTurned; // start at e = 0 with omega + 180 and T0 + P/2, else near the truth
    int lPoints;
    double fNoise;             // km/s
    double fSigmaGiven;        // 0: no uncertainties
    const char* pcWarning;     // a doubt the fit must name ("" for none)
    bool bReachesTruth;        // P, K1 and gamma within 3 errors of the truth
};

class OrbitThroughCircular : public ::testing::TestWithParam<ThroughCircularCase> {};

} // namespace

TEST_P(OrbitThroughCircular, TheFitPassesThroughCircularOrbitsAndNamesItsDoubts)
{
    const ThroughCircularCase& c = GetParam();
    std::mt19937 oRandom(5);
    std::normal_distribution<double> oNoise(0.0, c.fNoise);
    std::vector<double> vT;
    std::vector<double> vV;
    for (int k = 0; k < c.lPoints; ++k) {
        vT.push_back(2459000.0 + 97.3 * k / c.lPoints + 0.31 * (k % 3));
        vV.push_back(OrbitGridSearch::ModelVelocity(vT.back(), c.oTruth) + oNoise(oRandom));
    }
    OrbitElements oStart = c.oTruth;
    oStart.fPeriod *= 1.0003;
    oStart.fGamma += 0.5;
    if (c.bStartCircularTurned) {
        // The same curve at e = 0 described another way: a fit that cannot leave e = 0 stays here.
        oStart.fEccentricity = 0.0;
        oStart.fOmega += 180.0;
        oStart.fT0 += oStart.fPeriod / 2.0;
    }
    std::string sError;
    const auto oFit = FitOrbitLeastSquares(vT, vV, std::vector<double>(c.fSigmaGiven > 0 ? vT.size() : 0, c.fSigmaGiven),
                                           oStart, sError);
    ASSERT_TRUE(oFit) << sError;
    std::string sWarnings;
    for (const std::string& s : oFit->vWarnings) {
        sWarnings += s + "\n";
    }
    if (*c.pcWarning == '\0') {
        EXPECT_TRUE(sWarnings.empty()) << sWarnings;
    } else {
        EXPECT_NE(sWarnings.find(c.pcWarning), std::string::npos) << sWarnings;
    }
    const double afTruth[6] = {c.oTruth.fPeriod, c.oTruth.fT0, c.oTruth.fEccentricity, c.oTruth.fOmega,
                               c.oTruth.fK1,     c.oTruth.fGamma};
    for (const std::size_t i : {LeastSquaresElements::kPeriod, LeastSquaresElements::kEccentricity, LeastSquaresElements::kK1,
                                LeastSquaresElements::kGamma}) {
        EXPECT_GT(oFit->afError[i], 0.0) << kNames[i] << ": an error of exactly 0 is never honest";
        if (c.bReachesTruth) {
            EXPECT_NEAR(oFit->afValue[i], afTruth[i], 3.0 * oFit->afError[i] + 1e-9) << kNames[i];
        }
    }
    // T0 and omega carry errors only where the orbit is eccentric; at e = 0 they are undefined.
    const bool bCircular = !(oFit->afValue[2] > 2.4477 * oFit->afError[2]);
    if (c.bReachesTruth && !bCircular) {
        const double fT0Off = std::remainder(oFit->afValue[1] - afTruth[1], oFit->afValue[0]);
        EXPECT_LT(std::fabs(fT0Off), 3.0 * oFit->afError[1]);
        EXPECT_LT(std::fabs(std::remainder(oFit->afValue[3] - afTruth[3], 360.0)), 3.0 * oFit->afError[3]);
    }
    EXPECT_TRUE(oFit->afError[1] > 0.0 && oFit->afError[3] > 0.0);
}

INSTANTIATE_TEST_SUITE_P(
    GeneratedOrbits, OrbitThroughCircular,
    ::testing::Values(
        // A circular orbit: found from a turned start; T0 and omega undefined, and said to be.
        ThroughCircularCase{"circular", quandrel::testing::Orbit(12.5, 2459003.1, 0.0, 60.0, 35.0, -12.0), true, 40,
                             1.0, 0.0, "T0 and omega are undefined", true},
        // Near-circular and eccentric orbits: the fit leaves e = 0 for the truth.
        ThroughCircularCase{"near_circular", quandrel::testing::Orbit(8.3, 2459001.0, 0.06, 200.0, 25.0, 3.0), true,
                             60, 0.5, 0.0, "", true},
        ThroughCircularCase{"eccentric", quandrel::testing::Orbit(12.5, 2459003.1, 0.3, 60.0, 35.0, -12.0), true, 40,
                             1.0, 1.0, "", true},
        ThroughCircularCase{"omega_near_zero", quandrel::testing::Orbit(20.0, 2459010.0, 0.45, 359.0, 18.0, 0.0),
                             true, 50, 1.0, 1.0, "", true},
        // Too few points for a noisy orbit: e runs to the limit, and the fit says so.
        ThroughCircularCase{"runaway", quandrel::testing::Orbit(0.7, 2459000.2, 0.0, 0.0, 20.0, 0.0), false, 12,
                             12.0, 0.0, "ran to the limit", false},
        // Uncertainties four times too small: the reduced chi-square is far above 1.
        ThroughCircularCase{"small_sigmas", quandrel::testing::Orbit(12.5, 2459003.1, 0.3, 60.0, 35.0, -12.0), false,
                             40, 2.0, 0.5, "far above 1", true}),
    [](const ::testing::TestParamInfo<ThroughCircularCase>& o) { return std::string(o.param.pcName); });

// Two data sets of one orbit, B 3 km/s off A and 1 km/s noisier than its quoted errors
// (tests/data/orbit/make_datasets_reference.py): the offset and the jitters come back as scipy's
// maximum likelihood finds them, and within two errors of the truth.
TEST(OrbitLeastSquares, TwoDataSetsGetTheirOffsetAndJitterByMaximumLikelihood)
{
    const std::string sData = std::string(QUANDREL_TEST_DATA_DIR) + "/orbit/";
    std::ifstream oFile(sData + "two_datasets.txt");
    std::vector<double> vT;
    std::vector<double> vV;
    std::vector<double> vSigma;
    OrbitDataSets oSets{{}, {"A", "B"}, true};
    for (std::string sLine; std::getline(oFile, sLine);) {
        if (sLine.empty() || sLine[0] == '#') {
            continue;
        }
        std::istringstream oFields(sLine);
        std::string sField;
        std::vector<std::string> v;
        while (std::getline(oFields, sField, ';')) {
            v.push_back(sField);
        }
        vT.push_back(std::stod(v[0]));
        vV.push_back(std::stod(v[1]));
        vSigma.push_back(std::stod(v[2]));
        oSets.vIndex.push_back(v[3] == "B" ? 1 : 0);
    }
    ASSERT_EQ(vT.size(), 60U);
    std::map<std::string, double> mReference;
    std::ifstream oReference(sData + "two_datasets_reference.txt");
    for (std::string sLine; std::getline(oReference, sLine);) {
        if (const std::size_t lEqual = sLine.find('='); sLine[0] != '#' && lEqual != std::string::npos) {
            mReference[sLine.substr(0, lEqual)] = std::stod(sLine.substr(lEqual + 1));
        }
    }
    std::string sError;
    const OrbitElements oStart = quandrel::testing::Orbit(12.45, 2459003.0, 0.25, 55.0, 34.0, -11.0);
    const auto oFit = FitOrbitLeastSquares(vT, vV, vSigma, oStart, sError, &oSets);
    ASSERT_TRUE(oFit) << sError;
    ASSERT_EQ(oFit->vDataSets.size(), 2U);
    const DataSetTerms& oA = oFit->vDataSets[0];
    const DataSetTerms& oB = oFit->vDataSets[1];
    EXPECT_EQ(oB.sName, "B");
    EXPECT_EQ(oB.lPoints, 30);
    EXPECT_NEAR(oB.fOffset, mReference["offset.B"], 1e-4);
    EXPECT_NEAR(oB.fOffsetError, mReference["offset.B.err"], 1e-3 * mReference["offset.B.err"]);
    EXPECT_NEAR(oB.fJitter, mReference["jitter.B"], 1e-4);
    EXPECT_NEAR(oA.fJitter, 0.0, 1e-4) << "A's errors explain its scatter";
    for (int i = 0; i < 6; ++i) {
        EXPECT_NEAR(oFit->afValue[static_cast<std::size_t>(i)], mReference[kNames[i]],
                    1e-4 * std::max(1.0, oFit->afError[static_cast<std::size_t>(i)]))
            << kNames[i];
    }
    EXPECT_NEAR(oB.fOffset, 3.0, 2 * oB.fOffsetError);
    EXPECT_NEAR(oB.fJitter, 1.0, 2 * oB.fJitterError);
    // Without the offset the 3 km/s between the observers would move gamma between them.
    const auto oPooled = FitOrbitLeastSquares(vT, vV, vSigma, oStart, sError);
    ASSERT_TRUE(oPooled);
    EXPECT_GT(oPooled->afValue[LeastSquaresElements::kGamma] - oFit->afValue[LeastSquaresElements::kGamma], 1.0);
}
