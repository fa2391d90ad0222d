#include "VerbCc.h"

#include "core/NumberText.h"
#include "spectrum/Spectrum.h"
#include "session/Session.h"

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
                       "the spectrum lies at longer wavelengths, and after a TAB its standard error (Zucker 2003, from\n"
                       "the peak's height and curvature and the window's samples; empty for a peak that is none);\n"
                       "with --function also velocity<TAB>coefficient lines.\n"
                       "--template-velocity T adds the template's own radial velocity T km/s (0) to the peak and the\n"
                       "function's velocities, so they are absolute velocities.\n"
                       "Given the observation's time and place (as for correction: --jd, --ra, --dec, --lon positive\n"
                       "west, --lat), the velocity corrected for the observer's motion follows on the first line\n"
                       "(TAB): the velocity the program enters in the table of radial velocities.\n"
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
    const auto oObservation = TakeObservation(oArguments, "cc", false);
    const auto vFiles = oArguments.Positionals();
    if (vFiles.size() != 2 || !fFrom || !fTo) {
        throw UsageError("cc needs a spectrum file, a template file, --from and --to.");
    }
    if (!std::isfinite(fTemplateVelocity)) {
        throw UsageError("--template-velocity must be a number (km/s).");
    }
    if (oObservation) {
        CheckObservation(*oObservation, "cc");
    }
    std::unique_ptr<Spectrum> apSpectra[2];
    for (int i = 0; i < 2; ++i) {
        std::vector<double> vWavelength;
        std::vector<double> vIntensity;
        if (!ReadSpectrumFile(vFiles[static_cast<std::size_t>(i)], oSettings, vWavelength, vIntensity, oErr)) {
            return kExitInput;
        }
        apSpectra[i] = std::make_unique<Spectrum>();
        apSpectra[i]->TakeValues(std::move(vWavelength), std::move(vIntensity));
    }
    Session oSession("");
    oSession.Spectra().AddSpectrum(std::move(apSpectra[0]), vFiles[0]);
    oSession.Correlation().SetTemplate(std::move(apSpectra[1]));
    oSession.Correlation().SetCorrelationParameters({*fFrom, *fTo, lPoints, lSpan, fAccuracy}, TemplateCorrection{true, 0.0, {}, 0.0});
    oSession.Correlation().SetTemplateVelocity(fTemplateVelocity);
    if (oObservation) {
        oSession.Spectra().SetObservationTime(oObservation->fJulianDate);
        oSession.Project().SetObjectCoordinates(oObservation->oObject);
        oSession.Project().SetObserverSite(oObservation->oSite);
    }
    CorrelationJob oJob;
    Outcome oRefused = oSession.Correlation().PrepareCrossCorrelation(oJob, oObservation.has_value());
    if (!oRefused) {
        oJob.Run(nullptr);
        oRefused = oSession.Correlation().FinishCrossCorrelation(std::move(oJob));
    }
    if (oRefused) {
        oErr << oRefused->sText << "\n";
        return kExitInput;
    }
    const CorrelationResult& oResult = *oSession.Correlation().LastCorrelation();
    oOut << FormatFixed(oResult.fVelocity, 6) << "\t"
         << (oResult.oVelocityError ? FormatFixed(*oResult.oVelocityError, 6) : std::string());
    if (oResult.oCorrected) {
        oOut << "\t" << FormatFixed(*oResult.oCorrected, 6);
    }
    oOut << "\n";
    if (bFunction) {
        const DataSeries& oFunction = oSession.Correlation().Calculation().GetCorrelationFunction();
        for (int32_t i = 0; i < oFunction.GetArraySize(); ++i) {
            oOut << FormatResult(oFunction.GetX(i) + oSession.Correlation().TemplateVelocity()) << "\t"
                 << FormatResult(oFunction.GetY(i)) << "\n";
        }
    }
    return kExitOk;
}

} // namespace quandrel::cli
