// The radial-velocity graph: the measured velocities over Julian date, or
// folded by the fitted period (phase plot), with the fitted curve.
#pragma once

#include "core/MeasuredDataArrayClass.h"
#include "plot/GraphClass.h"

class COrbitalElements;

class CRVCurve : public CGraph {
public:
    CRVCurve(ICanvas* pImage, const COrbitalElements* pElements, const CMeasuredDataArray& oData, bool bPhasePlot);

    // Draws on an image of the given size; nothing with fewer than 2 points.
    void Draw(int32_t lImageHeight, int32_t lImageWidth);

    // The points as drawn (phases in the phase plot), sorted by x.
    const std::vector<double>& PlottedX() const { return m_pafGraphX; }
    const std::vector<double>& PlottedY() const { return m_pafGraphY; }
    // True when the last drawing showed phases (a phase plot of a fitted orbit), not Julian dates.
    bool ShowsPhase() const { return m_bShowsPhase; }

private:
    const COrbitalElements* m_pElements;
    CMeasuredDataArray m_oData;
    bool m_bPhasePlot;
    bool m_bShowsPhase = false;
};
