// The period search page: the Lomb-Scargle power (black) against frequency with its strongest peak
// marked (blue) and the 1 % false-alarm level (red), and the PDM dispersion of the last period search
// (grey, scaled to its largest value, low where the velocities fold well) over the same frequencies.
#pragma once

#include "Periodogram.h"
#include "plot/GraphClass.h"

#include <utility>
#include <vector>

class CPeriodogramPlot : public CGraph {
public:
    explicit CPeriodogramPlot(ICanvas* pCanvas) : CGraph(pCanvas) {}

    void SetPeriodogram(const SPeriodogram& oPeriodogram);
    // (period, dispersion) pairs of a PDM scan; drawn where they fall in the frequency range.
    void SetPdmScan(const std::vector<std::pair<double, double>>& vScan);
    bool HasData() const { return !m_vFrequency.empty(); }

    void Draw(int32_t lImageHeight, int32_t lImageWidth);

private:
    std::vector<double> m_vFrequency;
    std::vector<double> m_vPower;
    double m_fBestFrequency = 0.0;
    double m_fBestPower = 0.0;
    double m_fFalseAlarm = 0.0;
    std::vector<double> m_vPdmFrequency;
    std::vector<double> m_vPdmScaled;
};
