// Axis bounds, tick intervals, labelled ticks, label trimming and palette.
#include "plot/AxisScale.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

std::vector<double> LabelledValues(const AxisTicks& oScale)
{
    std::vector<double> vValues;
    for (int i = 0; i <= oScale.lIntervals; ++i) {
        if (oScale.IsLabelled(i)) {
            vValues.push_back(oScale.fLow + (oScale.fHigh - oScale.fLow) / oScale.lIntervals * i);
        }
    }
    return vValues;
}

} // namespace

TEST(CAuxGraphScale, StepFactorFollowsTheLeadingDigits)
{
    const AxisTicks o8 = AxisScale::CalculateAxisScale(0, 8);
    EXPECT_EQ(o8.fLow, 0);
    EXPECT_EQ(o8.fHigh, 8);
    EXPECT_EQ(o8.lIntervals, 16);
    EXPECT_EQ(LabelledValues(o8), (std::vector<double>{0, 2, 4, 6, 8}));

    const AxisTicks o4 = AxisScale::CalculateAxisScale(0, 4);
    EXPECT_EQ(o4.lIntervals, 16);
    EXPECT_EQ(LabelledValues(o4), (std::vector<double>{0, 1, 2, 3, 4}));

    const AxisTicks oSmall = AxisScale::CalculateAxisScale(6562.0, 6564.0);
    EXPECT_EQ(oSmall.lLabelSpacing, 5) << "e = 2 gives f = 0.1";
    EXPECT_EQ(oSmall.lIntervals, 20);
    EXPECT_NEAR(oSmall.fLow, 6562.0, 1e-9);
    EXPECT_NEAR(oSmall.fHigh, 6564.0, 1e-9);
}

TEST(CAuxGraphScale, NegativeLowerBoundShiftsTheLabelPhase)
{
    const AxisTicks o = AxisScale::CalculateAxisScale(-3, 5);
    EXPECT_EQ(o.fLow, -3);
    EXPECT_EQ(o.fHigh, 5);
    EXPECT_EQ(o.lIntervals, 16);
    EXPECT_EQ(o.lLabelPhase, 2);
    std::vector<int> vLabelled;
    for (int i = 0; i <= o.lIntervals; ++i) {
        if (o.IsLabelled(i)) {
            vLabelled.push_back(i);
        }
    }
    EXPECT_EQ(vLabelled, (std::vector<int>{2, 6, 10, 14}));
    EXPECT_EQ(LabelledValues(o), (std::vector<double>{-2, 0, 2, 4}));
}

TEST(CAuxGraphScale, BoundsEncloseTheRangeForManyRanges)
{
    for (double a : {-1234.5, -1.0, 0.0, 0.003, 1.0, 6562.8, 1e9}) {
        for (double fWidth : {1e-6, 0.01, 0.9, 1.0, 3.7, 99.0, 1234.0}) {
            const double b = a + fWidth;
            const AxisTicks o = AxisScale::CalculateAxisScale(a, b);
            const double fSlack = 1e-12 * (std::fabs(a) + std::fabs(b) + 1.0);
            EXPECT_LE(o.fLow, a + fSlack) << a << " " << b;
            EXPECT_GE(o.fHigh, b - fSlack) << a << " " << b;
            EXPECT_GE(o.lIntervals, 1);
            EXPECT_LE(o.lIntervals, 102);
        }
    }
}

TEST(CAuxGraphScale, EmptyAndUnusableRangesStillGiveAnAxis)
{
    for (const auto& [a, b] : std::vector<std::pair<double, double>>{
             {1.0, 1.0}, {0.0, 0.0}, {-5e-320, -5e-320}, {1e300, 1e300}, {NAN, 1.0}, {0.0, INFINITY},
             {-1.7e308, 1.7e308}, {5.0, 1.0}, {1e15, 1e15 + 0.125}}) {
        const AxisTicks o = AxisScale::CalculateAxisScale(a, b);
        EXPECT_TRUE(std::isfinite(o.fLow) && std::isfinite(o.fHigh)) << a << " " << b;
        EXPECT_GT(o.fHigh, o.fLow) << a << " " << b;
        EXPECT_GE(o.lIntervals, 1);
        EXPECT_GE(o.lLabelPhase, 0);
        EXPECT_LT(o.lLabelPhase, o.lLabelSpacing);
    }
    const AxisTicks oConstant = AxisScale::CalculateAxisScale(1.0, 1.0);
    EXPECT_LE(oConstant.fLow, 1.0);
    EXPECT_GE(oConstant.fHigh, 1.0);
}

// The labels of every labelled tick of an axis over a range: one format for all of them.
struct LabelCase {
    double a;
    double b;
    std::vector<std::string> vLabels;
};

class AxisLabels : public ::testing::TestWithParam<LabelCase> {};

TEST_P(AxisLabels, ShareOneFormatPerAxis)
{
    const AxisTicks o = AxisScale::CalculateAxisScale(GetParam().a, GetParam().b);
    const int lDecimals = AxisScale::LabelDecimals(o);
    std::vector<std::string> vLabels;
    for (int i = 0; i <= o.lIntervals; ++i) {
        if (o.IsLabelled(i)) {
            vLabels.push_back(AxisScale::TickLabel(o, i, lDecimals));
        }
    }
    EXPECT_EQ(vLabels, GetParam().vLabels);
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, AxisLabels,
    ::testing::Values(LabelCase{0.0, 1000.0, {"0", "500", "1000"}}, LabelCase{-20.0, 20.0, {"-20", "-10", "0", "10", "20"}},
                      LabelCase{0.0, 4.0, {"0", "1", "2", "3", "4"}},
                      LabelCase{0.95, 1.01, {"0.96", "0.98", "1.00"}},
                      LabelCase{6540.0, 6585.0, {"6540", "6550", "6560", "6570", "6580"}},
                      LabelCase{-0.3, 0.2, {"-0.3", "-0.2", "-0.1", "0.0", "0.1", "0.2"}},
                      LabelCase{2459000.1, 2459000.9, {"2459000.2", "2459000.4", "2459000.6", "2459000.8"}}));

TEST(CAuxGraphPalette, EighteenColoursAndBlackOutside)
{
    EXPECT_EQ(AxisScale::GraphPalette(0), (Rgb{255, 255, 255}));
    EXPECT_EQ(AxisScale::GraphPalette(2), (Rgb{255, 0, 0}));
    EXPECT_EQ(AxisScale::GraphPalette(3), (Rgb{0, 0, 255}));
    EXPECT_EQ(AxisScale::GraphPalette(4), (Rgb{0, 128, 0}));
    EXPECT_EQ(AxisScale::GraphPalette(11), (Rgb{192, 192, 192}));
    EXPECT_EQ(AxisScale::GraphPalette(17), (Rgb{0, 255, 0}));
    EXPECT_EQ(AxisScale::GraphPalette(18), (Rgb{0, 0, 0}));
    EXPECT_EQ(AxisScale::GraphPalette(-1), (Rgb{0, 0, 0}));
}
