#include "VerbCc.h"

#include "core/NumberText.h"
#include "spectrum/Spectrum.h"
#include "crosscorr/CrossCorrelation.h"

#include <cmath>
#include <ostream>

namespace quandrel::cli {

std::string CcHelp()
{
    return std::string("usage: quandrel-cli cc SPECTRUM TEMPLATE --from A --to B [--points F] [--span M]\n"
                       "                       [--accuracy V] [--template-velocity T] [--function] [import options]\n"
                       "Cross-correlates the spectrum with the template over the window A .. B (angstrom) with F\n"
                       "supporting points per pixel (2), a span of M points each side (30) and a velocity step of\n"
                       "V km/s (0.01), and prints the velocity of the correlation peak in km/s (%.6f), positive when\n"
                       "the spectrum lies at longer wavelengths; with --function also velocity<TAB>coefficient lines.\n"
                       "--template-velocity T adds the template's own radial velocity T km/s (0) to the peak and the\n"
                       "function's velocities, so they are absolute velocities.\n"
                       "Both files are read with the same import options.\n") +
           ImportOptionsHelp();
}

int RunCc(Arguments& oArguments, std::ostream& oOut, std::ostream& oErr)
{
    const ImportSettings oSettings = TakeImportOptions(oArguments);
    const auto fFrom = oArguments.TakeDouble("--from");
    const auto fTo = oArguments.TakeDouble("--to");
    const int lPoints = oArguments.TakeInt("--points").value_or(2);
    const int lSpan = oArguments.TakeInt("--span").value_or(30);
    const double fAccuracy = oArguments.TakeDouble("--accuracy").value_or(0.01);
    const double fTemplateVelocity = oArguments.TakeDouble("--template-velocity").value_or(0.0);
    const bool bFunction = oArguments.TakeFlag("--function");
    const auto vFiles = oArguments.Positionals();
    if (vFiles.size() != 2 || !fFrom || !fTo) {
        throw UsageError("cc needs a spectrum file, a template file, --from and --to.");
    }
    if (!std::isfinite(fTemplateVelocity)) {
        throw UsageError("--template-velocity must be a number (km/s).");
    }
    Spectrum aoSpectra[2] = {Spectrum(nullptr), Spectrum(nullptr)};
    for (int i = 0; i < 2; ++i) {
        std::vector<double> vWavelength;
        std::vector<double> vIntensity;
        if (!ReadSpectrumFile(vFiles[static_cast<std::size_t>(i)], oSettings, vWavelength, vIntensity, oErr)) {
            return kExitInput;
        }
        aoSpectra[i].SetValues(static_cast<int32_t>(vWavelength.size()), vWavelength.data(), vIntensity.data());
    }
    CrossCorrelation oCorrelation;
    oCorrelation.SetSpectrum(&aoSpectra[0]);
    oCorrelation.SetTemplate(&aoSpectra[1]);
    oCorrelation.SetParameters(*fFrom, *fTo, lPoints, lSpan, fAccuracy);
    if (!oCorrelation.Calculate()) {
        oErr << oCorrelation.GetLastError() << "\n";
        return kExitInput;
    }
    if (const std::string sEdge = oCorrelation.PeakAtEdgeMessage(); !sEdge.empty()) {
        oErr << sEdge << "\n";
        return kExitInput;
    }
    oOut << FormatFixed(oCorrelation.GetPeakVelocity() + fTemplateVelocity, 6) << "\n";
    if (bFunction) {
        const DataSeries& oFunction = oCorrelation.GetCorrelationFunction();
        for (int32_t i = 0; i < oFunction.GetArraySize(); ++i) {
            oOut << FormatResult(oFunction.GetX(i) + fTemplateVelocity) << "\t" << FormatResult(oFunction.GetY(i)) << "\n";
        }
    }
    return kExitOk;
}

} // namespace quandrel::cli
