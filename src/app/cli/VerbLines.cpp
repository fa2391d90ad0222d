#include "VerbLines.h"

#include "astro/Doppler.h"
#include "spectrum/Spectrum.h"
#include "lines/LaboratoryLines.h"
#include "lines/SliderScale.h"
#include "session/LineMatching.h"

#include <cmath>
#include <ostream>

namespace quandrel::cli {

std::string LinesHelp()
{
    return std::string("usage: quandrel-cli lines FILE [import options] [--width-index I] [--width-max M]\n"
                       "                          [--sensitivity-index J] [--min-sigma K] [--emission]\n"
                       "                          [--lab LINESFILE [--identify V]]\n"
                       "Finds and fits the spectral lines of a spectrum as \"Find spectral lines\" does and prints\n"
                       "center<TAB>sigma<TAB>amplitude<TAB>offset per line; with --lab also the nearest laboratory\n"
                       "line's name<TAB>lab_wavelength<TAB>velocity (Doppler velocity in km/s, not corrected).\n"
                       "With --identify V the laboratory fields are filled only for the lines \"Identify all\" identifies:\n"
                       "within V km/s of their nearest laboratory line, which goes to the nearest line only.\n"
                       "  --width-index I        width slider index, 0 .. M (0): windows of 2 I + 4 samples\n"
                       "  --width-max M          width slider maximum (20)\n"
                       "  --sensitivity-index J  sensitivity slider index, 0 .. 20 (0)\n"
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
    int32_t lWidth = 0;
    double fSensitivity = 0.0;
    if (!SliderScale::GetLineSearchParameters(lWidthMax, lWidthIndex, lSensitivityIndex, lWidth,
                                                      fSensitivity)) {
        throw UsageError("Invalid range for sensitivity or width slider!");
    }
    LaboratoryLines oLab;
    if (sLabFile && !oLab.Load(*sLabFile)) {
        oErr << "Unable to load laboratory wavelengths from " << *sLabFile << ".\n";
        return kExitInput;
    }
    std::vector<double> vWavelength;
    std::vector<double> vIntensity;
    if (!ReadSpectrumFile(vFiles[0], oSettings, vWavelength, vIntensity, oErr)) {
        return kExitInput;
    }
    Spectrum oSpectrum(nullptr);
    oSpectrum.SetValues(static_cast<int32_t>(vWavelength.size()), vWavelength.data(), vIntensity.data());
    oSpectrum.SetEmissionSpectrum(bEmission);
    if (SpectralLine::FitScale(vIntensity, bEmission) == 0.0) {
        oErr << "The spectrum " << vFiles[0] << " cannot be searched: its intensities are all 0 or no numbers.\n";
        return kExitInput;
    }
    oSpectrum.FindSpectralLines(lWidth, fSensitivity, fMinSigma);

    oOut << "# center\tsigma\tamplitude\toffset" << (sLabFile ? "\tname\tlab_wavelength\tvelocity" : "") << "\n";
    const SpectralLineList& oLines = oSpectrum.GetSpectralLines();
    std::vector<double> vCenters;
    for (int32_t i = 0; i < oLines.GetSpectralLineCount(); ++i) {
        vCenters.push_back(oLines.GetLine(i).GetCenter());
    }
    std::vector<int32_t> vLaboratory(vCenters.size(), -1);
    if (fIdentify) {
        vLaboratory =
            MatchLaboratoryLines(FoundLines(oSpectrum), std::vector<int32_t>(vCenters.size(), -1), oLab, *fIdentify);
    } else if (sLabFile) {
        for (std::size_t i = 0; i < vCenters.size(); ++i) {
            double fLab = 0.0;
            std::string sName;
            if (!oLab.FindNearestLine(vCenters[i], vLaboratory[i], fLab, &sName)) {
                vLaboratory[i] = -1;
            }
        }
    }
    for (int32_t i = 0; i < oLines.GetSpectralLineCount(); ++i) {
        const SpectralLine& oLine = oLines.GetLine(i);
        std::string sRecord = FormatResult(oLine.GetCenter()) + "\t" + FormatResult(oLine.GetWidth()) + "\t" +
                              FormatResult(oLine.GetAmplitude1()) + "\t" + FormatResult(oLine.GetOffset());
        double fLab = 0.0;
        std::string sName;
        if (const int32_t lIndex = vLaboratory[static_cast<std::size_t>(i)]; lIndex >= 0 && oLab.GetLine(lIndex, fLab, &sName)) {
            sRecord += "\t" + sName + "\t" + FormatResult(fLab) + "\t" +
                       FormatResult(DopplerVelocity(fLab, oLine.GetCenter()));
        } else if (fIdentify) {
            sRecord += "\t\t\t";
        }
        oOut << sRecord << "\n";
    }
    return kExitOk;
}

} // namespace quandrel::cli
