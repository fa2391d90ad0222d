// The period search page: the Lomb-Scargle power (black) against frequency with its strongest peak
// marked (blue) and the 1 % false-alarm level (red), and the PDM dispersion of the last period search
// (grey, scaled to its largest value, low where the velocities fold well) over the same frequencies.
#pragma once

#include "Periodogram.h"
#include "plot/Graph.h"

#include <utility>
#include <vector>

class PeriodogramPlot : public Graph {
public:
    explicit PeriodogramPlot(Canvas* pCanvas) : Graph(pCanvas) {}

    void SetPeriodogram(const PeriodogramResult& oPeriodogram);
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
