// Axes, ticks, labels, data mapping, series and pixel look-up of a plot,
// checked on a recording canvas (every character 7 pixels wide).
#include "spectrum/SpectrumPlot.h"
#include "support/Generators.h"
#include "support/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <set>
#include <utility>
#include <vector>

namespace {

constexpr int kWidth = 400;
constexpr int kHeight = 300;

// x 0 .. 4, y 0 .. 0.008 on a 400 x 300 image: left margin 5 * 7 + 25 = 60 (labels "0.002"),
// plot width 400 - 120 - 15 = 265, plot height 300 - 66 - 15 = 219.
class GraphFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::vector<double> vX = {0, 1, 2, 3, 4};
        const std::vector<double> vY = {0, 0.002, 0.004, 0.006, 0.008};
        m_oData.SetValues(5, vX.data(), vY.data());
        m_oSpectrum.SetData(5, vX.data(), vY.data());
    }

    bool HasLine(int x0, int y0, int x1, int y1) const
    {
        return std::any_of(m_oCanvas.vLines.begin(), m_oCanvas.vLines.end(), [&](const DrawnLine& o) {
            return o.x0 == x0 && o.y0 == y0 && o.x1 == x1 && o.y1 == y1;
        });
    }

    RecordingCanvas m_oCanvas;
    Spectrum m_oData;
    SpectrumPlot m_oSpectrum{&m_oCanvas, m_oData};
};

} // namespace

TEST_F(GraphFixture, AxesPlaceCaptionsTicksAndLabels)
{
    m_oSpectrum.Draw(kHeight, kWidth);
    EXPECT_EQ(m_oSpectrum.GetLeftMargin(), 60);
    // The x caption ends inside the image, however wide it is.
    const std::string sCaption = "Wavelength [\u00C5]";
    EXPECT_EQ(m_oCanvas.TextAt(kWidth - 2 - m_oCanvas.TextWidth(sCaption), 274), sCaption);
    EXPECT_EQ(m_oCanvas.TextAt(45, 9), "Intensity");
    // x tick 4 of 16 at 60 + 4 * 265 div 16 = 126, labelled 1 (as all x labels, without decimals).
    EXPECT_TRUE(HasLine(126, 267, 126, 271));
    EXPECT_TRUE(HasLine(126, 271, 126, 275));
    EXPECT_EQ(m_oCanvas.TextAt(126 - 3, 275), "1");
    // x tick 1 is a minor tick only.
    EXPECT_TRUE(HasLine(76, 267, 76, 271));
    EXPECT_FALSE(HasLine(76, 271, 76, 275));
    // y tick 4 of 16 at row 300 - (4 * 219 div 16 + 33) = 213, labelled 0.002 (as all y labels, with
    // three decimals, 0 too).
    EXPECT_TRUE(HasLine(60, 213, 56, 213));
    EXPECT_TRUE(HasLine(56, 213, 52, 213));
    EXPECT_EQ(m_oCanvas.TextAt(60 - 35 - 12, 205), "0.002");
    EXPECT_TRUE(m_oCanvas.HasText("0.008"));
    EXPECT_TRUE(m_oCanvas.HasText("0.000"));
    EXPECT_TRUE(m_oCanvas.HasText("3"));
    EXPECT_FALSE(m_oCanvas.HasText("4")) << "the last label would lie under the caption";
    // The two axis lines.
    EXPECT_TRUE(HasLine(340, 267, 60, 267));
    EXPECT_TRUE(HasLine(60, 267, 60, 33));
}

TEST_F(GraphFixture, DataBecomeAPolylineOrCrossesAtTheMappedPixels)
{
    m_oSpectrum.Draw(kHeight, kWidth);
    // (2, 4) lies at (60 + 133, 267 - 110); (4, 8) at (60 + 265, 267 - 219).
    EXPECT_TRUE(HasLine(126, 212, 193, 157));
    EXPECT_TRUE(HasLine(259, 103, 325, 48));

    m_oCanvas.Clear(Rgb{255, 255, 255});
    m_oSpectrum.SetDrawStyle(1);
    m_oSpectrum.DrawData();
    EXPECT_EQ(m_oCanvas.vLines.size(), 10U);
    EXPECT_TRUE(HasLine(195, 159, 191, 155));
    EXPECT_TRUE(HasLine(191, 159, 195, 155));
}

TEST_F(GraphFixture, SeriesAreCutAtTheFrameAndRestoreThePen)
{
    m_oSpectrum.Draw(kHeight, kWidth);
    m_oCanvas.vLines.clear();
    m_oCanvas.SetPenColor(Rgb{1, 2, 3});
    // From left of the axis to right of it, at 0.004 (row 157); a point far below the axis.
    const std::vector<double> vX = {-1, 1, 3, 5, 6};
    const std::vector<double> vY = {0.004, 0.004, 0.004, 0.004, -1.0};
    m_oSpectrum.DrawSeries(vX.data(), vY.data(), 4, 5);
    ASSERT_EQ(m_oCanvas.vLines.size(), 3U) << "the segments that reach into the frame";
    EXPECT_TRUE(HasLine(60, 157, 126, 157)) << "cut at the left end of the axis";
    EXPECT_TRUE(HasLine(126, 157, 259, 157));
    EXPECT_TRUE(HasLine(259, 157, 325, 157)) << "cut at the right end of the axis";
    EXPECT_EQ(m_oCanvas.vLines[0].oColor, (Rgb{0, 128, 0}));
    EXPECT_EQ(m_oCanvas.GetPenColor(), (Rgb{1, 2, 3}));

    // A curve that dives below the axis ends at the frame, not over the tick labels.
    m_oCanvas.vLines.clear();
    const std::vector<double> vDive = {1, 2};
    const std::vector<double> vDepth = {0.004, -0.004};
    m_oSpectrum.DrawSeries(vDive.data(), vDepth.data(), 4, 2);
    ASSERT_EQ(m_oCanvas.vLines.size(), 1U);
    EXPECT_EQ(std::max(m_oCanvas.vLines[0].y0, m_oCanvas.vLines[0].y1), 267);

    const std::vector<double> vRight = {5, 6};
    m_oSpectrum.DrawSeries(vRight.data(), vY.data(), 2, 2);
    EXPECT_EQ(m_oCanvas.vLines.size(), 1U) << "a series right of the axis draws nothing";
}

TEST_F(GraphFixture, AZoomedSpectrumIsDrawnToBothEndsOfItsAxis)
{
    // Ten samples 0 .. 9.9 of a slope; the zoom shows samples 3 .. 6 (3.3 .. 6.6), the axis runs from
    // 3.25 to 6.75.
    std::vector<double> vX(10);
    std::vector<double> vY(10);
    for (int i = 0; i < 10; ++i) {
        vX[static_cast<std::size_t>(i)] = 1.1 * i;
        vY[static_cast<std::size_t>(i)] = 0.001 * i;
    }
    m_oSpectrum.SetData(10, vX.data(), vY.data());
    m_oSpectrum.SetZoom(3, 4);
    m_oSpectrum.ComputeRange();
    m_oSpectrum.Draw(kHeight, kWidth);
    m_oCanvas.vLines.clear();
    m_oSpectrum.DrawData();
    ASSERT_FALSE(m_oCanvas.vLines.empty());
    int lLeft = kWidth;
    int lRight = 0;
    for (const DrawnLine& o : m_oCanvas.vLines) {
        lLeft = std::min({lLeft, o.x0, o.x1});
        lRight = std::max({lRight, o.x0, o.x1});
    }
    EXPECT_EQ(lLeft, m_oSpectrum.GetLeftMargin()) << "from the left end of the x axis";
    EXPECT_EQ(lRight, kWidth - m_oSpectrum.GetLeftMargin() - 15) << "to its right end";
}

TEST_F(GraphFixture, LevelLineIsDrawnInRedAtItsShareOfTheMaximum)
{
    // Intensities 0 .. 8 (labels "0" .. "8": left margin 7 + 25 = 32, plot width 400 - 64 - 15 = 321).
    const std::vector<double> vX = {0, 1, 2, 3, 4};
    const std::vector<double> vY = {0, 2, 4, 6, 8};
    m_oSpectrum.SetData(5, vX.data(), vY.data());
    m_oSpectrum.SetLevel(true, 50, 10);
    m_oSpectrum.Draw(kHeight, kWidth);
    const auto& oLast = m_oCanvas.vLines.back();
    EXPECT_EQ(oLast.oColor, (Rgb{255, 0, 0}));
    // Intensity 5: row 267 - trunc(5 / 8 * 219 + 0.5) = 130.
    EXPECT_EQ(oLast.y0, 130);
    EXPECT_EQ(oLast.y1, 130);
    EXPECT_EQ(oLast.x0, 32);
    EXPECT_EQ(oLast.x1, 353);
}

TEST_F(GraphFixture, PixelToValueInsideTheDataRectangleOnly)
{
    m_oSpectrum.Draw(kHeight, kWidth);
    double fValue = -1;
    ASSERT_TRUE(m_oSpectrum.PixelToValue(193, 157, fValue));
    EXPECT_DOUBLE_EQ(fValue, 133.0 * 4.0 / 265.0);
    EXPECT_TRUE(m_oSpectrum.PixelToValue(60, 267, fValue));
    EXPECT_TRUE(m_oSpectrum.PixelToValue(325, 48, fValue));
    fValue = -1;
    EXPECT_FALSE(m_oSpectrum.PixelToValue(59, 157, fValue));
    EXPECT_FALSE(m_oSpectrum.PixelToValue(326, 157, fValue));
    EXPECT_FALSE(m_oSpectrum.PixelToValue(193, 47, fValue));
    EXPECT_FALSE(m_oSpectrum.PixelToValue(193, 268, fValue));
    EXPECT_EQ(fValue, -1);
}

TEST_F(GraphFixture, RangeFollowsTheZoomWindowAndTheFixedYAxis)
{
    m_oSpectrum.SetZoom(1, 2);
    m_oSpectrum.ComputeRange();
    EXPECT_EQ(m_oSpectrum.GetXMin(), 1);
    EXPECT_EQ(m_oSpectrum.GetXMax(), 2);
    EXPECT_EQ(m_oSpectrum.GetYMin(), 0) << "y over all values while kept fixed";
    EXPECT_EQ(m_oSpectrum.GetYMax(), 0.008);

    m_oSpectrum.SetKeepYAxisFixed(false);
    m_oSpectrum.ComputeRange();
    EXPECT_EQ(m_oSpectrum.GetYMin(), 0.002);
    EXPECT_EQ(m_oSpectrum.GetYMax(), 0.004);

    m_oSpectrum.SetZoom(0, 0);
    m_oSpectrum.ComputeRange();
    EXPECT_EQ(m_oSpectrum.GetXMin(), 1) << "no visible values keep the old range";
}

TEST(CGraphGuards, ConstantAndSingleValueSeriesDrawSaneAxes)
{
    for (const std::vector<double>& vY : {std::vector<double>{1.0, 1.0, 1.0}, std::vector<double>{0.0}}) {
        RecordingCanvas oCanvas;
        Spectrum oValues;
        SpectrumPlot oSpectrum(&oCanvas, oValues);
        std::vector<double> vX(vY.size(), 6562.8);
        oSpectrum.SetData(static_cast<int32_t>(vY.size()), vX.data(), vY.data());
        oSpectrum.Draw(kHeight, kWidth);
        ASSERT_FALSE(oCanvas.vLines.empty());
        for (const auto& oLine : oCanvas.vLines) {
            for (int v : {oLine.x0, oLine.x1}) {
                EXPECT_TRUE(v >= 0 && v <= kWidth) << v;
            }
            for (int v : {oLine.y0, oLine.y1}) {
                EXPECT_TRUE(v >= 0 && v <= kHeight) << v;
            }
        }
        for (const auto& oText : oCanvas.vTexts) {
            EXPECT_EQ(oText.sText.find("nan"), std::string::npos);
            EXPECT_EQ(oText.sText.find("inf"), std::string::npos);
        }
        double fValue = 0;
        oSpectrum.PixelToValue(200, 150, fValue);
    }
}

TEST(CGraphGuards, EmptySpectrumDrawsNothing)
{
    RecordingCanvas oCanvas;
    Spectrum oValues;
    SpectrumPlot oSpectrum(&oCanvas, oValues);
    oSpectrum.Draw(kHeight, kWidth);
    EXPECT_TRUE(oCanvas.vLines.empty());
    EXPECT_TRUE(oCanvas.vTexts.empty());
}

namespace {

// The pixels of lines as a plain Bresenham rasteriser sets them.
std::set<std::pair<int, int>> Pixels(const std::vector<DrawnLine>& vLines)
{
    std::set<std::pair<int, int>> oPixels;
    for (const DrawnLine& o : vLines) {
        int x = o.x0;
        int y = o.y0;
        const int dx = std::abs(o.x1 - o.x0);
        const int dy = -std::abs(o.y1 - o.y0);
        const int sx = o.x0 < o.x1 ? 1 : -1;
        const int sy = o.y0 < o.y1 ? 1 : -1;
        for (int e = dx + dy;;) {
            oPixels.emplace(x, y);
            if (x == o.x1 && y == o.y1) {
                break;
            }
            const int e2 = 2 * e;
            if (e2 >= dy) {
                e += dy;
                x += sx;
            }
            if (e2 <= dx) {
                e += dx;
                y += sy;
            }
        }
    }
    return oPixels;
}

} // namespace

TEST(GraphDrawing, ManySamplesDrawAsOneStrokePerColumnWithThePixelsOfTheFullPolyline)
{
    RecordingCanvas oCanvas;
    Spectrum oValues;
    SpectrumPlot oSpectrum(&oCanvas, oValues);
    std::vector<double> vX;
    std::vector<double> vY;
    quandrel::testing::NoisyLineSpectrum(200000, 0.005, vX, vY);
    oValues.SetValues(static_cast<int32_t>(vX.size()), vX.data(), vY.data());
    oSpectrum.SetData(static_cast<int32_t>(vX.size()), vX.data(), vY.data());
    oSpectrum.Draw(600, 1000);
    // Every sample's pixel, from the crosses centred on it; then the polyline through them.
    oCanvas.vLines.clear();
    oSpectrum.SetDrawStyle(1);
    oSpectrum.DrawData();
    ASSERT_EQ(oCanvas.vLines.size(), 2 * vX.size());
    // (The crosses at the ends of the axis are cut at the frame: those columns are left out.)
    const int lLeft = oSpectrum.GetLeftMargin() + 3;
    const int lRight = 1000 - oSpectrum.GetLeftMargin() - 15 - 3;
    const auto Inner = [&](std::set<std::pair<int, int>> oPixels) {
        std::erase_if(oPixels, [&](const std::pair<int, int>& o) { return o.first < lLeft || o.first > lRight; });
        return oPixels;
    };
    std::vector<DrawnLine> vFull;
    for (std::size_t k = 2; k + 1 < oCanvas.vLines.size(); k += 2) {
        const DrawnLine& a = oCanvas.vLines[k - 2];
        const DrawnLine& b = oCanvas.vLines[k];
        vFull.push_back({(a.x0 + a.x1) / 2, (a.y0 + a.y1) / 2, (b.x0 + b.x1) / 2, (b.y0 + b.y1) / 2, Rgb{}});
    }
    oCanvas.vLines.clear();
    oSpectrum.SetDrawStyle(0);
    oSpectrum.DrawData();
    EXPECT_LE(oCanvas.vLines.size(), 2U * 1000U) << "at most two lines per pixel column";
    EXPECT_EQ(Inner(Pixels(oCanvas.vLines)), Inner(Pixels(vFull)));
}

TEST(GraphMarks, IdentifiedLinesAreMarkedWithTheirLaboratoryNameAndOthersAreNot)
{
    RecordingCanvas oCanvas;
    Spectrum oValues;
    SpectrumPlot oSpectrum(&oCanvas, oValues);
    // Two absorption lines at 6540 and 6580.
    std::vector<double> vX;
    std::vector<double> vY;
    for (int k = 0; k < 2000; ++k) {
        const double x = 6500.0 + 0.05 * k;
        vX.push_back(x);
        vY.push_back(1.0 - 0.5 * std::exp(-(x - 6540.0) * (x - 6540.0) / 0.5) -
                     0.5 * std::exp(-(x - 6580.0) * (x - 6580.0) / 0.5));
    }
    oValues.SetValues(static_cast<int32_t>(vX.size()), vX.data(), vY.data());
    oSpectrum.SetData(static_cast<int32_t>(vX.size()), vX.data(), vY.data());
    oValues.FindSpectralLines(60, 0.1);
    ASSERT_EQ(oValues.GetSpectralLineCount(), 2);
    const int32_t lMarked = oValues.GetLineFirstCenter(0) < 6560 ? 0 : 1;
    oValues.SetLineIdentification(lMarked, 0, 6540.1, "Fe I");
    oSpectrum.Draw(kHeight, kWidth);
    // The tick: red, over the line's centre, from the top of the frame down.
    const double fCenter = oValues.GetLineFirstCenter(lMarked);
    const int lLeft = oSpectrum.GetLeftMargin();
    const int lPlotWidth = kWidth - 2 * lLeft - 15;
    const int lTop = kHeight - 33 - (kHeight - 66 - 15);
    std::vector<DrawnLine> vTicks;
    for (const DrawnLine& o : oCanvas.vLines) {
        if (o.oColor == Rgb{255, 0, 0} && o.x0 == o.x1 && o.y0 == lTop && o.y1 == lTop + 8) {
            vTicks.push_back(o);
        }
    }
    ASSERT_EQ(vTicks.size(), 1U) << "one identified line, one tick";
    const double fLow = oSpectrum.GetXMin() - std::fmod(oSpectrum.GetXMin(), 10.0);
    EXPECT_NEAR(vTicks[0].x0, lLeft + (fCenter - fLow) / 100.0 * lPlotWidth, 2.0);
    EXPECT_EQ(oCanvas.TextAt(vTicks[0].x0 - oCanvas.TextWidth("Fe I") / 2, lTop - 16), "Fe I");
}
