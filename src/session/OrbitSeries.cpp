// The series the orbit and the period searches take: the table's rows (weighted by their lines'
// errors, pooled by their data sets) or files of measurements, in the time scale chosen, and the series
// and residuals less each data set's fitted offset.
#include "Session.h"

#include "core/Utils.h"

#include <algorithm>
#include <filesystem>

namespace {

// The data sets of the points, in the order they first appear (a point without one in "unnamed");
// none named when there are fewer than two.
OrbitDataSets GroupDataSets(const std::vector<std::string>& vDataSet)
{
    OrbitDataSets o;
    for (const std::string& sGiven : vDataSet) {
        const std::string sName = sGiven.empty() ? "unnamed" : sGiven;
        const auto it = std::find(o.vName.begin(), o.vName.end(), sName);
        o.vIndex.push_back(static_cast<int32_t>(it - o.vName.begin()));
        if (it == o.vName.end()) {
            o.vName.push_back(sName);
        }
    }
    return o.vName.size() < 2 ? OrbitDataSets() : o;
}

} // namespace

Outcome OrbitSession::ImportMeasurements(const std::string& sPath)
{
    return ImportMeasurementFiles({sPath});
}

Outcome OrbitSession::ImportMeasurementFiles(const std::vector<std::string>& vPaths)
{
    if (vPaths.empty()) {
        return Message{"Error!", "No file of measurements was given."};
    }
    struct Point {
        double fJd;
        double fVelocity;
        double fSigma;
        std::string sDataSet;
    };
    std::vector<Point> vPoints;
    std::size_t lWithSigma = 0;
    for (const std::string& sPath : vPaths) {
        DataSeries oFile;
        std::vector<double> vFileSigma;
        std::vector<std::string> vFileSets;
        std::string sProblem;
        if (!RvTable::ImportMeasurements(sPath, oFile, &vFileSigma, &sProblem, &vFileSets)) {
            // One file is named by the one who chose it; of several, the one at fault.
            const std::string sWhich = vPaths.size() > 1 ? " " + sPath : std::string();
            return Message{"File format error!", sProblem.empty() ? "Unable to import RV file" + sWhich + "!"
                                                                   : "Unable to import RV file" + sWhich + "! " + sProblem};
        }
        lWithSigma += vFileSigma.empty() ? 0 : 1;
        for (int32_t i = 0; i < oFile.GetArraySize(); ++i) {
            const auto u = static_cast<std::size_t>(i);
            vPoints.push_back({oFile.GetX(i), oFile.GetY(i), vFileSigma.empty() ? 0.0 : vFileSigma[u],
                               !vFileSets.empty() ? vFileSets[u] : vPaths.size() > 1 ? std::filesystem::path(sPath).stem().string() : std::string()});
        }
    }
    if (lWithSigma != 0 && lWithSigma != vPaths.size()) {
        return Message{"File format error!", "Some files give the velocities' uncertainties and some do not: give them "
                                             "in every file or in none."};
    }
    if (vPoints.size() < 2) {
        return Message{"File format error!", "The file" + std::string(vPaths.size() > 1 ? "s hold " : " " + ExtractFileName(vPaths[0]) + " holds ") +
                                                  std::to_string(vPoints.size()) +
                                                  " lines of a Julian date and a velocity; at least 2 are needed."};
    }
    std::stable_sort(vPoints.begin(), vPoints.end(), [](const Point& a, const Point& b) { return a.fJd < b.fJd; });
    DataSeries oSeries;
    oSeries.SetSize(static_cast<int32_t>(vPoints.size()));
    std::vector<double> vSigma;
    std::vector<std::string> vDataSet;
    for (std::size_t i = 0; i < vPoints.size(); ++i) {
        oSeries.SetX(static_cast<int32_t>(i), vPoints[i].fJd);
        oSeries.SetY(static_cast<int32_t>(i), vPoints[i].fVelocity);
        if (lWithSigma != 0) {
            vSigma.push_back(vPoints[i].fSigma);
        }
        vDataSet.push_back(vPoints[i].sDataSet);
    }
    OrbitDataSets oSets = GroupDataSets(vDataSet);
    const std::string& sPath = vPaths.front();
    m_rState.oSettings.Write(Setting::ImportRVPath, ExtractDirectory(sPath));
    m_oOrbit.SetDataArray(oSeries);
    m_eSeriesScale = TimeScale::kJulianDateUtc;
    m_bSeriesFromTable = false;
    m_vSigma = std::move(vSigma);
    m_oDataSets = std::move(oSets);
    m_oOrbit.SetNumberParameters(OrbitGridSearch::NUMBER_ORBITALS_ELEMENTS_ONE_COMPONENT);
    m_oOrbit.ResetOptimized();
    m_oLeastSquares.reset();
    m_oPosterior.reset();
    m_rSession.Periods().Forget();
    m_rState.Announce(change::kSeries | change::kElements);
    return std::nullopt;
}

void OrbitSession::TakeSeriesFromTable()
{
    DataSeries oCurve;
    std::vector<double> vSigma;
    std::vector<std::string> vDataSet;
    m_rState.oTable.GetRVCurve(oCurve, &vSigma, &vDataSet);
    // The times in the chosen scale, all or none.
    const TimeScale eScale = ChosenTimeScale();
    DataSeries oConverted = oCurve;
    bool bConverted = eScale != TimeScale::kJulianDateUtc;
    for (int32_t i = 0; i < oCurve.GetArraySize() && bConverted; ++i) {
        const auto oTime = m_rSession.Project().TimeIn(eScale, oCurve.GetX(i));
        bConverted = oTime.has_value();
        oConverted.SetX(i, oTime.value_or(0.0));
    }
    m_eSeriesScale = bConverted ? eScale : TimeScale::kJulianDateUtc;
    m_bSeriesFromTable = true;
    m_oOrbit.SetDataArray(bConverted ? oConverted : oCurve);
    // The rows' errors weigh them when every row has one; their data sets count when there are two or more.
    m_vSigma = std::move(vSigma);
    m_oDataSets = GroupDataSets(vDataSet);
}

std::vector<double> OrbitSession::PointOffsets() const
{
    const auto n = static_cast<std::size_t>(m_oOrbit.GetData().GetArraySize());
    std::vector<double> vOffset(n, 0.0);
    if (!m_oLeastSquares || m_oLeastSquares->vDataSets.empty() || m_oDataSets.vIndex.size() != n) {
        return vOffset;
    }
    for (std::size_t i = 0; i < n; ++i) {
        const auto k = static_cast<std::size_t>(m_oDataSets.vIndex[i]);
        vOffset[i] = k < m_oLeastSquares->vDataSets.size() ? m_oLeastSquares->vDataSets[k].fOffset : 0.0;
    }
    return vOffset;
}

DataSeries OrbitSession::AlignedSeries() const
{
    DataSeries oSeries = m_oOrbit.GetData();
    const std::vector<double> vOffset = PointOffsets();
    for (int32_t i = 0; i < oSeries.GetArraySize(); ++i) {
        oSeries.SetY(i, oSeries.GetY(i) - vOffset[static_cast<std::size_t>(i)]);
    }
    return oSeries;
}

void OrbitSession::AlignedResiduals(std::vector<double>& vJd, std::vector<double>& vResidual) const
{
    m_oOrbit.GetVelocityResiduals(vJd, vResidual);
    const std::vector<double> vOffset = PointOffsets();
    for (std::size_t i = 0; i < vResidual.size() && i < vOffset.size(); ++i) {
        vResidual[i] -= vOffset[i];
    }
}

TimeScale OrbitSession::ChosenTimeScale() const
{
    const int lScale = m_rState.oSettings.ReadInteger(Setting::OrbitTimeScale);
    return lScale == 0 ? TimeScale::kJulianDateUtc : lScale == 1 ? TimeScale::kHjd : TimeScale::kBjdTdb;
}

void OrbitSession::SetTimeScale(TimeScale eScale)
{
    m_rState.oSettings.Write(Setting::OrbitTimeScale, static_cast<int>(eScale));
    if (m_bSeriesFromTable) {
        TakeSeriesFromTable();
        m_rState.Announce(change::kSeries);
    }
}

const std::vector<double>& OrbitSession::Uncertainties() const
{
    return m_vSigma;
}
