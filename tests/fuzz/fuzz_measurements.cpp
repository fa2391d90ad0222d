// Measurement files (Julian date; velocity [; uncertainty]), as the orbit, the period search and the
// calibration points read them: finite numbers, sorted by time, uncertainties for all or none.
#include "FuzzSupport.h"
#include "core/DataSeries.h"
#include "rvtable/RvTable.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t lSize)
{
    using namespace quandrel::fuzz;
    const std::string sPath = WriteInput("rv.txt", std::string_view(reinterpret_cast<const char*>(pData), lSize));
    DataSeries oCurve;
    std::vector<double> vSigma;
    if (!RvTable::ImportMeasurements(sPath, oCurve, &vSigma)) {
        return 0;
    }
    Require(vSigma.empty() || vSigma.size() == static_cast<std::size_t>(oCurve.GetArraySize()),
            "an uncertainty for every measurement or none");
    for (int32_t k = 0; k < oCurve.GetArraySize(); ++k) {
        Require(IsFinite(oCurve.GetX(k)) && IsFinite(oCurve.GetY(k)), "every measurement is finite");
        Require(k == 0 || oCurve.GetX(k - 1) <= oCurve.GetX(k), "measurements are sorted by time");
    }
    for (const double f : vSigma) {
        Require(IsFinite(f), "every uncertainty is finite");
    }
    return 0;
}
