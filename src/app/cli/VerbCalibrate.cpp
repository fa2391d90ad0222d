#include "VerbCalibrate.h"

#include "calibration/WavelengthCalibration.h"
#include "core/DataSeries.h"
#include "core/NumberText.h"
#include "rvtable/RvTable.h"

#include <ostream>

namespace quandrel::cli {

std::string CalibrateHelp()
{
    return std::string("usage: quandrel-cli calibrate SPECTRUM --points FILE [--polynomial ORDER | --sampling]\n"
                       "                              [import options]\n"
                       "Maps the spectrum's wavelengths through the calibration points of FILE (measured;lambda per\n"
                       "line; points closer than 5 are averaged) by a polynomial of ORDER 1 .. 4 (2) or by straight\n"
                       "lines between the points, and prints the calibrated spectrum as wavelength;intensity lines\n"
                       "(%f), after a comment with the residuals of the points.\n") +
           ImportOptionsHelp();
}

int RunCalibrate(Arguments& oArguments, std::ostream& oOut, std::ostream& oErr)
{
    const ImportSettings oSettings = TakeImportOptions(oArguments);
    const auto sPoints = oArguments.TakeValue("--points");
    const auto lOrder = oArguments.TakeInt("--polynomial");
    const bool bSampling = oArguments.TakeFlag("--sampling");
    const auto vFiles = oArguments.Positionals();
    if (vFiles.size() != 1 || !sPoints) {
        throw UsageError("calibrate needs one spectrum file and --points FILE.");
    }
    if (bSampling && lOrder) {
        throw UsageError("Choose either --polynomial or --sampling.");
    }
    if (lOrder && (*lOrder < 1 || *lOrder > 4)) {
        throw UsageError("The polynomial order must lie between 1 and 4.");
    }
    DataSeries oPoints;
    if (!RvTable::ImportMeasurements(*sPoints, oPoints)) {
        oErr << "Unable to read the calibration points " << *sPoints << ".\n";
        return kExitInput;
    }
    WavelengthCalibration oCalibration;
    for (int32_t i = 0; i < oPoints.GetArraySize(); ++i) {
        oCalibration.AddCalibrationPoint(oPoints.GetX(i), oPoints.GetY(i));
    }
    if (oCalibration.GetCalibrationPointCount() < 2) {
        oErr << "The calibration needs at least two points at different positions.\n";
        return kExitInput;
    }
    std::vector<double> vWavelength;
    std::vector<double> vIntensity;
    if (!ReadSpectrumFile(vFiles[0], oSettings, vWavelength, vIntensity, oErr)) {
        return kExitInput;
    }
    oCalibration.SetCalibrationMode(bSampling ? WavelengthCalibration::kSamplingPoints : static_cast<char>(lOrder.value_or(2) - 1));
    bool bReduced = false;
    try {
        oCalibration.FitCalibration(bReduced);
    } catch (const math::DenseMatrixError&) {
        oErr << "The calibration points cannot be fitted by this polynomial.\n";
        return kExitInput;
    }
    if (bReduced) {
        oErr << "Too few calibration points for this order: the polynomial order has been reduced.\n";
    }
    oCalibration.Calibrate(static_cast<int32_t>(vWavelength.size()), vWavelength.data());
    if (!oCalibration.IsFinite(vWavelength)) {
        oErr << kCalibrationNotFinite << "\n";
        return kExitInput;
    }
    double fMeanSquare = 0.0;
    double fMaxAbs = 0.0;
    if (oCalibration.GetResiduals(fMeanSquare, fMaxAbs)) {
        oOut << "# residuals: mean square " << FormatFixedWidth(fMeanSquare, 10, 5) << ", largest "
             << FormatFixedWidth(fMaxAbs, 10, 5) << "\n";
    } else {
        oOut << "# residuals: none (sampling points)\n";
    }
    std::string sLine;
    for (std::size_t i = 0; i < vWavelength.size(); ++i) {
        sLine = FormatFixed(vWavelength[i], 6) + ";" + FormatFixed(vIntensity[i], 6) + "\n";
        oOut << sLine;
    }
    return kExitOk;
}

} // namespace quandrel::cli
