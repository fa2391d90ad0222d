// Slider mapping and the local-extremum search.
#include "core/DataSeries.h"
#include "lines/LocalExtrema.h"
#include "lines/SliderScale.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

DataSeries Series(const std::vector<double>& vY)
{
    std::vector<double> vX(vY.size());
    for (std::size_t i = 0; i < vX.size(); ++i) {
        vX[i] = static_cast<double>(i);
    }
    DataSeries o;
    if (!vY.empty()) {
        o.SetValues(vX.data(), vY.data(), static_cast<int32_t>(vY.size()));
    }
    return o;
}

std::vector<int32_t> Extrema(const std::vector<double>& vY, int32_t lWidth, double fSensitivity, bool bMax)
{
    std::vector<int32_t> vIndex(vY.size() + 1, -1);
    int32_t lCount = -1;
    LocalExtrema::Find(lWidth, fSensitivity, Series(vY), vIndex, lCount, bMax);
    vIndex.resize(static_cast<std::size_t>(lCount));
    return vIndex;
}

} // namespace

TEST(SliderScale, WidthAndSensitivityScales)
{
    double fValue = -1;
    // Width: index i (+1) of 0 .. Max maps linearly from 2 to 2 Max + 2: 2 i + 4 samples.
    for (int i : {0, 1, 10, 20}) {
        ASSERT_TRUE(SliderScale::GetValue(0, 20, i + 1, 2.0, 42.0, SliderScale::kLinear, fValue));
        EXPECT_EQ(static_cast<int>(fValue + 0.01), 2 * i + 4);
    }
    // Sensitivity: 0.001 * 1000^((i + 1) / 20).
    ASSERT_TRUE(SliderScale::GetValue(0, 20, 1, 0.001, 1.0, SliderScale::kLogarithmic, fValue));
    EXPECT_NEAR(fValue, 0.0014125, 1e-7);
    ASSERT_TRUE(SliderScale::GetValue(0, 20, 20, 0.001, 1.0, SliderScale::kLogarithmic, fValue));
    EXPECT_NEAR(fValue, 1.0, 1e-12);
    ASSERT_TRUE(SliderScale::GetValue(0, 20, 21, 0.001, 1.0, SliderScale::kLogarithmic, fValue));
    EXPECT_NEAR(fValue, 1.4125, 1e-4);

    fValue = -1;
    EXPECT_FALSE(SliderScale::GetValue(0, 0, 1, 0.001, 1.0, SliderScale::kLogarithmic, fValue));
    EXPECT_FALSE(SliderScale::GetValue(0, 20, 1, 1.0, 0.001, SliderScale::kLogarithmic, fValue));
    EXPECT_FALSE(SliderScale::GetValue(0, 20, 1, 0.0, 1.0, SliderScale::kLogarithmic, fValue));
    EXPECT_FALSE(SliderScale::GetValue(0, 20, 1, 0.0, 1.0, 7, fValue));
    EXPECT_FALSE(SliderScale::GetValue(5, 5, 1, 0.0, 1.0, SliderScale::kLinear, fValue))
        << "an empty index range would divide by zero";
    EXPECT_EQ(fValue, -1);
}

TEST(LocalExtrema, FindsDominantDeepMinimaBlockByBlock)
{
    std::vector<double> vY(100, 1.0);
    vY[20] = 0.5;
    vY[50] = 0.9;   // depth 0.1: too shallow for sensitivity 0.2
    vY[51] = 0.95;
    vY[80] = 0.3;
    EXPECT_EQ(Extrema(vY, 10, 0.2, false), (std::vector<int32_t>{20, 80}));
    EXPECT_EQ(Extrema(vY, 10, 0.05, false), (std::vector<int32_t>{20, 50, 80}));
}

TEST(LocalExtrema, WindowsAtTheEdgesOfTheSeries)
{
    // A window wider than the series: one block, its extremum too close to an end.
    std::vector<double> vY(10, 1.0);
    vY[3] = 0.1;
    EXPECT_TRUE(Extrema(vY, 40, 0.1, false).empty());

    // An extremum at exactly N - half is tested with the part of its window inside the series.
    std::vector<double> vEdge(20, 1.0);
    vEdge[18] = 0.2; // N = 20, width 4, half 2: index 18 = N - half
    EXPECT_EQ(Extrema(vEdge, 4, 0.5, false), (std::vector<int32_t>{18}));
    vEdge[18] = 1.0;
    vEdge[19] = 0.2; // beyond N - half
    EXPECT_TRUE(Extrema(vEdge, 4, 0.5, false).empty());
    EXPECT_EQ(LocalExtrema::GetIndexOfExtremum(16, 40, false, Series(vEdge)), 19);
}

TEST(LocalExtrema, FlatRegionsAndTies)
{
    // Ties keep the earliest index; a flat window fails any positive depth ...
    std::vector<double> vFlat(30, 1.0);
    EXPECT_EQ(LocalExtrema::GetIndexOfExtremum(5, 14, false, Series(vFlat)), 5);
    EXPECT_TRUE(Extrema(vFlat, 6, 0.001, false).empty());
    // ... unless its values are within 1e-12 of zero.
    std::vector<double> vZero(30, 0.0);
    const auto vFound = Extrema(vZero, 6, 0.001, false);
    ASSERT_FALSE(vFound.empty());
    EXPECT_EQ(vFound.front(), 6) << "block 0 starts too close to the edge; block 1 at 6 is taken";
    // A neighbour that is strictly lower rejects the candidate.
    std::vector<double> vStep(30, 1.0);
    vStep[12] = 0.5;
    vStep[13] = 0.4;
    EXPECT_FALSE(LocalExtrema::IsLocalExtremum(12, 6, Series(vStep), 0.01, false));
    EXPECT_TRUE(LocalExtrema::IsLocalExtremum(13, 6, Series(vStep), 0.01, false));
}

TEST(LocalExtrema, MaximaThresholdIsRelativeToTheWholeRange)
{
    // Intensities from 100 to 1100, sensitivity 0.1: the threshold is 200, not 100.
    std::vector<double> vY(60, 100.0);
    vY[10] = 1100.0;
    vY[30] = 250.0; // rises 150 above its window: below 200
    vY[50] = 350.0; // rises 250
    EXPECT_EQ(Extrema(vY, 8, 0.1, true), (std::vector<int32_t>{10, 50}));
    EXPECT_FALSE(LocalExtrema::IsLocalExtremum(30, 8, Series(vY), 0.1, true));
    EXPECT_TRUE(LocalExtrema::IsLocalExtremum(50, 8, Series(vY), 0.1, true));
}

TEST(LocalExtrema, NarrowWindowsAndEmptySeriesEnd)
{
    // A window of one sample accepts zeros; the scan still moves on.
    std::vector<double> vZero(10, 0.0);
    EXPECT_EQ(Extrema(vZero, 1, 0.5, false).size(), 10U);
    EXPECT_TRUE(Extrema({}, 4, 0.5, false).empty());
}
