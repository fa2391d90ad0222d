// The radial-velocity graph: the measured velocities over Julian date, or
// folded by the fitted period (phase plot), with the fitted curve.
#pragma once

#include "core/DataSeries.h"
#include "plot/Graph.h"

class OrbitGridSearch;

class RvCurvePlot : public Graph {
public:
    RvCurvePlot(Canvas* pImage, const OrbitGridSearch* pElements, const DataSeries& oData, bool bPhasePlot);

    // Draws on an image of the given size; nothing with fewer than 2 points.
    void Draw(int32_t lImageHeight, int32_t lImageWidth);

    // The points as drawn (phases in the phase plot), sorted by x.
    const std::vector<double>& PlottedX() const { return m_plottedX; }
    const std::vector<double>& PlottedY() const { return m_plottedY; }
    // True when the last drawing showed phases (a phase plot of a fitted orbit), not Julian dates.
    bool ShowsPhase() const { return m_bShowsPhase; }

private:
    const OrbitGridSearch* m_pElements;
    DataSeries m_oData;
    bool m_bPhasePlot;
    bool m_bShowsPhase = false;
};
