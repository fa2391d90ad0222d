#include "VerbCalibrate.h"

#include "core/DataSeries.h"
#include "core/NumberText.h"
#include "rvtable/RvTable.h"
#include "session/Session.h"

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
    Session oSession("");
    for (int32_t i = 0; i < oPoints.GetArraySize(); ++i) {
        oSession.Calibration().AddCalibrationPoint(oPoints.GetX(i), oPoints.GetY(i));
    }
    if (oSession.Calibration().Wavelengths().GetCalibrationPointCount() < 2) {
        oErr << "The calibration needs at least two points at different positions.\n";
        return kExitInput;
    }
    std::vector<double> vWavelength;
    std::vector<double> vIntensity;
    if (!ReadSpectrumFile(vFiles[0], oSettings, vWavelength, vIntensity, oErr)) {
        return kExitInput;
    }
    auto pSpectrum = std::make_unique<Spectrum>();
    pSpectrum->TakeValues(std::move(vWavelength), std::move(vIntensity));
    oSession.Spectra().AddSpectrum(std::move(pSpectrum), vFiles[0]);
    oSession.Calibration().BeginCalibration();
    const SessionResult<CalibrationFit> oTried = oSession.Calibration().TryCalibration({!bSampling, lOrder.value_or(2)});
    if (!oTried) {
        // The first sentence of the window's message.
        const std::string& sText = oTried.Error().sText;
        const std::string sFirst = sText.substr(0, sText.find('\n'));
        oErr << sFirst << (sFirst.ends_with('.') ? "" : ".") << "\n";
        return kExitInput;
    }
    const CalibrationFit& oFit = *oTried;
    if (oFit.bOrderReduced) {
        oErr << "Too few calibration points for this order: the polynomial order has been reduced.\n";
    }
    double fMeanSquare = 0.0;
    double fMaxAbs = 0.0;
    if (oSession.Calibration().Wavelengths().GetResiduals(fMeanSquare, fMaxAbs)) {
        oOut << "# residuals: mean square " << FormatFixedWidth(fMeanSquare, 10, 5) << ", largest "
             << FormatFixedWidth(fMaxAbs, 10, 5) << "\n";
    } else {
        oOut << "# residuals: none (sampling points)\n";
    }
    const std::vector<double>& vCalibrated = oSession.Spectra().CurrentSpectrum()->GetWavelengths();
    const std::vector<double>& vValues = oSession.Spectra().CurrentSpectrum()->GetIntensities();
    std::string sLine;
    for (std::size_t i = 0; i < vCalibrated.size(); ++i) {
        sLine = FormatFixed(vCalibrated[i], 6) + ";" + FormatFixed(vValues[i], 6) + "\n";
        oOut << sLine;
    }
    oSession.Calibration().EndCalibration(CalibrationMode{!bSampling, lOrder.value_or(2)});
    return kExitOk;
}

} // namespace quandrel::cli
