// The continuum fit on generated spectra whose continuum is known: absorption and emission lines,
// noise, a curved continuum far from 1; and the options it refuses.
#include "calibration/ContinuumFit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

struct Case {
    const char* pcName;
    bool bEmission;
    int lOrder;
};

class ContinuumCases : public ::testing::TestWithParam<Case> {};

double Continuum(double x)
{
    const double t = (x - 6500.0) / 200.0;
    return 1.1 + 0.08 * t - 0.05 * t * t + 0.02 * t * t * t;
}

} // namespace

TEST_P(ContinuumCases, TheFittedContinuumIsTheOneTheSpectrumWasMadeWith)
{
    const Case& c = GetParam();
    std::mt19937 oRandom(7);
    std::normal_distribution<double> oNoise(0.0, 0.005);
    std::vector<double> vW;
    std::vector<double> vI;
    for (int i = 0; i < 8000; ++i) {
        const double x = 6300.0 + 0.05 * i;
        double fLines = 0.0;
        for (const double fCentre : {6350.0, 6420.0, 6500.0, 6562.8, 6610.0, 6680.0}) {
            fLines += 0.4 * std::exp(-(x - fCentre) * (x - fCentre) / (2 * 1.5 * 1.5));
        }
        vW.push_back(x);
        vI.push_back(Continuum(x) * (1.0 + (c.bEmission ? fLines : -fLines)) + oNoise(oRandom));
    }
    const auto oFit = FitContinuum(vW, vI, {c.lOrder, 2.0, c.bEmission});
    ASSERT_TRUE(oFit) << oFit.Error();
    double fWorst = 0.0;
    for (std::size_t i = 0; i < vW.size(); ++i) {
        fWorst = std::max(fWorst, std::fabs(oFit->vContinuum[i] / Continuum(vW[i]) - 1.0));
    }
    EXPECT_LT(fWorst, 0.003) << "relative";
    // The lines are set aside: fewer samples kept than there are, and the scatter is the noise.
    EXPECT_LT(oFit->lKept, 8000 * 0.95);
    EXPECT_NEAR(oFit->fScatter / 1.1, 0.005, 0.0015);
    EXPECT_GT(oFit->lIterations, 1);
}

INSTANTIATE_TEST_SUITE_P(Generated, ContinuumCases,
                         ::testing::Values(Case{"Absorption", false, 3}, Case{"Emission", true, 3},
                                           Case{"HigherOrder", false, 6}),
                         [](const auto& o) { return std::string(o.param.pcName); });

TEST(ContinuumFit, RefusesWhatItCannotFitOrDivideBy)
{
    std::vector<double> vW{1, 2, 3, 4, 5, 6};
    std::vector<double> vI{1, 1, 1, 1, 1, 1};
    EXPECT_FALSE(FitContinuum(vW, vI, {16, 2.0, false}));
    EXPECT_FALSE(FitContinuum(vW, vI, {3, 0.1, false}));
    const auto oFew = FitContinuum(vW, vI, {3, 2.0, false});
    ASSERT_FALSE(oFew) << "6 samples for 4 coefficients";
    EXPECT_NE(oFew.Error().find("too few samples"), std::string::npos) << oFew.Error();
    const std::vector<double> vNegative{-1, -1, -1, -1, -1, -1};
    const auto oNegative = FitContinuum(vW, vNegative, {1, 2.0, false});
    ASSERT_FALSE(oNegative);
    EXPECT_NE(oNegative.Error().find("0 or below"), std::string::npos) << oNegative.Error();
    const auto oFlat = FitContinuum(vW, vI, {1, 2.0, false});
    ASSERT_TRUE(oFlat) << oFlat.Error();
    EXPECT_NEAR(oFlat->vContinuum[3], 1.0, 1e-12);
}
