// The visible window of a plot as a run of indices, moved by the scroll bar
// and scaled by zoom steps.
#pragma once

#include <cstdint>

class Zoom {
public:
    // Whole data visible: start 0, lCount values, zoom steps allowed.
    void Init(int32_t lCount, double fFactor);

    // One step in (refused while fewer than 25 values are visible) or out.
    // On success lNewPosition is the scroll position of the new middle of the
    // view as a share of lScrollMax; false when the step was refused.
    bool ZoomIn(int32_t lScrollMax, int32_t& lNewPosition);
    bool ZoomOut(int32_t lScrollMax, int32_t& lNewPosition);

    // Moves the start to the share lPosition / lScrollMax of the free range.
    void ScrollTo(int32_t lScrollMax, int32_t lPosition);

    // Keeps the window inside the data.
    void NormalizeWindow();

    // lFactor times fewer values (more for a factor below 1) with value lIndex kept at the share fShare
    // of the window; false for a step in while fewer than 25 values are visible.
    bool ZoomAbout(int32_t lIndex, double fShare, double fFactor);
    // Values lFirst .. lLast (at least two).
    void ShowRange(int32_t lFirst, int32_t lLast);
    // The window moved by lDelta values (inside the data).
    void Pan(int32_t lDelta);
    // All values.
    void ShowAll();
    // The scroll position of the window's start as ScrollTo takes it.
    int32_t ScrollPosition(int32_t lScrollMax) const;

    void GetZoom(int32_t& lStart, int32_t& lCount) const;
    void SetZoom(int32_t lStart, int32_t lCount);

    bool IsZoomEnabled() const { return m_bZoomEnabled; }

protected:
    int32_t m_lStartIndex = 0;
    int32_t m_lVisibleCount = 0;
    int32_t m_lLastIndex = -1;
    double m_fZoomFactor = 1.5;
    bool m_bZoomEnabled = false;

private:
    int32_t MiddlePosition(int32_t lScrollMax) const;
};
