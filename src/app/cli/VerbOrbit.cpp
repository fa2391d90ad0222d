#include "VerbOrbit.h"

#include "core/MeasuredDataArrayClass.h"
#include "core/NumberText.h"
#include "orbit/OrbitalElementsClass.h"
#include "orbit/PDMClass.h"
#include "rvtable/MatrixClass.h"

#include <cmath>
#include <ostream>

namespace quandrel::cli {

namespace {

// The option names of the six searched elements, in parameter order.
const char* const kElementNames[6] = {"p", "t0", "e", "omega", "a1sini", "gamma"};

bool ReadSeries(const std::string& sFile, CMeasuredDataArray& oSeries, std::ostream& oErr)
{
    if (!CMatrix::ImportMeasurements(sFile, oSeries)) {
        oErr << "Unable to import RV file " << sFile << ".\n";
        return false;
    }
    return true;
}

double Number(const std::string& sText, const std::string& sOption)
{
    double fValue = 0.0;
    if (!ParseWholeDouble(sText, fValue)) {
        throw CUsageError("Option " + sOption + " needs numbers, not '" + sText + "'.");
    }
    return fValue;
}

} // namespace

std::string OrbitHelp()
{
    return "usage: quandrel-cli orbit RVFILE [--p A B] [--t0 A B] [--e A B] [--omega A B] [--a1sini A B]\n"
           "                          [--gamma A B] [--steps N] [--steps-p N ...] [--fix-p V ...] [--residuals]\n"
           "Fits the orbit of a single-lined binary to the Julian date / velocity pairs of RVFILE (';' or TAB)\n"
           "by the grid search and refinement of \"Calculate elements\" and prints P, T0, e, omega, a1Sini,\n"
           "gamma, K1 and RMS as name=value lines; with --residuals also jd<TAB>measured<TAB>residual.\n"
           "Ranges default to those of the dialog: P 0.5 days to the time span, T0 over the time span,\n"
           "e 0 .. 0.9, omega 0 .. 360 degrees, a1sini 1000 .. 1e10 km, gamma over the velocities;\n"
           "10 steps each. --fix-X V holds element X at V (X: p, t0, e, omega, a1sini, gamma).\n";
}

std::string PdmHelp()
{
    return "usage: quandrel-cli pdm RVFILE [--bins B] [--from P] [--to P]\n"
           "Estimates the period by phase dispersion minimisation over periods from P to P (20 .. 300 days)\n"
           "in steps of 0.01 days with B phase bins (a third of the number of points) and prints T = %8.3f.\n";
}

int RunOrbit(CArguments& oArguments, std::ostream& oOut, std::ostream& oErr)
{
    SOrbitalElements oLower;
    SOrbitalElements oUpper;
    bool abGiven[6] = {};
    double* apLower[6] = {&oLower.fPeriod, &oLower.fT0, &oLower.fEccentricity, &oLower.fOmega, &oLower.fA1SinI,
                          &oLower.fGamma};
    double* apUpper[6] = {&oUpper.fPeriod, &oUpper.fT0, &oUpper.fEccentricity, &oUpper.fOmega, &oUpper.fA1SinI,
                          &oUpper.fGamma};
    int32_t alSteps[6] = {10, 10, 10, 10, 10, 10};
    bool abUse[6] = {true, true, true, true, true, true};
    if (const auto lSteps = oArguments.TakeInt("--steps")) {
        std::fill(std::begin(alSteps), std::end(alSteps), *lSteps);
    }
    for (int i = 0; i < 6; ++i) {
        const std::string sName = kElementNames[i];
        if (const auto vRange = oArguments.TakeValues("--" + sName, 2)) {
            *apLower[i] = Number((*vRange)[0], "--" + sName);
            *apUpper[i] = Number((*vRange)[1], "--" + sName);
            abGiven[i] = true;
        }
        if (const auto lSteps = oArguments.TakeInt("--steps-" + sName)) {
            alSteps[i] = *lSteps;
        }
        if (const auto fFixed = oArguments.TakeDouble("--fix-" + sName)) {
            *apLower[i] = *fFixed;
            *apUpper[i] = *fFixed;
            abGiven[i] = true;
            abUse[i] = false;
        }
    }
    const bool bResiduals = oArguments.TakeFlag("--residuals");
    const auto vFiles = oArguments.Positionals();
    if (vFiles.size() != 1) {
        throw CUsageError("orbit needs exactly one RV file.");
    }
    CMeasuredDataArray oSeries;
    if (!ReadSeries(vFiles[0], oSeries, oErr)) {
        return kExitInput;
    }
    if (oSeries.GetArraySize() < 2) {
        oErr << "The orbit needs at least two measurements; " << vFiles[0] << " holds "
             << oSeries.GetArraySize() << ".\n";
        return kExitInput;
    }
    COrbitalElements oOrbit;
    oOrbit.SetDataArray(oSeries);
    SOrbitalElements oDefaultLower = oLower;
    SOrbitalElements oDefaultUpper = oUpper;
    oOrbit.GetDefaultRanges(oDefaultLower, oDefaultUpper);
    oOrbit.GetDataRanges(oDefaultLower, oDefaultUpper, true);
    const double* apDefaultLower[6] = {&oDefaultLower.fPeriod, &oDefaultLower.fT0, &oDefaultLower.fEccentricity,
                                       &oDefaultLower.fOmega, &oDefaultLower.fA1SinI, &oDefaultLower.fGamma};
    const double* apDefaultUpper[6] = {&oDefaultUpper.fPeriod, &oDefaultUpper.fT0, &oDefaultUpper.fEccentricity,
                                       &oDefaultUpper.fOmega, &oDefaultUpper.fA1SinI, &oDefaultUpper.fGamma};
    for (int i = 0; i < 6; ++i) {
        if (!abGiven[i]) {
            *apLower[i] = *apDefaultLower[i];
            *apUpper[i] = *apDefaultUpper[i];
        }
    }
    if (!oOrbit.ConfigureSearch(oLower, oUpper, alSteps, abUse)) {
        throw CUsageError("Invalid data for orbital element intervals (string not a number/out of range).");
    }
    oOrbit.Optimize();
    oOrbit.RefineOptimum();
    SOrbitalElements oBest;
    oOrbit.GetBestElements(oBest);
    const std::pair<const char*, double> aoLines[] = {
        {"P", oBest.fPeriod}, {"T0", oBest.fT0},         {"e", oBest.fEccentricity}, {"omega", oBest.fOmega},
        {"a1Sini", oBest.fA1SinI}, {"gamma", oBest.fGamma}, {"K1", oBest.fK1},         {"RMS", oBest.fRMS}};
    for (const auto& [pcName, fValue] : aoLines) {
        oOut << pcName << "=" << FormatFixed(fValue, 6) << "\n";
    }
    if (bResiduals) {
        std::vector<double> vJd;
        std::vector<double> vResidual;
        oOrbit.GetVelocityResiduals(vJd, vResidual);
        for (std::size_t k = 0; k < vJd.size(); ++k) {
            oOut << FormatFixed(vJd[k], 6) << "\t" << FormatResult(oSeries.GetY(static_cast<int32_t>(k))) << "\t"
                 << FormatResult(vResidual[k]) << "\n";
        }
    }
    return kExitOk;
}

int RunPdm(CArguments& oArguments, std::ostream& oOut, std::ostream& oErr)
{
    const auto lBins = oArguments.TakeInt("--bins");
    const double fFrom = oArguments.TakeDouble("--from").value_or(20.0);
    const double fTo = oArguments.TakeDouble("--to").value_or(300.0);
    const auto vFiles = oArguments.Positionals();
    if (vFiles.size() != 1) {
        throw CUsageError("pdm needs exactly one RV file.");
    }
    if (fFrom <= 0 || fTo <= 0) {
        throw CUsageError("The periods must be greater than 0.");
    }
    if ((fTo - fFrom) / CPDM::kPeriodStep > 1e8) {
        throw CUsageError("The period range holds more than 100 million trial periods.");
    }
    CMeasuredDataArray oSeries;
    if (!ReadSeries(vFiles[0], oSeries, oErr)) {
        return kExitInput;
    }
    if (oSeries.GetArraySize() <= 9) {
        oErr << "The period search needs at least 10 measurements; " << vFiles[0] << " holds "
             << oSeries.GetArraySize() << ".\n";
        return kExitInput;
    }
    const int32_t lNumberBins = lBins.value_or(oSeries.GetArraySize() / 3);
    if (lNumberBins < 1) {
        throw CUsageError("The number of bins must be 1 or more.");
    }
    CPDM oPdm;
    oPdm.SetDataArray(oSeries);
    oPdm.SetPeriodRange((fFrom + fTo) * 0.5, fFrom, fTo);
    oPdm.SetNumberBins(lNumberBins);
    oPdm.SetNumberParameters(1);
    oPdm.ScanPeriods();
    oOut << "T = " << FormatFixedWidth(oPdm.GetBestPeriod(), 8, 3) << "\n";
    return kExitOk;
}

} // namespace quandrel::cli
