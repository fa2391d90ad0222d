#include "VerbMeasure.h"

#include "core/AtomicFile.h"
#include "core/NumberText.h"
#include "session/Session.h"

#include <algorithm>
#include <cmath>
#include <ostream>
#include <set>

namespace quandrel::cli {

std::string MeasureHelp()
{
    return "usage: quandrel-cli measure FILES... --lab LINES [--identify V] [--min-sigma K] [--window N]\n"
           "                             [--min-depth D] [--threads T] [--out TABLE] [--project FILE.mtx]\n"
           "Opens each spectrum, finds its lines and identifies them as \"Find spectral lines\" and\n"
           "\"Identify all\" do, corrects their velocities for the observer's motion (not again where\n"
           "the header says the wavelengths are corrected) and prints one row per spectrum, in the\n"
           "order given: file<TAB>jd_mid<TAB>lines<TAB>mean_velocity<TAB>std_error, then each line's\n"
           "velocity (km/s) in the columns the first line names. A file that cannot be measured gets a\n"
           "row with 0 lines and \"error: \" and the reason in place of the velocities; the others go on.\n"
           "The object's coordinates come from the first header that gives them, the site from the\n"
           "headers. The spectra are measured on all cores. Exit status 1 when none could be measured.\n"
           "  --lab LINES       laboratory lines file (name;wavelength per line)\n"
           "  --identify V      how far (km/s) a line may lie from its laboratory line (50)\n"
           "  --min-sigma K     leave out lines shallower than K times the noise (3)\n"
           "  --window N        line search windows of N samples (24, as the window's default slider)\n"
           "  --min-depth D     how far a line reaches beyond its window (0.0014)\n"
           "  --threads T       measure on T threads (all cores)\n"
           "  --out TABLE       write the rows to TABLE instead of standard output\n"
           "  --project FILE    write the table of radial velocities as a project the window opens\n";
}

namespace {

std::string Velocity(double f)
{
    return FormatFixed(f, 4);
}

} // namespace

int RunMeasure(Arguments& oArguments, std::ostream& oOut, std::ostream& oErr)
{
    const auto sLab = oArguments.TakeValue("--lab");
    CampaignOptions oOptions;
    oOptions.oSearch = *SliderScale::SearchOf(20, 10, 0);
    oOptions.fIdentifyWindow = oArguments.TakeDouble("--identify").value_or(50.0);
    oOptions.fMinSigma = oArguments.TakeDouble("--min-sigma").value_or(3.0);
    oOptions.oSearch.lWindow = oArguments.TakeInt("--window").value_or(oOptions.oSearch.lWindow);
    oOptions.oSearch.fMinDepth = oArguments.TakeDouble("--min-depth").value_or(oOptions.oSearch.fMinDepth);
    const int lThreads = oArguments.TakeInt("--threads").value_or(0);
    const auto sOut = oArguments.TakeValue("--out");
    const auto sProject = oArguments.TakeValue("--project");
    const auto vFiles = oArguments.Positionals();
    if (!sLab || vFiles.empty()) {
        throw UsageError("measure needs spectrum files and --lab.");
    }
    if (lThreads < 0 || lThreads > 256) {
        throw UsageError("--threads must lie between 1 and 256 (0: all cores).");
    }
    oOptions.lThreads = static_cast<unsigned>(lThreads);
    Session oSession("");
    if (const Outcome oRefused = oSession.Lines().LoadLaboratoryLines(*sLab)) {
        oErr << oRefused->sText << "\n";
        return kExitInput;
    }
    const auto oRows = oSession.Campaign().MeasureFiles(vFiles, oOptions);
    if (!oRows) {
        if (oRows.Error().bParameters) {
            throw UsageError(oRows.Error().sText);
        }
        oErr << oRows.Error().sText << "\n";
        return kExitInput;
    }
    // One column per laboratory line any spectrum has, in the order of their wavelengths.
    const LaboratoryLines& oLaboratory = oSession.Lines().LaboratoryLineTable();
    std::set<std::pair<double, int32_t>> sColumns;
    for (const CampaignRow& oRow : *oRows) {
        for (const auto& [lIndex, fVelocity] : oRow.vVelocities) {
            double fWavelength = 0.0;
            std::string sName;
            oLaboratory.GetLine(lIndex, fWavelength, &sName);
            sColumns.insert({fWavelength, lIndex});
        }
    }
    std::string sText = "# file\tjd_mid\tlines\tmean_velocity\tstd_error";
    for (const auto& [fWavelength, lIndex] : sColumns) {
        std::string sName;
        double f = 0.0;
        oLaboratory.GetLine(lIndex, f, &sName);
        sText += "\t" + sName;
    }
    sText += "\n";
    bool bAny = false;
    for (const CampaignRow& oRow : *oRows) {
        sText += oRow.sName + "\t" + (oRow.oJulianDate ? FormatFixed(*oRow.oJulianDate, 6) : std::string()) + "\t";
        if (!oRow.sFailure.empty()) {
            sText += "0\t\t\terror: " + oRow.sFailure + "\n";
            continue;
        }
        bAny = true;
        sText += std::to_string(oRow.vVelocities.size()) + "\t" + Velocity(oRow.fMean) + "\t" +
                 Velocity(oRow.fStandardError);
        for (const auto& [fWavelength, lIndex] : sColumns) {
            const auto it = std::find_if(oRow.vVelocities.begin(), oRow.vVelocities.end(),
                                         [lIndex = lIndex](const auto& o) { return o.first == lIndex; });
            sText += "\t" + (it != oRow.vVelocities.end() ? Velocity(it->second) : std::string());
        }
        sText += "\n";
    }
    if (sOut) {
        if (!WriteFileAtomically(*sOut, sText)) {
            oErr << "The file " << *sOut << " cannot be written (" << LastWriteFailure() << ").\n";
            return kExitInput;
        }
    } else {
        oOut << sText;
    }
    if (sProject) {
        if (const Outcome oFailed = oSession.Project().SaveProject(*sProject)) {
            oErr << oFailed->sText << "\n";
            return kExitInput;
        }
    }
    return bAny ? kExitOk : kExitInput;
}

} // namespace quandrel::cli
