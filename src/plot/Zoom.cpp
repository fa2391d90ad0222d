#include "Zoom.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// trunc toward zero into the 32-bit range (NaN gives 0).
int32_t TruncToInt(double fValue)
{
    if (!(fValue == fValue)) {
        return 0;
    }
    const double fLimit = std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(std::clamp(std::trunc(fValue), -fLimit, fLimit));
}

} // namespace

void Zoom::Init(int32_t lCount, double fFactor)
{
    m_lStartIndex = 0;
    m_lVisibleCount = lCount;
    m_lLastIndex = lCount - 1;
    m_fZoomFactor = fFactor;
    m_bZoomEnabled = true;
}

int32_t Zoom::MiddlePosition(int32_t lScrollMax) const
{
    const int64_t lTotal = static_cast<int64_t>(m_lLastIndex) + 1;
    if (lTotal <= 0) {
        return 0;
    }
    const double fMiddle = static_cast<double>(m_lVisibleCount / 2 + static_cast<int64_t>(m_lStartIndex));
    return TruncToInt(fMiddle / static_cast<double>(lTotal) * lScrollMax);
}

bool Zoom::ZoomIn(int32_t lScrollMax, int32_t& lNewPosition)
{
    if (!m_bZoomEnabled || m_lVisibleCount < 25) {
        return false;
    }
    const int32_t lOld = m_lVisibleCount;
    m_lVisibleCount = TruncToInt(lOld / m_fZoomFactor);
    m_lStartIndex += (lOld - m_lVisibleCount) / 2;
    lNewPosition = MiddlePosition(lScrollMax);
    NormalizeWindow();
    return true;
}

bool Zoom::ZoomOut(int32_t lScrollMax, int32_t& lNewPosition)
{
    if (!m_bZoomEnabled) {
        return false;
    }
    const int32_t lOld = m_lVisibleCount;
    m_lVisibleCount = TruncToInt(lOld * m_fZoomFactor);
    m_lStartIndex += (lOld - m_lVisibleCount) / 2;
    lNewPosition = MiddlePosition(lScrollMax);
    NormalizeWindow();
    return true;
}

void Zoom::ScrollTo(int32_t lScrollMax, int32_t lPosition)
{
    if (lScrollMax != 0) {
        const double fFree = static_cast<double>(m_lLastIndex) - m_lVisibleCount + 1;
        m_lStartIndex = TruncToInt(static_cast<double>(lPosition) / lScrollMax * fFree);
    }
    NormalizeWindow();
}

void Zoom::NormalizeWindow()
{
    m_lVisibleCount = std::min(m_lVisibleCount, m_lLastIndex + 1);
    if (static_cast<int64_t>(m_lStartIndex) + m_lVisibleCount > m_lLastIndex) {
        m_lStartIndex = m_lLastIndex - m_lVisibleCount + 1;
    }
    m_lStartIndex = std::max<int32_t>(m_lStartIndex, 0);
}

bool Zoom::ZoomAbout(int32_t lIndex, double fShare, double fFactor)
{
    if (!m_bZoomEnabled || !(fFactor > 0) || (fFactor > 1 && m_lVisibleCount < 25)) {
        return false;
    }
    const int32_t lCount = std::clamp(TruncToInt(m_lVisibleCount / fFactor), 2, std::max(m_lLastIndex + 1, 2));
    m_lVisibleCount = lCount;
    m_lStartIndex = lIndex - TruncToInt(std::clamp(fShare, 0.0, 1.0) * lCount);
    NormalizeWindow();
    return true;
}

void Zoom::ShowRange(int32_t lFirst, int32_t lLast)
{
    if (lLast < lFirst) {
        std::swap(lFirst, lLast);
    }
    m_lStartIndex = lFirst;
    m_lVisibleCount = std::max(lLast - lFirst + 1, 2);
    NormalizeWindow();
}

void Zoom::Pan(int32_t lDelta)
{
    m_lStartIndex = TruncToInt(static_cast<double>(m_lStartIndex) + lDelta);
    NormalizeWindow();
}

void Zoom::ShowAll()
{
    m_lStartIndex = 0;
    m_lVisibleCount = m_lLastIndex + 1;
}

int32_t Zoom::ScrollPosition(int32_t lScrollMax) const
{
    const double fFree = static_cast<double>(m_lLastIndex) - m_lVisibleCount + 1;
    return fFree > 0 ? TruncToInt(m_lStartIndex / fFree * lScrollMax) : 0;
}

void Zoom::GetZoom(int32_t& lStart, int32_t& lCount) const
{
    lStart = m_lStartIndex;
    lCount = m_lVisibleCount;
}

void Zoom::SetZoom(int32_t lStart, int32_t lCount)
{
    m_lStartIndex = lStart;
    m_lVisibleCount = lCount;
}
