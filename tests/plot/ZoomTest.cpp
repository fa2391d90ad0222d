#include "plot/Zoom.h"

#include <gtest/gtest.h>

namespace {

struct Window {
    int32_t lStart;
    int32_t lCount;
};

Window WindowOf(const Zoom& oZoom)
{
    Window o{};
    oZoom.GetZoom(o.lStart, o.lCount);
    return o;
}

} // namespace

TEST(Zoom, StepsAreRefusedUntilDataAreSet)
{
    Zoom oZoom;
    int32_t lPosition = -1;
    EXPECT_FALSE(oZoom.ZoomIn(1000, lPosition));
    EXPECT_FALSE(oZoom.ZoomOut(1000, lPosition));
    EXPECT_EQ(lPosition, -1);
}

TEST(Zoom, ZoomInNeedsAtLeast25VisibleValues)
{
    Zoom oZoom;
    oZoom.Init(24, 1.5);
    int32_t lPosition = -1;
    EXPECT_FALSE(oZoom.ZoomIn(1000, lPosition));
    EXPECT_EQ(WindowOf(oZoom).lCount, 24);

    oZoom.Init(25, 1.5);
    EXPECT_TRUE(oZoom.ZoomIn(1000, lPosition));
    EXPECT_EQ(WindowOf(oZoom).lCount, 16);
    EXPECT_EQ(WindowOf(oZoom).lStart, 4);
}

TEST(Zoom, ScrollPositionStandsForTheMiddleOfTheView)
{
    Zoom oZoom;
    oZoom.Init(100, 1.5);
    int32_t lPosition = 0;
    ASSERT_TRUE(oZoom.ZoomIn(1000, lPosition));
    EXPECT_EQ(WindowOf(oZoom).lCount, 66);
    EXPECT_EQ(WindowOf(oZoom).lStart, 17);
    EXPECT_EQ(lPosition, 500);

    ASSERT_TRUE(oZoom.ZoomOut(1000, lPosition));
    EXPECT_EQ(WindowOf(oZoom).lCount, 99);
    EXPECT_EQ(WindowOf(oZoom).lStart, 1) << "(66 - 99) div 2 truncates toward zero";
    EXPECT_EQ(lPosition, 500);
}

TEST(Zoom, ZoomingOutBeyondTheDataShowsEverything)
{
    Zoom oZoom;
    oZoom.Init(1000, 1.5);
    int32_t lPosition = 0;
    for (int i = 0; i < 6; ++i) {
        ASSERT_TRUE(oZoom.ZoomIn(1000, lPosition));
    }
    oZoom.ScrollTo(1000, 900);
    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(oZoom.ZoomOut(1000, lPosition));
    }
    EXPECT_EQ(WindowOf(oZoom).lStart, 0);
    EXPECT_EQ(WindowOf(oZoom).lCount, 1000);
}

TEST(Zoom, ScrollingToTheEndShowsTheLastValue)
{
    Zoom oZoom;
    oZoom.Init(500, 1.5);
    int32_t lPosition = 0;
    ASSERT_TRUE(oZoom.ZoomIn(1000, lPosition));
    ASSERT_TRUE(oZoom.ZoomIn(1000, lPosition));
    const int32_t lVisible = WindowOf(oZoom).lCount;
    oZoom.ScrollTo(1000, 1000);
    EXPECT_EQ(WindowOf(oZoom).lStart + lVisible - 1, 499);
    oZoom.ScrollTo(1000, 0);
    EXPECT_EQ(WindowOf(oZoom).lStart, 0);
    oZoom.ScrollTo(1000, 500);
    EXPECT_EQ(WindowOf(oZoom).lStart, (500 - lVisible) / 2);
}

TEST(Zoom, NormalizeKeepsHandSetWindowsInsideTheData)
{
    Zoom oZoom;
    oZoom.Init(10, 1.5);
    oZoom.SetZoom(8, 5);
    oZoom.NormalizeWindow();
    EXPECT_EQ(WindowOf(oZoom).lStart, 5);
    EXPECT_EQ(WindowOf(oZoom).lCount, 5);
    oZoom.SetZoom(-4, 50);
    oZoom.NormalizeWindow();
    EXPECT_EQ(WindowOf(oZoom).lStart, 0);
    EXPECT_EQ(WindowOf(oZoom).lCount, 10);

    Zoom oEmpty;
    oEmpty.Init(0, 1.5);
    int32_t lPosition = 7;
    EXPECT_TRUE(oEmpty.ZoomOut(1000, lPosition));
    EXPECT_EQ(lPosition, 0);
    oEmpty.ScrollTo(0, 5);
    EXPECT_EQ(WindowOf(oEmpty).lStart, 0);
}
