#include "PeriodogramPlot.h"

#include <algorithm>

void PeriodogramPlot::SetPeriodogram(const PeriodogramResult& o)
{
    m_vFrequency = o.vFrequency;
    m_vPower = o.vPower;
    m_fBestFrequency = o.fBestFrequency;
    m_fBestPower = o.fBestPower;
    m_fFalseAlarm = o.fFalseAlarm1Percent;
    SetXAxisLabel("Frequency [1/d]");
    SetYAxisLabel("Power");
}

void PeriodogramPlot::SetPdmScan(const std::vector<std::pair<double, double>>& vScan)
{
    m_vPdmFrequency.clear();
    m_vPdmScaled.clear();
    if (vScan.empty()) {
        return;
    }
    double fMax = 0.0;
    for (const auto& [fPeriod, fTheta] : vScan) {
        fMax = std::max(fMax, fTheta);
    }
    // Ascending frequencies: the scan runs up in period.
    for (auto it = vScan.rbegin(); it != vScan.rend(); ++it) {
        if (it->first > 0 && fMax > 0) {
            m_vPdmFrequency.push_back(1.0 / it->first);
            m_vPdmScaled.push_back(it->second / fMax);
        }
    }
}

void PeriodogramPlot::Draw(int32_t lImageHeight, int32_t lImageWidth)
{
    if (m_vFrequency.size() < 2 || GetImage() == nullptr) {
        return;
    }
    SetImageSize(lImageWidth, lImageHeight);
    SetData(static_cast<int32_t>(m_vFrequency.size()), m_vFrequency.data(), m_vPower.data());
    SetDrawStyle(0);
    SetKeepYAxisFixed(false);
    ComputeRange();
    // Power runs from 0 to 1, and so do the scaled dispersions.
    m_fYMin = 0.0;
    m_fYMax = 1.0;
    DrawAxes(m_sXAxisLabel, m_sYAxisLabel, m_fYMax, m_fYMin, m_fXMax, m_fXMin);
    if (!m_vPdmFrequency.empty()) {
        DrawSeries(m_vPdmFrequency.data(), m_vPdmScaled.data(), 8, static_cast<int32_t>(m_vPdmFrequency.size()));
    }
    DrawData();
    const double afLevelX[2] = {m_vFrequency.front(), m_vFrequency.back()};
    const double afLevelY[2] = {m_fFalseAlarm, m_fFalseAlarm};
    DrawSeries(afLevelX, afLevelY, 2, 2);
    const double afPeakX[2] = {m_fBestFrequency, m_fBestFrequency};
    const double afPeakY[2] = {0.0, m_fBestPower};
    DrawSeries(afPeakX, afPeakY, 3, 2);
}
