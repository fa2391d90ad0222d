// The parameter search base on a cost of known shape.
#include "orbit/Optimizer.h"

#include <gtest/gtest.h>

namespace {

// (x - 0.3)^2 + (y + 1.2)^2 on two parameters; counts its evaluations.
class Bowl : public Optimizer {
public:
    Bowl() : Optimizer(2)
    {
        DataSeries oData;
        oData.SetSize(1);
        SetDataArray(oData);
        SetNumberParameters(2);
    }
    void Set(int i, double fStart, double fLower, double fUpper, int32_t lSteps)
    {
        m_parameters[static_cast<std::size_t>(i)] = {fStart, fStart, fLower, fUpper, lSteps, false};
    }
    double ObjectiveFunction() override
    {
        ++lEvaluations;
        const double x = m_parameters[0].fValue - fCentreX;
        const double y = m_parameters[1].fValue - fCentreY;
        // A narrow valley along x = y, when fValley > 0.
        return fValley > 0 ? (x - y) * (x - y) * fValley + (x + y) * (x + y) : x * x + y * y;
    }
    double fCentreX = 0.3;
    double fCentreY = -1.2;
    double fValley = 0.0;
    int lEvaluations = 0;
};

} // namespace

TEST(Optimizer, GridVisitsEveryPointAndKeepsTheFirstBest)
{
    Bowl o;
    o.Set(0, 5.0, -1.0, 1.0, 4);
    o.Set(1, 5.0, -2.0, 2.0, 8);
    o.Optimize();
    EXPECT_EQ(o.lEvaluations, 5 * 9 + 1);
    EXPECT_TRUE(o.IsOptimized());
    EXPECT_EQ(o.GetParameter(0).fBest, 0.5);
    EXPECT_EQ(o.GetParameter(1).fBest, -1.0);
    EXPECT_EQ(o.GetParameter(0).fValue, 1.0) << "after the grid the values are the last point visited";
    EXPECT_EQ(o.GetParameter(1).fValue, 2.0);
}

TEST(Optimizer, StartValuesWinWhenNoGridPointIsBetter)
{
    Bowl o;
    o.Set(0, 0.3, 1.0, 2.0, 2);
    o.Set(1, -1.2, 1.0, 2.0, 2);
    o.Optimize();
    EXPECT_EQ(o.GetParameter(0).fBest, 0.3);
    EXPECT_EQ(o.GetParameter(1).fBest, -1.2);
    EXPECT_EQ(o.GetBestValue(), 0.0);
}

TEST(Optimizer, RefinementStaysWithinTheLimitsAndKeepsAMinimumOnTheGrid)
{
    Bowl o;
    o.Set(0, 0.0, -1.0, 1.0, 4);
    o.Set(1, 0.0, -2.0, 2.0, 8);
    o.Optimize();
    o.RefineOptimum();
    EXPECT_NEAR(o.GetParameter(0).fBest, 0.3, 0.002);
    EXPECT_NEAR(o.GetParameter(1).fBest, -1.2, 0.002);

    // A minimum outside the limits: the refinement stops at the limit.
    Bowl oEdge;
    oEdge.fCentreX = 5.0;
    oEdge.Set(0, 0.0, -1.0, 1.0, 4);
    oEdge.Set(1, 0.0, -2.0, 2.0, 8);
    oEdge.Optimize();
    oEdge.RefineOptimum();
    EXPECT_LE(oEdge.GetParameter(0).fBest, 1.0);
    EXPECT_GE(oEdge.GetParameter(0).fBest, 0.99);

    // Exactly on the grid: trials half an interval away are not better.
    Bowl oOnGrid;
    oOnGrid.fCentreX = 0.5;
    oOnGrid.fCentreY = -1.0;
    oOnGrid.Set(0, 0.0, -1.0, 1.0, 4);
    oOnGrid.Set(1, 0.0, -2.0, 2.0, 8);
    oOnGrid.Optimize();
    oOnGrid.RefineOptimum();
    EXPECT_EQ(oOnGrid.GetParameter(0).fBest, 0.5);
    EXPECT_EQ(oOnGrid.GetParameter(1).fBest, -1.0);
    EXPECT_EQ(oOnGrid.GetBestValue(), 0.0);
}

TEST(Optimizer, RefinementAlongANarrowValleyEndsWithinItsBound)
{
    // One element at a time creeps along the valley with gains that never stop: the refinement
    // ends after a bounded number of passes.
    Bowl o;
    o.fValley = 1e8;
    o.fCentreX = 5e5;
    o.fCentreY = 5e5;
    o.Set(0, 0.0, -1e6, 1e6, 2);
    o.Set(1, 0.0, -1e6, 1e6, 2);
    o.Optimize();
    o.lEvaluations = 0;
    o.RefineOptimum();
    // 1000 passes of two elements, each at most 2 x 40 trials from 5e5 down to 0.001.
    EXPECT_LE(o.lEvaluations, 1000 * 2 * (1 + 2 * 40));
    EXPECT_LE(o.GetBestValue(), 1e12) << "and it got somewhere";
}

TEST(Optimizer, SearchesNeedData)
{
    class Empty : public Optimizer {
    public:
        Empty() : Optimizer(1) {}
        double ObjectiveFunction() override { return 0.0; }
    } o;
    EXPECT_DEATH(o.Optimize(), "Assertion failed: m_bIsOptimizationConfigured, file Optimizer\\.cpp");
    EXPECT_DEATH(o.RefineOptimum(), "m_bIsOptimizationConfigured");
}
