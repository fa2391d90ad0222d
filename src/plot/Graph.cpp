#include "Graph.h"

#include "core/Assert.h"
#include "core/NumberText.h"

#include <algorithm>
#include <cmath>

namespace {

// Pixels far outside any image are drawn at this distance instead.
constexpr double kPixelLimit = 1.0e6;

int ToPixel(double fValue)
{
    if (!(fValue == fValue)) {
        return 0;
    }
    return static_cast<int>(std::clamp(std::trunc(fValue), -kPixelLimit, kPixelLimit));
}

} // namespace

int Graph::Mapping::PixelX(double x, double fRound) const
{
    return ToPixel((x - oX.fLow) / (oX.fHigh - oX.fLow) * lPlotWidth + fRound);
}

int Graph::Mapping::PixelY(double y, double fRound) const
{
    return ToPixel((y - oY.fLow) / (oY.fHigh - oY.fLow) * lPlotHeight + fRound);
}

Graph::Graph(Canvas* pImage) : m_pImage(pImage) {}

void Graph::SetImageSize(int32_t lWidth, int32_t lHeight)
{
    m_lImageWidth = lWidth;
    m_lImageHeight = lHeight;
}

void Graph::SetData(int32_t lCount, const double* x, const double* y)
{
    QASSERT(x!=NULL && y!=NULL);
    lCount = std::max<int32_t>(lCount, 0);
    m_plottedX.assign(x, x + lCount);
    m_plottedY.assign(y, y + lCount);
    m_lNumberValues = lCount;
    Init(lCount, kDefaultZoomFactor);
    ComputeRange();
}

void Graph::ComputeRange()
{
    const int32_t lFirst = std::max<int32_t>(m_lStartIndex, 0);
    const int32_t lEnd = static_cast<int32_t>(
        std::min<int64_t>(static_cast<int64_t>(m_lStartIndex) + m_lVisibleCount, m_lNumberValues));
    if (lFirst >= lEnd) {
        return;
    }
    m_fXMin = m_fXMax = m_plottedX[static_cast<std::size_t>(lFirst)];
    m_fYMin = m_fYMax = m_plottedY[static_cast<std::size_t>(lFirst)];
    for (int32_t i = lFirst; i < lEnd; ++i) {
        const double x = m_plottedX[static_cast<std::size_t>(i)];
        const double y = m_plottedY[static_cast<std::size_t>(i)];
        m_fXMin = std::min(m_fXMin, x);
        m_fXMax = std::max(m_fXMax, x);
        m_fYMin = std::min(m_fYMin, y);
        m_fYMax = std::max(m_fYMax, y);
    }
    if (m_bKeepYAxisFixed) {
        for (const double y : m_plottedY) {
            m_fYMin = std::min(m_fYMin, y);
            m_fYMax = std::max(m_fYMax, y);
        }
    }
}

void Graph::DrawAxes(const std::string& sXAxisLabel, const std::string& sYAxisLabel, double fYMax, double fYMin,
                      double fXMax, double fXMin)
{
    const int W = m_lImageWidth;
    const int H = m_lImageHeight;
    const int B = m_lBottomMargin;
    const int I = m_lInset;
    const int T = m_lTickLength;

    const AxisTicks oY = CalculateAxisScale(fYMin, fYMax);
    const int lYDecimals = LabelDecimals(oY);
    // The margin fits the widest label of the y axis.
    int lWidest = 0;
    for (int i = 0; i <= oY.lIntervals; ++i) {
        if (oY.IsLabelled(i)) {
            lWidest = std::max(lWidest, m_pImage->TextWidth(TickLabel(oY, i, lYDecimals)));
        }
    }
    m_lLeftMargin = lWidest + 25;
    const int L = m_lLeftMargin;
    m_lAxisY = H - B;
    m_lAxisRight = W - L;

    // The x caption beyond the end of the axis, moved left as far as it needs to stay whole; tick
    // labels it would cover are left out.
    const int lCaptionX = std::max(0, std::min(W - L + I / 2, W - 2 - m_pImage->TextWidth(sXAxisLabel)));
    m_pImage->DrawText(lCaptionX, H - B + I / 2, sXAxisLabel);
    m_pImage->DrawText(L - I, B - B / 2 - 8, sYAxisLabel);

    const AxisTicks oX = CalculateAxisScale(fXMin, fXMax);
    const int lXDecimals = LabelDecimals(oX);
    const int lPlotWidth = W - 2 * L - I;
    for (int i = 0; i <= oX.lIntervals; ++i) {
        const int X = L + static_cast<int>(static_cast<int64_t>(i) * lPlotWidth / oX.lIntervals);
        m_pImage->DrawLine(X, H - B, X, H - B + T);
        if (oX.IsLabelled(i)) {
            m_pImage->DrawLine(X, H - B + T, X, H - B + T + 4);
            const std::string sLabel = TickLabel(oX, i, lXDecimals);
            const int lLabelX = X - m_pImage->TextWidth(sLabel) / 2;
            if (lLabelX + m_pImage->TextWidth(sLabel) + 4 <= lCaptionX) {
                m_pImage->DrawText(lLabelX, H - B + 2 * T, sLabel);
            }
        }
    }

    const int lPlotHeight = H - 2 * B - I;
    for (int i = 0; i <= oY.lIntervals; ++i) {
        const int Y = H - (static_cast<int>(static_cast<int64_t>(i) * lPlotHeight / oY.lIntervals) + B);
        m_pImage->DrawLine(L, Y, L - T, Y);
        if (oY.IsLabelled(i)) {
            m_pImage->DrawLine(L - T, Y, L - T - 4, Y);
            const std::string sLabel = TickLabel(oY, i, lYDecimals);
            m_pImage->DrawText(L - m_pImage->TextWidth(sLabel) - 12, Y - 8, sLabel);
        }
    }

    m_pImage->DrawLine(W - L, H - B, L, H - B);
    m_pImage->DrawLine(L, H - B, L, B);
}

Graph::Mapping Graph::CurrentMapping() const
{
    Mapping oMap;
    oMap.oX = CalculateAxisScale(m_fXMin, m_fXMax);
    oMap.oY = CalculateAxisScale(m_fYMin, m_fYMax);
    oMap.lPlotWidth = m_lImageWidth - 2 * m_lLeftMargin - m_lInset;
    oMap.lPlotHeight = m_lImageHeight - 2 * m_lBottomMargin - m_lInset;
    return oMap;
}

namespace {

// A polyline whose consecutive points in one pixel column are drawn as one vertical stroke from
// their lowest to their highest pixel: the same pixels as the segments between them (the path is
// connected, so it covers that stroke and nothing else in the column), in two lines however many
// points the column holds. A spectrum of a million samples is so drawn in as many lines as the plot
// has columns.
class ColumnPolyline {
public:
    explicit ColumnPolyline(Canvas* pCanvas) : m_pCanvas(pCanvas) {}
    ColumnPolyline(const ColumnPolyline&) = delete;
    ColumnPolyline& operator=(const ColumnPolyline&) = delete;
    ~ColumnPolyline() { EndColumn(); }

    void Add(int X, int Y)
    {
        if (m_bColumn && X == m_lX) {
            m_lMin = std::min(m_lMin, Y);
            m_lMax = std::max(m_lMax, Y);
            m_lLast = Y;
            return;
        }
        EndColumn();
        if (m_bColumn) {
            m_pCanvas->DrawLine(m_lX, m_lLast, X, Y);
        }
        m_bColumn = true;
        m_lX = X;
        m_lMin = m_lMax = m_lLast = Y;
    }

private:
    void EndColumn()
    {
        if (m_bColumn && m_lMin != m_lMax) {
            m_pCanvas->DrawLine(m_lX, m_lMin, m_lX, m_lMax);
        }
    }

    Canvas* m_pCanvas;
    bool m_bColumn = false;
    int m_lX = 0;
    int m_lMin = 0;
    int m_lMax = 0;
    int m_lLast = 0;
};

// A canvas that passes everything on to another, its lines cut at a rectangle (the plot's frame):
// what lies inside is drawn to the pixel as given, what lies outside not at all.
class ClipCanvas : public Canvas {
public:
    ClipCanvas(Canvas* pCanvas, int lLeft, int lTop, int lRight, int lBottom)
        : m_pCanvas(pCanvas), m_lLeft(lLeft), m_lTop(lTop), m_lRight(lRight), m_lBottom(lBottom)
    {
    }

    void Clear(Rgb oBackground) override { m_pCanvas->Clear(oBackground); }
    void SetPenColor(Rgb oColor) override { m_pCanvas->SetPenColor(oColor); }
    Rgb GetPenColor() const override { return m_pCanvas->GetPenColor(); }
    void DrawText(int x, int y, const std::string& sText) override { m_pCanvas->DrawText(x, y, sText); }
    int TextWidth(const std::string& sText) const override { return m_pCanvas->TextWidth(sText); }

    void DrawLine(int x0, int y0, int x1, int y1) override
    {
        if (Inside(x0, y0) && Inside(x1, y1)) {
            m_pCanvas->DrawLine(x0, y0, x1, y1);
            return;
        }
        // Liang-Barsky: the part of the segment x0 + t dx, y0 + t dy (t in 0 .. 1) inside the rectangle.
        const double dx = static_cast<double>(x1) - x0;
        const double dy = static_cast<double>(y1) - y0;
        double t0 = 0.0;
        double t1 = 1.0;
        const double afP[4] = {-dx, dx, -dy, dy};
        const double afQ[4] = {static_cast<double>(x0) - m_lLeft, static_cast<double>(m_lRight) - x0,
                               static_cast<double>(y0) - m_lTop, static_cast<double>(m_lBottom) - y0};
        for (int k = 0; k < 4; ++k) {
            if (afP[k] == 0.0) {
                if (afQ[k] < 0.0) {
                    return;
                }
                continue;
            }
            const double t = afQ[k] / afP[k];
            if (afP[k] < 0.0) {
                t0 = std::max(t0, t);
            } else {
                t1 = std::min(t1, t);
            }
        }
        if (t0 > t1) {
            return;
        }
        const auto At = [](int a, double d, double t) { return static_cast<int>(std::lround(a + t * d)); };
        m_pCanvas->DrawLine(At(x0, dx, t0), At(y0, dy, t0), At(x0, dx, t1), At(y0, dy, t1));
    }

private:
    bool Inside(int x, int y) const { return x >= m_lLeft && x <= m_lRight && y >= m_lTop && y <= m_lBottom; }

    Canvas* m_pCanvas;
    int m_lLeft;
    int m_lTop;
    int m_lRight;
    int m_lBottom;
};

} // namespace

void Graph::DrawData()
{
    const Mapping oMap = CurrentMapping();
    int32_t lFirst = std::max<int32_t>(m_lStartIndex, 0);
    int32_t lEnd = static_cast<int32_t>(
        std::min<int64_t>(static_cast<int64_t>(m_lStartIndex) + m_lVisibleCount, m_lNumberValues));
    // The axis runs to rounded values beyond the visible samples: the samples there are drawn too, and
    // one more on each side, so that the line reaches the frame.
    const auto X = [this](int32_t i) { return m_plottedX[static_cast<std::size_t>(i)]; };
    while (lFirst > 0 && lFirst < m_lNumberValues && X(lFirst - 1) >= oMap.oX.fLow) {
        --lFirst;
    }
    lFirst = std::max(0, lFirst - 1);
    while (lEnd > 0 && lEnd < m_lNumberValues && X(lEnd) <= oMap.oX.fHigh) {
        ++lEnd;
    }
    lEnd = std::min(m_lNumberValues, lEnd + 1);
    DrawPoints(oMap, m_plottedX.data(), m_plottedY.data(), lFirst, lEnd);
}

void Graph::DrawPoints(const Mapping& oMap, const double* pafX, const double* pafY, int32_t lFirst, int32_t lEnd)
{
    const int lBase = m_lImageHeight - m_lBottomMargin;
    ClipCanvas oFrame(m_pImage, m_lLeftMargin, lBase - oMap.lPlotHeight, m_lLeftMargin + oMap.lPlotWidth, lBase);
    if (m_lDrawStyle == 1) {
        for (int32_t i = lFirst; i < lEnd; ++i) {
            const int X = m_lLeftMargin + oMap.PixelX(pafX[i], 0.5);
            const int Y = lBase - oMap.PixelY(pafY[i], 0.5);
            oFrame.DrawLine(X + 2, Y + 2, X - 2, Y - 2);
            oFrame.DrawLine(X - 2, Y + 2, X + 2, Y - 2);
        }
        return;
    }
    ColumnPolyline oLine(&oFrame);
    for (int32_t i = lFirst; i < lEnd; ++i) {
        oLine.Add(m_lLeftMargin + oMap.PixelX(pafX[i], 0.5), lBase - oMap.PixelY(pafY[i], 0.5));
    }
}

void Graph::DrawSeries(const double* pafX, const double* pafY, int lPaletteIndex, int32_t lCount)
{
    if (lCount <= 0) {
        return;
    }
    QASSERT(pafX!=NULL && pafY!=NULL);
    const Mapping oMap = CurrentMapping();
    if (pafX[0] > oMap.oX.fHigh || pafX[lCount - 1] < oMap.oX.fLow) {
        return;
    }
    const Rgb oPreviousPen = m_pImage->GetPenColor();
    m_pImage->SetPenColor(GraphPalette(lPaletteIndex));
    DrawPoints(oMap, pafX, pafY, 0, lCount);
    m_pImage->SetPenColor(oPreviousPen);
}

bool Graph::PixelToPoint(int lX, int lY, double& x, double& y) const
{
    const Mapping oMap = CurrentMapping();
    const int lBase = m_lImageHeight - m_lBottomMargin;
    if (m_lNumberValues <= 0 || oMap.lPlotWidth <= 0 || oMap.lPlotHeight <= 0 || lX < m_lLeftMargin ||
        lX > m_lLeftMargin + oMap.lPlotWidth || lY > lBase || lY < lBase - oMap.lPlotHeight) {
        return false;
    }
    x = PixelToX(lX);
    y = oMap.oY.fLow + static_cast<double>(lBase - lY) * (oMap.oY.fHigh - oMap.oY.fLow) / oMap.lPlotHeight;
    return true;
}

double Graph::PixelToX(int lX) const
{
    const Mapping oMap = CurrentMapping();
    return oMap.oX.fLow + static_cast<double>(lX - m_lLeftMargin) * (oMap.oX.fHigh - oMap.oX.fLow) /
                              std::max(oMap.lPlotWidth, 1);
}

int32_t Graph::IndexAtX(double x) const
{
    const auto itEnd = m_plottedX.begin() + m_lNumberValues;
    const auto it = std::lower_bound(m_plottedX.begin(), itEnd, x);
    return static_cast<int32_t>(std::min<std::ptrdiff_t>(it - m_plottedX.begin(), m_lNumberValues - 1));
}

bool Graph::ZoomAtPixel(int lX, int lSteps)
{
    if (m_lNumberValues < 2 || lSteps == 0) {
        return false;
    }
    const int32_t lIndex = IndexAtX(PixelToX(lX));
    const double fShare = m_lVisibleCount > 0 ? static_cast<double>(lIndex - m_lStartIndex) / m_lVisibleCount : 0.5;
    if (!ZoomAbout(lIndex, fShare, std::pow(kDefaultZoomFactor, lSteps))) {
        return false;
    }
    ComputeRange();
    return true;
}

bool Graph::ZoomToPixels(int lX0, int lX1)
{
    if (m_lNumberValues < 2) {
        return false;
    }
    const int32_t lFirst = IndexAtX(PixelToX(std::min(lX0, lX1)));
    const int32_t lLast = IndexAtX(PixelToX(std::max(lX0, lX1)));
    if (lLast - lFirst < 1) {
        return false;
    }
    ShowRange(lFirst, lLast);
    ComputeRange();
    return true;
}

void Graph::PanPixels(int lDeltaX)
{
    const Mapping oMap = CurrentMapping();
    if (m_lNumberValues < 2 || oMap.lPlotWidth <= 0) {
        return;
    }
    Pan(static_cast<int32_t>(std::lround(-static_cast<double>(lDeltaX) * m_lVisibleCount / oMap.lPlotWidth)));
    ComputeRange();
}

void Graph::ShowAllValues()
{
    ShowAll();
    ComputeRange();
}

bool Graph::PixelToValue(int lX, int lY, double& fValue) const
{
    const Mapping oMap = CurrentMapping();
    if (oMap.lPlotWidth <= 0 || oMap.lPlotHeight <= 0) {
        return false;
    }
    const int L = m_lLeftMargin;
    const int lBase = m_lImageHeight - m_lBottomMargin;
    const bool bInside = lX >= L + oMap.PixelX(m_fXMin, 0.0) && lX <= L + oMap.PixelX(m_fXMax, 0.0) &&
                         lY >= lBase - oMap.PixelY(m_fYMax, 0.0) && lY <= lBase - oMap.PixelY(m_fYMin, 0.0);
    if (!bInside) {
        return false;
    }
    fValue = oMap.oX.fLow + (lX - L) * (oMap.oX.fHigh - oMap.oX.fLow) / oMap.lPlotWidth;
    return true;
}
