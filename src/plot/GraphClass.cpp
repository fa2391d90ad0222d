#include "GraphClass.h"

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

int CGraph::SMapping::PixelX(double x, double fRound) const
{
    return ToPixel((x - oX.fLow) / (oX.fHigh - oX.fLow) * lPlotWidth + fRound);
}

int CGraph::SMapping::PixelY(double y, double fRound) const
{
    return ToPixel((y - oY.fLow) / (oY.fHigh - oY.fLow) * lPlotHeight + fRound);
}

CGraph::CGraph(ICanvas* pImage) : m_pImage(pImage) {}

void CGraph::SetImageSize(int32_t lWidth, int32_t lHeight)
{
    m_lImageWidth = lWidth;
    m_lImageHeight = lHeight;
}

void CGraph::SetData(int32_t lCount, const double* x, const double* y)
{
    QASSERT(x!=NULL && y!=NULL);
    lCount = std::max<int32_t>(lCount, 0);
    m_pafGraphX.assign(x, x + lCount);
    m_pafGraphY.assign(y, y + lCount);
    m_lNumberValues = lCount;
    Init(lCount, kDefaultZoomFactor);
    ComputeRange();
}

void CGraph::ComputeRange()
{
    const int32_t lFirst = std::max<int32_t>(m_lStartIndex, 0);
    const int32_t lEnd = static_cast<int32_t>(
        std::min<int64_t>(static_cast<int64_t>(m_lStartIndex) + m_lVisibleCount, m_lNumberValues));
    if (lFirst >= lEnd) {
        return;
    }
    m_fXMin = m_fXMax = m_pafGraphX[static_cast<std::size_t>(lFirst)];
    m_fYMin = m_fYMax = m_pafGraphY[static_cast<std::size_t>(lFirst)];
    for (int32_t i = lFirst; i < lEnd; ++i) {
        const double x = m_pafGraphX[static_cast<std::size_t>(i)];
        const double y = m_pafGraphY[static_cast<std::size_t>(i)];
        m_fXMin = std::min(m_fXMin, x);
        m_fXMax = std::max(m_fXMax, x);
        m_fYMin = std::min(m_fYMin, y);
        m_fYMax = std::max(m_fYMax, y);
    }
    if (m_bKeepYAxisFixed) {
        for (const double y : m_pafGraphY) {
            m_fYMin = std::min(m_fYMin, y);
            m_fYMax = std::max(m_fYMax, y);
        }
    }
}

void CGraph::DrawAxes(const std::string& sXAxisLabel, const std::string& sYAxisLabel, double fYMax, double fYMin,
                      double fXMax, double fXMin)
{
    const int W = m_lImageWidth;
    const int H = m_lImageHeight;
    const int B = m_lBottomMargin;
    const int I = m_lInset;
    const int T = m_lTickLength;

    const SAxisScale oY = CalculateAxisScale(fYMin, fYMax);
    const std::string sLow = TrimLabel(quandrel::FormatFixed(oY.fLow, 6));
    const std::string sHigh = TrimLabel(quandrel::FormatFixed(oY.fHigh, 6));
    m_lLeftMargin = m_pImage->TextWidth(sHigh.size() > sLow.size() ? sHigh : sLow) + 25;
    const int L = m_lLeftMargin;
    m_lAxisY = H - B;
    m_lAxisRight = W - L;

    // The x caption beyond the end of the axis, moved left as far as it needs to stay whole; tick
    // labels it would cover are left out.
    const int lCaptionX = std::max(0, std::min(W - L + I / 2, W - 2 - m_pImage->TextWidth(sXAxisLabel)));
    m_pImage->DrawText(lCaptionX, H - B + I / 2, sXAxisLabel);
    m_pImage->DrawText(L - I, B - B / 2 - 8, sYAxisLabel);

    const SAxisScale oX = CalculateAxisScale(fXMin, fXMax);
    const int lPlotWidth = W - 2 * L - I;
    for (int i = 0; i <= oX.lIntervals; ++i) {
        const int X = L + static_cast<int>(static_cast<int64_t>(i) * lPlotWidth / oX.lIntervals);
        m_pImage->DrawLine(X, H - B, X, H - B + T);
        if (oX.IsLabelled(i)) {
            m_pImage->DrawLine(X, H - B + T, X, H - B + T + 4);
            const double fValue = oX.fLow + (oX.fHigh - oX.fLow) / oX.lIntervals * i;
            const std::string sLabel = TrimLabel(quandrel::FormatFixed(fValue, 2));
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
            const double fValue = oY.fLow + (oY.fHigh - oY.fLow) / oY.lIntervals * i;
            const std::string sLabel = TrimLabel(quandrel::FormatFixed(fValue, 6));
            m_pImage->DrawText(L - m_pImage->TextWidth(sLabel) - 12, Y - 8, sLabel);
        }
    }

    m_pImage->DrawLine(W - L, H - B, L, H - B);
    m_pImage->DrawLine(L, H - B, L, B);
}

CGraph::SMapping CGraph::CurrentMapping() const
{
    SMapping oMap;
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
class CColumnPolyline {
public:
    explicit CColumnPolyline(ICanvas* pCanvas) : m_pCanvas(pCanvas) {}
    CColumnPolyline(const CColumnPolyline&) = delete;
    CColumnPolyline& operator=(const CColumnPolyline&) = delete;
    ~CColumnPolyline() { EndColumn(); }

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

    ICanvas* m_pCanvas;
    bool m_bColumn = false;
    int m_lX = 0;
    int m_lMin = 0;
    int m_lMax = 0;
    int m_lLast = 0;
};

} // namespace

void CGraph::DrawData()
{
    const SMapping oMap = CurrentMapping();
    const int32_t lFirst = std::max<int32_t>(m_lStartIndex, 0);
    const int32_t lEnd = static_cast<int32_t>(
        std::min<int64_t>(static_cast<int64_t>(m_lStartIndex) + m_lVisibleCount, m_lNumberValues));
    DrawPoints(oMap, m_pafGraphX.data(), m_pafGraphY.data(), lFirst, lEnd, false);
}

void CGraph::DrawPoints(const SMapping& oMap, const double* pafX, const double* pafY, int32_t lFirst, int32_t lEnd,
                        bool bInsideXOnly)
{
    const int lBase = m_lImageHeight - m_lBottomMargin;
    const auto Inside = [&](double x) { return !bInsideXOnly || (x >= oMap.oX.fLow && x <= oMap.oX.fHigh); };
    if (m_lDrawStyle == 1) {
        for (int32_t i = lFirst; i < lEnd; ++i) {
            if (Inside(pafX[i])) {
                const int X = m_lLeftMargin + oMap.PixelX(pafX[i], 0.5);
                const int Y = lBase - oMap.PixelY(pafY[i], 0.5);
                m_pImage->DrawLine(X + 2, Y + 2, X - 2, Y - 2);
                m_pImage->DrawLine(X - 2, Y + 2, X + 2, Y - 2);
            }
        }
        return;
    }
    CColumnPolyline oLine(m_pImage);
    for (int32_t i = lFirst; i < lEnd; ++i) {
        if (Inside(pafX[i])) {
            oLine.Add(m_lLeftMargin + oMap.PixelX(pafX[i], 0.5), lBase - oMap.PixelY(pafY[i], 0.5));
        }
    }
}

void CGraph::DrawSeries(const double* pafX, const double* pafY, int lPaletteIndex, int32_t lCount)
{
    if (lCount <= 0) {
        return;
    }
    QASSERT(pafX!=NULL && pafY!=NULL);
    const SMapping oMap = CurrentMapping();
    if (pafX[0] > oMap.oX.fHigh || pafX[lCount - 1] < oMap.oX.fLow) {
        return;
    }
    const SRgb oPreviousPen = m_pImage->GetPenColor();
    m_pImage->SetPenColor(GraphPalette(lPaletteIndex));
    DrawPoints(oMap, pafX, pafY, 0, lCount, true);
    m_pImage->SetPenColor(oPreviousPen);
}

bool CGraph::PixelToValue(int lX, int lY, double& fValue) const
{
    const SMapping oMap = CurrentMapping();
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
