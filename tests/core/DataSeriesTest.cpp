#include "core/DataSeries.h"
#include "core/Utils.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

DataSeries MakeArray(const std::vector<double>& vX)
{
    DataSeries oArray;
    std::vector<double> vY(vX.size());
    for (std::size_t i = 0; i < vX.size(); ++i) {
        vY[i] = 10.0 * static_cast<double>(i);
    }
    oArray.SetValues(vX.data(), vY.data(), static_cast<int32_t>(vX.size()));
    return oArray;
}

} // namespace

TEST(DataSeries, NearestIndexBisectsAndTiesGoUp)
{
    const DataSeries oArray = MakeArray({1, 2, 3});
    EXPECT_EQ(oArray.FindNearestIndex(0.5), 0);
    EXPECT_EQ(oArray.FindNearestIndex(1.6), 1);
    EXPECT_EQ(oArray.FindNearestIndex(2.4), 1);
    EXPECT_EQ(oArray.FindNearestIndex(2.5), 2);
    EXPECT_EQ(oArray.FindNearestIndex(1.5), 1);
    EXPECT_EQ(oArray.FindNearestIndex(9), 2);
    EXPECT_EQ(MakeArray({4}).FindNearestIndex(-100), 0);
    EXPECT_EQ(MakeArray({4}).FindNearestIndex(100), 0);
}

TEST(DataSeries, NearestIndexAgreesWithLinearScanOnUnevenGrid)
{
    std::vector<double> vX;
    double x = 6500.0;
    for (int i = 0; i < 500; ++i) {
        x += 0.01 + 0.02 * ((i * 7) % 5);
        vX.push_back(x);
    }
    const DataSeries oArray = MakeArray(vX);
    for (double fProbe = 6499.0; fProbe < x + 1.0; fProbe += 0.013) {
        int32_t lBest = 0;
        for (int32_t i = 1; i < static_cast<int32_t>(vX.size()); ++i) {
            // Nearest, the upper one on a tie.
            if (std::fabs(vX[i] - fProbe) <= std::fabs(vX[lBest] - fProbe)) {
                lBest = i;
            }
        }
        ASSERT_NEAR(vX[oArray.FindNearestIndex(fProbe)], vX[lBest], 1e-12) << "probe " << fProbe;
    }
}

TEST(DataSeries, ClipClampsAndKeepsTheInclusiveRange)
{
    DataSeries oArray = MakeArray({0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
    DataSeries oWhole = oArray;
    oWhole.Clip(-5, 100);
    EXPECT_EQ(oWhole.GetArraySize(), 10);

    oArray.Clip(3, 5);
    ASSERT_EQ(oArray.GetArraySize(), 3);
    EXPECT_EQ(oArray.GetX(0), 3);
    EXPECT_EQ(oArray.GetX(2), 5);
    EXPECT_EQ(oArray.GetY(0), 30);

    DataSeries oReversed = MakeArray({1, 2, 3});
    oReversed.Clip(2, 1);
    EXPECT_EQ(oReversed.GetArraySize(), 0);
}

TEST(DataSeries, CopiesAreDeepAndSizeResets)
{
    DataSeries oArray = MakeArray({1, 2, 3});
    DataSeries oCopy;
    oCopy = oArray;
    oCopy.SetX(0, 99.0);
    EXPECT_EQ(oArray.GetX(0), 1.0);
    oCopy = oCopy;
    EXPECT_EQ(oCopy.GetX(0), 99.0);

    oArray.SetSize(-3);
    EXPECT_EQ(oArray.GetArraySize(), 0);
    oArray.SetSize(4);
    EXPECT_EQ(oArray.GetArraySize(), 4);
}

TEST(DataSeries, ConvertXToLnAndYExtremes)
{
    DataSeries oArray = MakeArray({1.0, std::exp(2.0)});
    oArray.ConvertXToLn();
    EXPECT_DOUBLE_EQ(oArray.GetX(0), 0.0);
    EXPECT_DOUBLE_EQ(oArray.GetX(1), 2.0);

    double fMin = -1;
    double fMax = -1;
    DataSeries oEmpty;
    oEmpty.ConvertXToLn();
    EXPECT_FALSE(GetMinMaxY(oEmpty, fMin, fMax));
    EXPECT_EQ(fMin, -1);
    const double afX[] = {1, 2, 3, 4};
    const double afY[] = {0.5, -2.0, 7.0, 1.0};
    oArray.SetValues(afX, afY, 4);
    ASSERT_TRUE(GetMinMaxY(oArray, fMin, fMax));
    EXPECT_EQ(fMin, -2.0);
    EXPECT_EQ(fMax, 7.0);
}
