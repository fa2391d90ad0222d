#include "RvCurvePlot.h"

#include "OrbitGridSearch.h"

#include <algorithm>
#include <cmath>
#include <numeric>

RvCurvePlot::RvCurvePlot(Canvas* pImage, const OrbitGridSearch* pElements, const DataSeries& oData,
                   bool bPhasePlot)
    : Graph(pImage), m_pElements(pElements), m_oData(oData), m_bPhasePlot(bPhasePlot)
{
    SetXAxisLabel(bPhasePlot ? "Phase" : "Julian date [d]");
    SetYAxisLabel("Radial velocity [km/s]");
}

void RvCurvePlot::Draw(int32_t lImageHeight, int32_t lImageWidth)
{
    const int32_t N = m_oData.GetArraySize();
    if (N < 2 || m_pImage == nullptr) {
        return;
    }
    SetImageSize(lImageWidth, lImageHeight);
    std::vector<double> vX = m_oData.GetXValues();
    std::vector<double> vY = m_oData.GetYValues();
    const bool bFitted = m_pElements != nullptr && m_pElements->IsOptimized() &&
                         m_pElements->GetNumberParameters() == OrbitGridSearch::NUMBER_ORBITALS_ELEMENTS_ONE_COMPONENT;
    // The curve of the fitted elements (the least-squares orbit once there is one); phase 0 is T0, the
    // passage through periastron.
    const OrbitElements oFitted = bFitted ? m_pElements->FittedElements() : OrbitElements();
    const double P = oFitted.fPeriod;
    m_bShowsPhase = m_bPhasePlot && bFitted;
    if (m_bShowsPhase) {
        for (double& x : vX) {
            const double d = x - oFitted.fT0;
            x = (d - std::floor(d / P) * P) / P;
        }
    }
    // Sorted by x, y moving with it.
    std::vector<std::size_t> vOrder(vX.size());
    std::iota(vOrder.begin(), vOrder.end(), 0U);
    std::stable_sort(vOrder.begin(), vOrder.end(), [&](std::size_t a, std::size_t b) { return vX[a] < vX[b]; });
    std::vector<double> vSortedX(vX.size());
    std::vector<double> vSortedY(vY.size());
    for (std::size_t i = 0; i < vOrder.size(); ++i) {
        vSortedX[i] = vX[vOrder[i]];
        vSortedY[i] = vY[vOrder[i]];
    }
    m_plottedX = vSortedX;
    m_plottedY = vSortedY;
    m_lNumberValues = N;
    Init(N, kDefaultZoomFactor);

    SetDrawStyle(1);
    ComputeRange();
    DrawAxes(m_sXAxisLabel, m_sYAxisLabel, m_fYMax, m_fYMin, m_fXMax, m_fXMin);
    DrawData();
    if (!bFitted) {
        return;
    }
    constexpr int kSamples = 1000;
    const double fMin = vSortedX.front();
    const double fMax = vSortedX.back();
    std::vector<double> vCurveX(kSamples);
    std::vector<double> vCurveY(kSamples);
    for (int k = 0; k < kSamples; ++k) {
        const double x = fMin + k * (fMax - fMin) * (1.0 / 999.0);
        vCurveX[static_cast<std::size_t>(k)] = x;
        const double t = m_bShowsPhase ? oFitted.fT0 + x * P : x;
        vCurveY[static_cast<std::size_t>(k)] = OrbitGridSearch::ModelVelocity(t, oFitted);
    }
    SetDrawStyle(0);
    DrawSeries(vCurveX.data(), vCurveY.data(), 3, kSamples);
}
