// The Gaussian line fit: recovery of generated profiles, the search's own
// rules, and bit-identical results of the fast search and a plain one.
#include "core/DataSeries.h"
#include "core/Utils.h"
#include "lines/GaussianFit.h"
#include "lines/SpectralLine.h"
#include "lines/SpectralLineList.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <string>
#include <random>
#include <vector>

using namespace quandrel::gaussfit;

namespace {

struct Profile {
    double fCenter;
    double fSigma;
    double fAmplitude;
};

// Samples offset + sum of Gaussians (+ noise) at n points spaced by fStep around fCenter.
DataSeries MakeSection(double fFirst, double fStep, int n, double fOffset, const std::vector<Profile>& vProfiles,
                               double fNoise = 0.0, unsigned lSeed = 1)
{
    std::mt19937 oRandom(lSeed);
    std::normal_distribution<double> oNoise(0.0, 1.0);
    std::vector<double> vX(static_cast<std::size_t>(n));
    std::vector<double> vY(static_cast<std::size_t>(n));
    for (int k = 0; k < n; ++k) {
        const double x = fFirst + k * fStep;
        double y = fOffset;
        for (const auto& o : vProfiles) {
            y += o.fAmplitude * std::exp(-(x - o.fCenter) * (x - o.fCenter) / (2 * o.fSigma * o.fSigma));
        }
        vX[static_cast<std::size_t>(k)] = x;
        vY[static_cast<std::size_t>(k)] = y + fNoise * oNoise(oRandom);
    }
    DataSeries oSection;
    oSection.SetValues(vX.data(), vY.data(), n);
    return oSection;
}

// The search as the program describes it, with nothing reused: three full
// sums per step.
double PlainSum(const DataSeries& o, const Parameters& p, bool bDouble)
{
    double fSum = 0.0;
    for (int32_t k = 0; k < o.GetArraySize(); ++k) {
        const double x = o.GetX(k);
        const double g1 = GaussianFactor(x, p[kCenter1], p[kSigma1]);
        const double g2 = bDouble ? GaussianFactor(x, p[kCenter2], p[kSigma2]) : 0.0;
        const double r = ModelValue(p, g1, g2, bDouble) - o.GetY(k);
        fSum += r * r;
    }
    return fSum;
}

void PlainSearch(const DataSeries& o, int P, const Parameters& lo, const Parameters& hi, Parameters& p)
{
    bool bChanged = true;
    while (bChanged) {
        bChanged = false;
        for (std::size_t i = 0; i < static_cast<std::size_t>(P); ++i) {
            double fStep = (hi[i] - lo[i]) * 0.5;
            double fCur = p[i];
            do {
                const double fMinus = std::max(fCur - fStep, lo[i]);
                const double fPlus = std::min(fCur + fStep, hi[i]);
                Parameters q = p;
                q[i] = fCur;
                const double S0 = PlainSum(o, q, P > 4);
                q[i] = fMinus;
                const double Sm = PlainSum(o, q, P > 4);
                q[i] = fPlus;
                const double Sp = PlainSum(o, q, P > 4);
                if (Sp < S0 || Sm < S0) {
                    fCur = Sp < Sm ? fPlus : fMinus;
                    p[i] = fCur;
                    bChanged = true;
                }
                fStep *= 0.5;
            } while (fStep > kTolerance);
        }
    }
}

bool SameBits(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

} // namespace

TEST(CSpectralLineFit, RecoversASingleAbsorptionLine)
{
    const auto oSection = MakeSection(6550.0, 0.25, 101, 1.0, {{6562.8, 1.7, -0.4}});
    SpectralLine oLine;
    oLine.SetFirstCenter(6562.5);
    ASSERT_TRUE(oLine.FitGaussian(oSection, false));
    EXPECT_NEAR(oLine.GetCenter(), 6562.8, 0.002);
    EXPECT_NEAR(oLine.GetWidth(), 1.7, 0.002);
    EXPECT_NEAR(oLine.GetAmplitude1(), -0.4, 0.002);
    EXPECT_NEAR(oLine.GetOffset(), 1.0, 0.002);
    EXPECT_NEAR(oLine.Evaluate(6562.8), 0.6, 0.002);
}

TEST(CSpectralLineFit, RecoversNoisyLinesWithinTheirUncertainty)
{
    // Signal-to-noise ratio 100 on the continuum; 20 different noise draws.
    for (unsigned lSeed = 1; lSeed <= 20; ++lSeed) {
        const double fCenter = 4861.0 + 0.05 * lSeed;
        const auto oSection = MakeSection(4855.0, 0.2, 61, 0.95, {{fCenter, 1.2, -0.5}}, 0.01, lSeed);
        SpectralLine oLine;
        oLine.SetFirstCenter(4861.0);
        ASSERT_TRUE(oLine.FitGaussian(oSection, false));
        EXPECT_NEAR(oLine.GetCenter(), fCenter, 0.03) << "seed " << lSeed;
        EXPECT_NEAR(oLine.GetWidth(), 1.2, 0.05) << "seed " << lSeed;
        EXPECT_NEAR(oLine.GetAmplitude1(), -0.5, 0.02) << "seed " << lSeed;
        EXPECT_NEAR(oLine.GetOffset(), 0.95, 0.01) << "seed " << lSeed;
    }
}

TEST(CSpectralLineFit, EmissionLinesKeepAPositiveAmplitudeAboveOne)
{
    // Emission bounds follow the section: offset within its y range, amplitude 0 .. y maximum.
    const auto oSection = MakeSection(6578.0, 0.1, 41, 120.0, {{6580.0, 0.5, 900.0}}, 2.0);
    SpectralLine oLine;
    oLine.SetFirstCenter(6580.0);
    ASSERT_TRUE(oLine.FitGaussian(oSection, true));
    EXPECT_NEAR(oLine.GetCenter(), 6580.0, 0.01);
    EXPECT_NEAR(oLine.GetWidth(), 0.5, 0.01);
    EXPECT_NEAR(oLine.GetAmplitude1(), 900.0, 5.0);
    EXPECT_NEAR(oLine.GetOffset(), 120.0, 2.0);

    // A dip in an emission spectrum cannot get a negative amplitude.
    const auto oDip = MakeSection(6578.0, 0.1, 41, 100.0, {{6580.0, 0.5, -50.0}});
    SpectralLine oDipLine;
    oDipLine.SetFirstCenter(6580.0);
    ASSERT_TRUE(oDipLine.FitGaussian(oDip, true));
    EXPECT_GE(oDipLine.GetAmplitude1(), 0.0);
}

TEST(CSpectralLineFit, ADoubleGaussianStartsItsSecondComponentFromTheStoredOne)
{
    // Na D, 1.2 A apart. The line is first fitted as a single Gaussian on the
    // weaker component alone; the switch to double keeps that fit as
    // component 2; the refit over both, from a first centre near the stronger
    // component, resolves the pair.
    const auto oSection = MakeSection(5886.0, 0.05, 161, 1.0, {{5889.95, 0.3, -0.55}, {5891.15, 0.3, -0.35}});
    DataSeries oWeak = oSection;
    oWeak.Clip(90, 119);
    SpectralLine oLine;
    oLine.SetFirstCenter(5891.1);
    ASSERT_TRUE(oLine.FitGaussian(oWeak, false));
    oLine.SetGaussianType(true);
    oLine.SetFirstCenter(5890.0);
    ASSERT_TRUE(oLine.FitGaussian(oSection, false));
    bool bDouble = false;
    const double fSecond = oLine.GetSecondCenter(bDouble);
    EXPECT_TRUE(bDouble);
    const double fLow = std::min(oLine.GetFirstCenter(), fSecond);
    const double fHigh = std::max(oLine.GetFirstCenter(), fSecond);
    EXPECT_NEAR(fLow, 5889.95, 0.002);
    EXPECT_NEAR(fHigh, 5891.15, 0.002);
    EXPECT_NEAR(std::min(oLine.GetAmplitude1(), oLine.GetAmplitude2()), -0.55, 0.002);
    EXPECT_NEAR(std::max(oLine.GetAmplitude1(), oLine.GetAmplitude2()), -0.35, 0.002);
    EXPECT_NEAR(oLine.GetCenter(), (5889.95 + 5891.15) / 2, 0.002);
    EXPECT_NEAR(oLine.GetWidth(), 0.6, 0.002);
}

TEST(CSpectralLineFit, NeedsAsManyPointsAsParameters)
{
    SpectralLine oSingle;
    oSingle.SetFirstCenter(2.0);
    EXPECT_TRUE(oSingle.FitGaussian(MakeSection(0.5, 1.0, 4, 1.0, {{2.0, 1.0, -0.3}}), false));
    SpectralLine oShort;
    oShort.SetFirstCenter(2.0);
    EXPECT_FALSE(oShort.FitGaussian(MakeSection(0.5, 1.0, 3, 1.0, {{2.0, 1.0, -0.3}}), false));
    EXPECT_EQ(oShort.GetWidth(), 1.0) << "a failed fit leaves the line as it was";
    EXPECT_EQ(oShort.GetCenter(), 2.0);
    EXPECT_FALSE(oShort.FitGaussian(DataSeries(), false));

    SpectralLine oDouble;
    oDouble.SetGaussianType(true);
    EXPECT_FALSE(oDouble.FitGaussian(MakeSection(0.0, 1.0, 6, 1.0, {{3.0, 1.0, -0.3}}), false));
    EXPECT_TRUE(oDouble.FitGaussian(MakeSection(0.0, 1.0, 7, 1.0, {{3.0, 1.0, -0.3}}), false));
}

TEST(CSpectralLineFit, TrialsStayInsideTheirBounds)
{
    // A line deeper than the bounds allow: amplitude stops at -1, offset at 0 .. 1, centre inside the section.
    const auto oSection = MakeSection(10.0, 0.5, 41, 1.5, {{25.0, 2.0, -3.0}});
    SpectralLine oLine;
    oLine.SetFirstCenter(20.0);
    ASSERT_TRUE(oLine.FitGaussian(oSection, false));
    EXPECT_GE(oLine.GetAmplitude1(), -1.0);
    EXPECT_LE(oLine.GetOffset(), 1.0);
    EXPECT_GE(oLine.GetOffset(), 0.0);
    EXPECT_GE(oLine.GetCenter(), 10.0);
    EXPECT_LE(oLine.GetCenter(), 30.0);
    EXPECT_GE(oLine.GetWidth(), 0.0003);
    EXPECT_LE(oLine.GetWidth(), 10.0);
}

TEST(GaussianSearch, EqualSumsChooseMinusAndAFlatSumMovesNothing)
{
    // Only the centre can move (the other bounds are single values); the
    // model is a needle of depth 0.5 that touches one sample at most. Data:
    // dips at x = 2 and x = 6, a bump at x = 4 under the starting centre.
    const double x[] = {0, 1, 2, 3, 4, 5, 6, 7, 8};
    const double y[] = {1, 1, 0.5, 1, 1.5, 1, 0.5, 1, 1};
    const Parameters lo{0.0003, 0.0, 1.0, -0.5, 0, 0, 0};
    const Parameters hi{0.0003, 8.0, 1.0, -0.5, 0, 0, 0};
    Parameters p{0.0003, 4.0, 1.0, -0.5, 0, 0, 0};
    // First step: centre 0 and centre 8 give the same sum (1.0), both below
    // the start (1.5); the tie goes to minus, and the search settles on the
    // dip at 2, not on the one at 6.
    Search(x, y, 9, 4, lo, hi, p);
    EXPECT_EQ(p[kCenter1], 2.0);
    EXPECT_EQ(p[kSigma1], 0.0003);
    EXPECT_EQ(p[kOffset], 1.0);

    // Where no trial lowers the sum nothing moves, and the passes end.
    const double yFlat[] = {1, 1, 1, 1, 1, 1, 1, 1, 1};
    Parameters q{1.0, 4.0, 1.0, 0.0, 0, 0, 0};
    const Parameters loFlat{0.0003, 0.0, 0.0, 0.0, 0, 0, 0};
    const Parameters hiFlat{10.0, 8.0, 1.0, 0.0, 0, 0, 0};
    Search(x, yFlat, 9, 4, loFlat, hiFlat, q);
    EXPECT_EQ(q[kSigma1], 1.0);
    EXPECT_EQ(q[kCenter1], 4.0);
    EXPECT_EQ(q[kOffset], 1.0);
}

TEST(GaussianSearch, FastSearchGivesBitIdenticalFitsToThePlainOne)
{
    std::mt19937 oRandom(2024);
    std::uniform_real_distribution<double> oUnit(0.0, 1.0);
    for (int lCase = 0; lCase < 60; ++lCase) {
        const bool bDouble = lCase % 3 == 2;
        const bool bEmission = lCase % 4 == 1;
        const double fCenter = 5000.0 + 100.0 * oUnit(oRandom);
        const double fSigma = 0.2 + 2.0 * oUnit(oRandom);
        const double fDepth = bEmission ? 50.0 + 500.0 * oUnit(oRandom) : -(0.1 + 0.8 * oUnit(oRandom));
        const double fOffset = bEmission ? 100.0 : 0.8 + 0.2 * oUnit(oRandom);
        std::vector<Profile> vProfiles = {{fCenter, fSigma, fDepth}};
        if (bDouble) {
            vProfiles.push_back({fCenter + 3 * fSigma, fSigma, fDepth / 2});
        }
        const int n = 9 + static_cast<int>(40 * oUnit(oRandom));
        const double fStep = 0.05 + 0.3 * oUnit(oRandom);
        const auto oSection = MakeSection(fCenter - n / 2 * fStep, fStep, n, fOffset, vProfiles,
                                          bEmission ? 5.0 : 0.01, static_cast<unsigned>(lCase));
        const int P = bDouble ? 7 : 4;
        Parameters lo{};
        Parameters hi{};
        SearchBounds(oSection, bEmission, lo, hi);
        const Parameters oStart{1.0, fCenter + 0.1, 1.0, 0.0, fSigma, fCenter + 3 * fSigma, fDepth / 3};
        Parameters oFast = oStart;
        Parameters oPlain = oStart;
        Search(&oSection.GetXValues()[0], &oSection.GetYValues()[0], static_cast<std::size_t>(n), P, lo, hi, oFast);
        PlainSearch(oSection, P, lo, hi, oPlain);
        for (std::size_t i = 0; i < static_cast<std::size_t>(P); ++i) {
            EXPECT_TRUE(SameBits(oFast[i], oPlain[i])) << "case " << lCase << " parameter " << i << ": " << oFast[i]
                                                       << " vs " << oPlain[i];
        }
    }
}

TEST(ActiveLine, OneMarkSharedByContainersMarksOneLine)
{
    ActiveLine oMark;
    SpectralLineList oFirst;
    SpectralLineList oSecond;
    oFirst.AddSpectralLine(std::make_unique<SpectralLine>());
    oSecond.AddSpectralLine(std::make_unique<SpectralLine>());
    EXPECT_NE(oFirst.GetLine(0).GetId(), oSecond.GetLine(0).GetId());
    oFirst.SetActiveLineMark(&oMark);
    oSecond.SetActiveLineMark(&oMark);
    EXPECT_EQ(oFirst.ToggleActive(0), oFirst.GetLine(0).GetId());
    EXPECT_TRUE(oFirst.IsActive(0));
    oSecond.ToggleActive(0);
    EXPECT_FALSE(oFirst.IsActive(0)) << "activating another line moves the mark";
    EXPECT_TRUE(oSecond.IsActive(0));
    oSecond.ToggleActive(0);
    EXPECT_FALSE(oSecond.IsActive(0));
    EXPECT_EQ(oMark.Id(), -1);
    // A container without a shared mark keeps its own.
    SpectralLineList oAlone;
    oAlone.AddSpectralLine(std::make_unique<SpectralLine>());
    oAlone.ToggleActive(0);
    EXPECT_TRUE(oAlone.IsActive(0));
    EXPECT_EQ(oMark.Id(), -1);
}

TEST(SpectralLine, TypeSwitchAndIdentification)
{
    SpectralLine oLine;
    oLine.FitGaussian(MakeSection(0.0, 0.5, 21, 1.0, {{5.0, 1.0, -0.3}}), false);
    oLine.SetGaussianType(true);
    bool bDouble = false;
    EXPECT_EQ(oLine.GetSecondCenter(bDouble), oLine.GetFirstCenter());
    EXPECT_EQ(oLine.GetSigma2(), oLine.GetSigma1());
    EXPECT_EQ(oLine.GetAmplitude2(), oLine.GetAmplitude1());
    oLine.SetGaussianType(false);
    EXPECT_FALSE(oLine.IsDoubleGaussian());
    EXPECT_EQ(oLine.GetSigma2(), oLine.GetSigma1()) << "switching back keeps component 2";

    oLine.SetIdentification(3, 6562.8, "H-alpha with a very long name beyond 31 characters");
    std::string sName;
    int32_t lIndex = 0;
    double fWavelength = 0;
    oLine.GetIdentification(&sName, lIndex, fWavelength);
    EXPECT_EQ(sName, "H-alpha with a very long name b");
    EXPECT_EQ(lIndex, 3);
    EXPECT_EQ(fWavelength, 6562.8);
    oLine.SetIdentification(4, 4861.3, nullptr);
    oLine.GetIdentification(&sName, lIndex, fWavelength);
    EXPECT_EQ(sName, "H-alpha with a very long name b") << "no name keeps the name";
    EXPECT_EQ(lIndex, 4);
}

class LineFitInAnyScale : public ::testing::TestWithParam<double> {};

// A line 40 % deep in a spectrum whose continuum is the parameter: counts, flux units, a continuum above
// 1. The fit finds it as in a normalised spectrum (the bounds of 0 .. 1 once lost it).
TEST_P(LineFitInAnyScale, FindsTheLineAsInANormalisedSpectrum)
{
    const double fContinuum = GetParam();
    const auto oSection = MakeSection(6550.0, 0.25, 101, fContinuum, {{6562.8, 1.0, -0.4 * fContinuum}});
    SpectralLine oLine;
    oLine.SetFirstCenter(6562.5);
    ASSERT_TRUE(oLine.FitGaussian(oSection, false, SpectralLine::FitScale(oSection.GetYValues(), false)));
    EXPECT_NEAR(oLine.GetCenter(), 6562.8, 0.002);
    EXPECT_NEAR(oLine.GetWidth(), 1.0, 0.002);
    EXPECT_NEAR(oLine.GetAmplitude1() / fContinuum, -0.4, 0.002);
    EXPECT_NEAR(oLine.GetOffset() / fContinuum, 1.0, 0.002);
}

INSTANTIATE_TEST_SUITE_P(Continua, LineFitInAnyScale, ::testing::Values(1.0, 0.7, 1.1, 1.5, 2.0, 1000.0, 1e-13, 3e5));

TEST(CSpectralLineFit, ASectionWithoutIntensityIsNotFitted)
{
    SpectralLine oLine;
    const auto oZero = MakeSection(6550.0, 0.25, 21, 0.0, {});
    const auto oNan = MakeSection(6550.0, 0.25, 21, NAN, {});
    EXPECT_FALSE(oLine.FitGaussian(oZero, false, SpectralLine::FitScale(oZero.GetYValues(), false)));
    EXPECT_FALSE(oLine.FitGaussian(oNan, false, SpectralLine::FitScale(oNan.GetYValues(), false)));
}

// The centres' standard errors against scipy's curve_fit on the same noisy windows
// (tests/data/lines/make_line_errors.py): the covariance at scipy's optimum to 1e-6, and the program's
// own fit of the single lines to 1 % (its search stops within a step of 0.0003 of the optimum).
TEST(GaussianFit, StandardErrorsAgreeWithScipyCurveFit)
{
    std::ifstream oFile(std::string(QUANDREL_TEST_DATA_DIR) + "/lines/line_errors.txt");
    std::string sKind;
    int lCases = 0;
    while (oFile >> sKind) {
        if (sKind == "#") {
            std::getline(oFile, sKind);
            continue;
        }
        std::size_t n = 0;
        oFile >> n;
        std::vector<double> x(n);
        std::vector<double> y(n);
        for (std::size_t k = 0; k < n; ++k) {
            oFile >> x[k] >> y[k];
        }
        const int P = sKind == "double" ? 7 : 4;
        Parameters afFit{};
        Parameters afScipy{};
        std::string sWord;
        oFile >> sWord;
        for (int i = 0; i < P; ++i) {
            oFile >> afFit[static_cast<std::size_t>(i)];
        }
        oFile >> sWord;
        for (int i = 0; i < P; ++i) {
            oFile >> afScipy[static_cast<std::size_t>(i)];
        }
        SCOPED_TRACE(lCases);
        Parameters afOpen{};
        Parameters afOpenHigh{};
        afOpen.fill(-1e300);
        afOpenHigh.fill(1e300);
        const auto oErrors = StandardErrors(x.data(), y.data(), n, P, afOpen, afOpenHigh, afFit);
        ASSERT_TRUE(oErrors);
        for (int i = 0; i < P; ++i) {
            const auto u = static_cast<std::size_t>(i);
            EXPECT_NEAR((*oErrors)[u], afScipy[u], 1e-6 * afScipy[u]) << i;
        }
        if (P == 4) {
            DataSeries oSection;
            oSection.SetValues(x.data(), y.data(), static_cast<int32_t>(n));
            SpectralLine oLine;
            oLine.SetFirstCenter(x[n / 2]);
            const bool bEmission = afFit[kAmplitude1] > 0;
            ASSERT_TRUE(oLine.FitGaussian(oSection, bEmission));
            EXPECT_NEAR(oLine.GetFirstCenter(), afFit[kCenter1], 1e-3);
            EXPECT_NEAR(oLine.GetCenter1Error(), afScipy[kCenter1], 0.01 * afScipy[kCenter1]);
        }
        ++lCases;
    }
    EXPECT_EQ(lCases, 7);
    // A parameter the search left at its bound is held fixed; too few points give nothing.
    const std::vector<double> x{1, 2, 3, 4};
    const std::vector<double> y{1, 0.5, 0.6, 1};
    Parameters p{0.7, 2.5, 1.0, -0.5};
    Parameters lo{0.0003, 1, 0, -1};
    Parameters hi{10, 4, 1, 1};
    EXPECT_FALSE(StandardErrors(x.data(), y.data(), 4, 4, lo, hi, p));
}
