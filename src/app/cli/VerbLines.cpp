#include "VerbLines.h"

#include "astro/Doppler.h"
#include "spectrum/Spectrum.h"
#include "lines/SliderScale.h"
#include "session/Session.h"

#include <cmath>
#include <ostream>

namespace quandrel::cli {

std::string LinesHelp()
{
    return std::string("usage: quandrel-cli lines FILE [import options] [--width-index I] [--width-max M]\n"
                       "                          [--sensitivity-index J] [--window N] [--min-depth D]\n"
                       "                          [--min-sigma K] [--emission]\n"
                       "                          [--lab LINESFILE [--identify V]]\n"
                       "Finds and fits the spectral lines of a spectrum as \"Find spectral lines\" does and prints\n"
                       "center<TAB>sigma<TAB>amplitude<TAB>offset per line; with --lab also the nearest laboratory\n"
                       "line's name<TAB>lab_wavelength<TAB>velocity (Doppler velocity in km/s, not corrected).\n"
                       "Last come center_err (the centre's standard error from the fit, in the spectrum's unit)\n"
                       "and with --lab velocity_err (km/s); empty when the fit cannot tell them.\n"
                       "With --identify V the laboratory fields are filled only for the lines \"Identify all\" identifies:\n"
                       "within V km/s of their nearest laboratory line, which goes to the nearest line only.\n"
                       "  --width-index I        width slider index, 0 .. M (0): windows of 2 I + 4 samples\n"
                       "  --width-max M          width slider maximum (20)\n"
                       "  --sensitivity-index J  sensitivity slider index, 0 .. 20 (0)\n"
                       "  --window N             windows of N samples (instead of --width-index)\n"
                       "  --min-depth D          how far a line reaches beyond its window, above 0: intensity for\n"
                       "                         absorption, share of the range for emission (instead of\n"
                       "                         --sensitivity-index, whose index 0 is 0.0014)\n"
                       "  --min-sigma K          leave out lines shallower than K times the noise (3; 0: keep all)\n"
                       "  --emission             search emission lines (maxima)\n"
                       "  --lab LINESFILE        laboratory lines file (name;wavelength per line)\n") +
           ImportOptionsHelp();
}

int RunLines(Arguments& oArguments, std::ostream& oOut, std::ostream& oErr)
{
    const ImportSettings oSettings = TakeImportOptions(oArguments);
    const int lWidthIndex = oArguments.TakeInt("--width-index").value_or(0);
    const int lWidthMax = oArguments.TakeInt("--width-max").value_or(20);
    const int lSensitivityIndex = oArguments.TakeInt("--sensitivity-index").value_or(0);
    const auto lWindow = oArguments.TakeInt("--window");
    const auto fMinDepth = oArguments.TakeDouble("--min-depth");
    const double fMinSigma = oArguments.TakeDouble("--min-sigma").value_or(3.0);
    const bool bEmission = oArguments.TakeFlag("--emission");
    const auto sLabFile = oArguments.TakeValue("--lab");
    const auto fIdentify = oArguments.TakeDouble("--identify");
    const auto vFiles = oArguments.Positionals();
    if (vFiles.size() != 1) {
        throw UsageError("lines needs exactly one spectrum file.");
    }
    if (lWidthMax < 1 || lWidthIndex < 0 || lWidthIndex > lWidthMax) {
        throw UsageError("--width-index must lie between 0 and --width-max, which must be 1 or more.");
    }
    if (fIdentify && (!sLabFile || !(*fIdentify > 0.0) || !std::isfinite(*fIdentify))) {
        throw UsageError("--identify needs --lab and a window of more than 0 km/s.");
    }
    if (!(fMinSigma >= 0.0) || !std::isfinite(fMinSigma)) {
        throw UsageError("--min-sigma must be a number of 0 or more.");
    }
    if (lSensitivityIndex < 0 || lSensitivityIndex > SliderScale::kSensitivityMax) {
        throw UsageError("--sensitivity-index must lie between 0 and 20.");
    }
    auto oSearch = SliderScale::SearchOf(lWidthMax, lWidthIndex, lSensitivityIndex);
    if (!oSearch) {
        throw UsageError("Invalid range for sensitivity or width slider!");
    }
    if (lWindow) {
        if (*lWindow < 1) {
            throw UsageError("--window must be a number of samples of 1 or more.");
        }
        oSearch->lWindow = *lWindow;
    }
    if (fMinDepth) {
        if (!(*fMinDepth > 0.0 && std::isfinite(*fMinDepth))) {
            throw UsageError("--min-depth must be a number above 0.");
        }
        oSearch->fMinDepth = *fMinDepth;
    }
    Session oSession("");
    if (sLabFile && oSession.Lines().LoadLaboratoryLines(*sLabFile)) {
        oErr << "Unable to load laboratory wavelengths from " << *sLabFile << ".\n";
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
    oSession.Spectra().SetSpectrumKind(false, bEmission);
    if (const Outcome oRefused = oSession.Lines().FindSpectralLines(*oSearch, fMinSigma)) {
        // "The spectrum cannot be searched: why", said of the file.
        const std::string& sText = oRefused->sText;
        const std::size_t lColon = sText.find(": ");
        oErr << "The spectrum " << vFiles[0] << " cannot be searched"
             << (lColon == std::string::npos ? ": " + sText : sText.substr(lColon)) << "\n";
        return kExitInput;
    }
    if (fIdentify) {
        oSession.Lines().IdentifyAllLines(*fIdentify);
    }

    oOut << "# center\tsigma\tamplitude\toffset" << (sLabFile ? "\tname\tlab_wavelength\tvelocity" : "") << "\tcenter_err"
         << (sLabFile ? "\tvelocity_err" : "") << "\n";
    for (const LineTableRow& oRow : oSession.Lines().LineTable()) {
        std::string sRecord = FormatResult(oRow.fCenter) + "\t" + FormatResult(oRow.fSigma) + "\t" +
                              FormatResult(oRow.fDepth) + "\t" + FormatResult(oRow.fOffset);
        std::optional<ReferenceLine> oLab;
        if (fIdentify) {
            if (oRow.oDoppler) {
                oLab = ReferenceLine{0, oRow.fLaboratory, oRow.sName};
            }
        } else if (sLabFile) {
            oSession.Lines().ActivateLine(oRow.lLine);
            oLab = oSession.Lines().NearestLaboratoryLine();
        }
        if (oLab) {
            sRecord += "\t" + oLab->sName + "\t" + FormatResult(oLab->fWavelength) + "\t" +
                       FormatResult(DopplerVelocity(oLab->fWavelength, oRow.fCenter));
        } else if (fIdentify) {
            sRecord += "\t\t\t";
        }
        const bool bError = oRow.fCenterError > 0.0;
        sRecord += "\t" + (bError ? FormatResult(oRow.fCenterError) : std::string());
        if (sLabFile) {
            sRecord += "\t" + (bError && oLab ? FormatResult(DopplerVelocityError(oLab->fWavelength, oRow.fCenterError))
                                             : std::string());
        }
        oOut << sRecord << "\n";
    }
    return kExitOk;
}

} // namespace quandrel::cli
